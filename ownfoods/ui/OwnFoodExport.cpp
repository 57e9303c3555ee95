// SPDX-License-Identifier: GPL-3.0-or-later
#include "ownfoods/ui/OwnFoodExport.h"

#include "db/DataError.h"
#include "foods/OwnFood.h"
#include "ownfoods/OwnFoodCsv.h"
#include "widgets/ExportFile.h"
#include "widgets/FileDialog.h"

void OwnFoodExport::run(const ExportFile &file, Database &db, const QDate &today)
{
    QVector<OwnFood> foods;
    try {
        foods = OwnFoods::read(db);
    } catch (const DataError &error) {
        file.tell(QStringLiteral("没有导出：") + error.message());
        return;
    }
    if (foods.isEmpty()) {
        file.tell(QStringLiteral("还没有自定义食物可以导出。"));
        return;
    }
    const QString suggested = ExportFile::suggested(QStringLiteral("Pellomir-自定义食物-%1.csv"), today);
    QString path = FileDialog::saveFileName(file.window(), QStringLiteral("导出自定义食物"), suggested,
                                            {QStringLiteral("CSV (*.csv)")});
    if (path.isEmpty())
        return;
    path = file.target(path, QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    if (!file.write(path, OwnFoodCsv::write(foods)))
        return;
    file.tell(QStringLiteral("已把 %1 种自定义食物导出到“%2”。").arg(foods.size()).arg(ExportFile::shown(path)));
}
