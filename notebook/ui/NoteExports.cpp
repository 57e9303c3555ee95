// SPDX-License-Identifier: GPL-3.0-or-later
#include "notebook/ui/NoteExports.h"

#include "db/DataError.h"
#include "notebook/NoteExport.h"
#include "widgets/FileDialog.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

void NoteExports::addMenuItems(QMenu &menu)
{
    QAction *action = menu.addAction(QStringLiteral("导出笔记…"));
    action->setObjectName(QStringLiteral("exportNotes"));
    QObject::connect(action, &QAction::triggered, &menu, [this] { exportNotes(); });
}

void NoteExports::exportNotes()
{
    const ExportFile &file = m_parts.file;
    const QString onShow = m_parts.tableOnShow();
    const QString sectionName = NoteExport::sectionName(onShow);
    QStringList filters = {QStringLiteral("全部栏目 Markdown (*.md)"),
                           QStringLiteral("全部栏目 CSV (*.csv)")};
    if (!onShow.isEmpty())
        filters << sectionName + QStringLiteral(" Markdown (*.md)")
                << sectionName + QStringLiteral(" CSV (*.csv)");
    const Offered &offered = m_parts.offered;
    if (!offered.filter.isEmpty())
        filters << offered.filter;
    // The section on show is what the user is looking at: offered first.
    QString selected = filters.at(onShow.isEmpty() ? 0 : 2);
    const QString suggested = ExportFile::suggested(QStringLiteral("Pellomir-笔记-%1.md"), m_parts.clock.today());
    QString path = FileDialog::saveFileName(file.window(), QStringLiteral("导出笔记"), suggested, filters, &selected);
    if (path.isEmpty())
        return;
    if (!offered.filter.isEmpty() && selected == offered.filter) {
        offered.write(path);
        return;
    }
    // The ending typed decides the format; without one of ours, the filter chosen does.
    const QString typedEnding = QFileInfo(path).suffix().toLower();
    const bool csv = typedEnding == QLatin1String("csv")
        || (typedEnding != QLatin1String("md") && selected.contains(QLatin1String("CSV")));
    const bool onlyOnShow = !onShow.isEmpty() && selected.startsWith(sectionName);
    path = file.target(path, csv ? QStringLiteral("csv") : QStringLiteral("md"));
    if (path.isEmpty())
        return;

    QList<ExportedSection> sections;
    try {
        sections = NoteExport::read(*m_parts.db, onlyOnShow ? QStringList{onShow} : NoteExport::tables());
    } catch (const DataError &error) {
        file.tell(QStringLiteral("没有导出：") + error.message());
        return;
    }
    if (!file.write(path, csv ? NoteExport::toCsv(sections) : NoteExport::toMarkdown(sections)))
        return;
    file.tell(QStringLiteral("已把 %1 条笔记导出到“%2”。")
                  .arg(NoteExport::noteCount(sections))
                  .arg(ExportFile::shown(path)));
}
