// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/SeamRecorder.h"

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// The program's file choosers: where to save a file, which file to open.
//
// Tests answer them without showing them: a Recorder, while it lives, keeps every chooser asked
// for and answers it with the next queued answer (answer(path) or answer(path, filter)), or as if
// the user cancelled.
class FileDialog
{
public:
    // The path to save to, or an empty text when the user cancelled. `filters` are offered
    // ("Markdown 文件 (*.md)"); `selectedFilter` holds the one to start with and receives the
    // one chosen. The chooser asks before a chosen file is replaced.
    static QString saveFileName(QWidget *parent, const QString &title, const QString &suggestedPath,
                                const QStringList &filters, QString *selectedFilter = nullptr);
    // The existing file to open, or an empty text when the user cancelled.
    static QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QStringList &filters);

    struct Asked
    {
        bool save = false;
        QString title;
        QString path; // the suggested file, or the folder to open in
        QStringList filters;
        QString selectedFilter;
    };

    // The answer to a chooser: a path (empty: cancelled), and for a save chooser the filter
    // chosen (empty: the one it started with).
    struct Answer
    {
        Answer(QString chosenPath = QString(), QString chosenFilter = QString())
            : path(std::move(chosenPath)), filter(std::move(chosenFilter))
        {
        }
        QString path;
        QString filter;
    };

    using Recorder = SeamRecorder<FileDialog, Asked, Answer>;
};
