// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ui/ReportExports.h"

#include "db/DataError.h"
#include "db/Transaction.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/LogCalendar.h"
#include "report/LogExport.h"
#include "report/LogReport.h"
#include "report/ui/ReportPeriodDialog.h"
#include "report/ui/ReportWriter.h"
#include "widgets/FileDialog.h"

#include <QAction>
#include <QDir>
#include <QMenu>

void ReportExports::addMenuItems(QMenu &menu)
{
    QAction *action = menu.addAction(QStringLiteral("导出报告…"));
    action->setObjectName(QStringLiteral("exportReport"));
    QObject::connect(action, &QAction::triggered, &menu, [this] { exportReport(); });
}

void ReportExports::exportReport()
{
    const ExportFile &file = m_parts.file;
    // The days first, by name, then where to save: the file's name carries the period and its dates.
    const QDate today = LogCalendar::logDay(m_parts.clock.now());
    const std::optional<ReportPeriod> period = ReportPeriodDialog::ask(file.window(), today, LogReport::MaxDays);
    if (!period)
        return;
    const QString suggested = QDir(ExportFile::documentsFolder()).filePath(period->fileName());
    QString path = FileDialog::saveFileName(file.window(), QStringLiteral("导出报告：%1").arg(period->name()), suggested,
                                            {QStringLiteral("PDF 文件 (*.pdf)")});
    if (path.isEmpty())
        return;
    path = file.target(path, QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    LogReport report;
    try {
        FoodLogStore foods(*m_parts.db, *m_parts.layout, m_parts.clock);
        ExerciseStore exercise(foods.schema());
        report = LogReport::read(foods, exercise, period->first, period->last);
    } catch (const DataError &error) {
        file.tell(QStringLiteral("没有导出：") + error.message());
        return;
    }
    if (!file.write(path, ReportWriter::pdf(report, m_parts.clock.now(), period->name())))
        return;
    file.tell(QStringLiteral("已把%1的报告导出到“%2”。").arg(period->name(), ExportFile::shown(path)));
}

QString ReportExports::logFilter()
{
    return QStringLiteral("饮食与运动记录 CSV (*.csv)");
}

void ReportExports::exportLog(const QString &chosen)
{
    const ExportFile &file = m_parts.file;
    const QString path = file.target(chosen, QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    QList<FoodLogEntry> foods;
    QList<ExerciseEntry> exercise;
    QList<DayWeight> weights;
    QList<DayWaist> waists;
    try {
        FoodLogStore store(*m_parts.db, *m_parts.layout);
        const auto together = store.readTogether();
        foods = store.allEntries();
        exercise = ExerciseStore(store.schema()).allEntries();
        weights = store.weightsBetween(QDate(1, 1, 1), QDate(9999, 12, 31));
        waists = store.waistsBetween(QDate(1, 1, 1), QDate(9999, 12, 31));
    } catch (const DataError &error) {
        file.tell(QStringLiteral("没有导出：") + error.message());
        return;
    }
    if (!file.write(path, LogExport::toCsv(foods, exercise, weights, waists)))
        return;
    file.tell(QStringLiteral("已把 %1 条饮食记录和 %2 条运动记录导出到“%3”。")
                  .arg(foods.size())
                  .arg(exercise.size())
                  .arg(ExportFile::shown(path)));
}
