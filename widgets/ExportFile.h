// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

class QWidget;

// The file an export of the user's goes to, and its one write: every feature's export (the
// notes, the food log's CSV, the report's PDF, the own foods) and the backup check the chosen
// name here and write through here, so each refuses the data file, a folder or a device alike
// and writes the whole file or nothing. Every refusal and failure is told through MessageBox.
class ExportFile
{
public:
    // `window`: the parent of the boxes; `dataFile`: the data.mdb in use, which no export writes.
    ExportFile(QWidget *window, QString dataFile);

    // The file an export goes to: `chosen` with its ending, unless it is the data file, cannot
    // be written, or is another existing file the user does not want replaced (each said, then
    // an empty text).
    QString target(const QString &chosen, const QString &suffix) const;
    // Writes the whole export, with a progress box and 取消 when it takes long (LongWork), through
    // a temporary file and one rename (writeWholeFile); or, saying why, nothing.
    bool write(const QString &path, const QByteArray &bytes) const;

    // Whether `path` names the data file in use (or its journal), which no command may write.
    bool isDataFile(const QString &path) const;
    // Tells `text` in a box with the program's title.
    void tell(const QString &text) const;
    QWidget *window() const { return m_window; }

    // Where the choosers of exports and imports start: the user's documents.
    static QString documentsFolder();
    // `name` in the user's documents, with the day in it: "Pellomir-笔记-%1.md" and today give
    // "Pellomir-笔记-2024-05-01.md".
    static QString suggested(const QString &name, const QDate &day);
    // A path as the user's system writes it.
    static QString shown(const QString &path);
    // A name given without an ending gets the chosen format's.
    static QString withSuffix(const QString &path, const QString &suffix);
    // Why the program will not write a file under this name, or an empty text: only a regular
    // file (or no file yet) is replaced.
    static QString whyNotWritable(const QString &path);

private:
    QWidget *m_window;
    QString m_dataFile;
};
