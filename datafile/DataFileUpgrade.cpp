// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafile/DataFileUpgrade.h"

#include "db/Database.h"
#include "db/DataError.h"
#include "db/FileLayout.h"
#include "db/FileUpgrade.h"
#include "db/ShippedFoods.h"
#include "datafile/DataLayout.h"

namespace DataFileUpgrade {

Outcome atStart(Database &db, const QString &templatePath, const Clock &clock, ShippedFoods::IsEarlier isEarlier)
{
    Outcome outcome;
    const QString context = QStringLiteral("无法把数据文件“%1”升级到这个版本的格式，文件未作改动").arg(db.path());
    const FileLayout &layout = DataLayout::layout();
    try {
        const int stamp = FileLayout::stampOf(db.openHandle(), context);
        if (stamp > layout.version()) {
            outcome.newer = true;
            outcome.message = layout.newerMessage(db.path(), stamp);
            return outcome;
        }
        const QString shippedStamp = ShippedFoods::templateStamp(templatePath);
        const ShippedFoods::Verdict verdict = ShippedFoods::judge(db.openHandle(), shippedStamp, context, isEarlier);
        outcome.keptOwnFoods = verdict == ShippedFoods::Verdict::KeepOwn;
        const bool replace = verdict == ShippedFoods::Verdict::Replace;
        if (!layout.isDue(stamp) && !replace)
            return outcome;
        FileUpgrade::More refresh;
        if (replace)
            refresh = [&](sqlite3 *handle, const QString &inside) {
                // Judged again under the write lock: another copy of the program may have done it.
                if (ShippedFoods::judge(handle, shippedStamp, inside, isEarlier) == ShippedFoods::Verdict::Replace) {
                    ShippedFoods::replaceFrom(handle, templatePath, inside);
                    outcome.foodsReplaced = true;
                }
            };
        outcome.backup = FileUpgrade(db, layout, clock).run(context, refresh);
    } catch (const DataError &error) {
        outcome.failure = error.message();
        outcome.foodsReplaced = false;
    }
    return outcome;
}

bool prepareRestored(sqlite3 *scratch, const QString &templatePath, const QString &context,
                     ShippedFoods::IsEarlier isEarlier)
{
    // The order of the upgrade in place: a newer file refused first, the food tables, the steps.
    const FileLayout &layout = DataLayout::layout();
    const int stamp = FileLayout::stampOf(scratch, context);
    if (stamp > layout.version())
        throw DataError(context + QStringLiteral("：") + layout.newerMessage(QString(), stamp));
    const ShippedFoods::Verdict verdict = ShippedFoods::judge(scratch, ShippedFoods::templateStamp(templatePath), context, isEarlier);
    if (verdict == ShippedFoods::Verdict::Replace)
        ShippedFoods::replaceFrom(scratch, templatePath, context);
    layout.bringUpToDate(scratch, context);
    return verdict == ShippedFoods::Verdict::KeepOwn;
}

QString takeShippedFoods(Database &db, const QString &templatePath, const Clock &clock)
{
    const QString context = QStringLiteral("没有换用随程序提供的食物表，文件“%1”未作改动").arg(db.path());
    if (ShippedFoods::templateStamp(templatePath).isEmpty())
        throw DataError(context + QStringLiteral("：找不到随程序安装的食物表模板“%1”。").arg(templatePath));
    return FileUpgrade(db, DataLayout::layout(), clock).run(context, [&](sqlite3 *handle, const QString &inside) {
        ShippedFoods::replaceFrom(handle, templatePath, inside);
    });
}

QString keptOwnFoodsText()
{
    return QStringLiteral("数据文件中的食物表被其他程序改动过，因此保留了它，没有换成这个版本随附的食物表；"
                          "如要换用随附的食物表，请在窗口菜单中选择“换用随附的食物表…”。");
}

} // namespace DataFileUpgrade
