// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FileDialog.h"

#include <QFileDialog>

namespace {
FileDialog::Recorder *s_recorder = nullptr;
const QString FilterSeparator = QStringLiteral(";;");
} // namespace

FileDialog::Recorder::Recorder() : m_previous(s_recorder)
{
    s_recorder = this;
}

FileDialog::Recorder::~Recorder()
{
    s_recorder = m_previous;
}

void FileDialog::Recorder::answer(const QString &path, const QString &filter)
{
    m_answers.append({path, filter});
}

QString FileDialog::saveFileName(QWidget *parent, const QString &title, const QString &suggestedPath,
                                 const QStringList &filters, QString *selectedFilter)
{
    if (s_recorder) {
        s_recorder->m_asked.append({true, title, suggestedPath, filters,
                                    selectedFilter ? *selectedFilter : QString()});
        if (s_recorder->m_answers.isEmpty())
            return QString();
        const Recorder::Answer answer = s_recorder->m_answers.takeFirst();
        if (selectedFilter && !answer.filter.isEmpty())
            *selectedFilter = answer.filter;
        return answer.path;
    }
    return QFileDialog::getSaveFileName(parent, title, suggestedPath, filters.join(FilterSeparator),
                                        selectedFilter);
}

QString FileDialog::openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QStringList &filters)
{
    if (s_recorder) {
        s_recorder->m_asked.append({false, title, folder, filters, QString()});
        return s_recorder->m_answers.isEmpty() ? QString() : s_recorder->m_answers.takeFirst().path;
    }
    return QFileDialog::getOpenFileName(parent, title, folder, filters.join(FilterSeparator));
}
