// SPDX-License-Identifier: GPL-3.0-or-later
#include "ownfoods/ui/OwnFoodImport.h"

#include "db/DataError.h"
#include "db/Database.h"
#include "db/FileRead.h"
#include "foodlog/LogSchema.h"
#include "foods/FoodCatalog.h"
#include "ownfoods/OwnFoodCsv.h"
#include "ownfoods/OwnFoodStore.h"
#include "widgets/ApplicationTitle.h"
#include "widgets/FileDialog.h"
#include "widgets/LongWork.h"
#include "widgets/MessageBox.h"

#include <QSet>

namespace {

// A file of more than a few megabytes is not a list of foods someone typed.
constexpr qint64 MaxImportBytes = 8 * 1024 * 1024;

} // namespace

OwnFoodImport::OwnFoodImport(QWidget *window, LogSchema &schema) : m_window(window), m_schema(schema)
{
}

void OwnFoodImport::tell(const QString &text) const
{
    MessageBox::information(m_window, QString::fromUtf8(ApplicationTitle), text);
}

void OwnFoodImport::run(const QString &folder, const std::function<void()> &imported)
{
    const QString path = FileDialog::openFileName(m_window, QStringLiteral("导入自定义食物"), folder,
                                                  {QStringLiteral("CSV (*.csv)")});
    if (path.isEmpty())
        return;
    QByteArray bytes;
    QSet<QString> shipped; // the shipped foods' names and other names, which own foods may not take
    try {
        bytes = FileRead::whole(path, MaxImportBytes);
        for (const SearchableFood &food : FoodCatalog::read(m_schema.database().path())) {
            if (food.own)
                continue;
            shipped.insert(food.name);
            for (const QString &alias : food.aliases)
                shipped.insert(alias);
        }
    } catch (const DataError &error) {
        tell(QStringLiteral("没有导入：") + error.message());
        return;
    }
    const OwnFoodCsv::Reading reading = OwnFoodCsv::read(bytes, [&shipped](const QString &name) { return shipped.contains(name); });
    const QString encoding = reading.fromGb18030
        ? QStringLiteral("文件不是 UTF-8 编码，已按 GB18030（GBK）编码读取。\n") : QString();
    if (!reading.problems.isEmpty()) {
        tell(QStringLiteral("没有导入，%1文件中有 %2 处问题：\n%3")
                 .arg(encoding)
                 .arg(reading.problems.size())
                 .arg(reading.problems.mid(0, 5).join(QLatin1Char('\n'))));
        return;
    }
    OwnFoodStore store(m_schema);
    QStringList taken;
    try {
        QSet<QString> mine;
        for (const OwnFood &food : store.foods())
            mine.insert(food.name);
        for (const OwnFood &food : reading.foods)
            if (mine.contains(food.name))
                taken << food.name;
    } catch (const DataError &error) {
        tell(QStringLiteral("没有导入：") + error.message());
        return;
    }
    // A clash is the user's to decide: the file's version, or the one already here; Escape
    // imports nothing.
    bool replace = false;
    if (!taken.isEmpty()) {
        const QStringList buttons = {QStringLiteral("替换"), QStringLiteral("保留已有的"), QStringLiteral("取消")};
        const int chosen = MessageBox::choose(
            m_window, QString::fromUtf8(ApplicationTitle),
            QStringLiteral("%1有 %2 种自定义食物与已有的同名：%3。\n"
                           "点“替换”用文件中的替换它们，点“保留已有的”只导入其余的，点“取消”什么也不导入。")
                .arg(encoding)
                .arg(taken.size())
                .arg(MessageBox::quote(taken.join(QChar(0x3001)))),
            buttons, 1);
        if (chosen != 0 && chosen != 1)
            return;
        replace = chosen == 0;
    }
    std::optional<int> written;
    try {
        LongWork work(m_window, QStringLiteral("正在导入自定义食物"), reading.foods.size());
        written = store.importFoods(reading.foods, replace, [&work](qint64 done) { return work.advance(done); });
    } catch (const DataError &error) {
        tell(QStringLiteral("没有导入：") + error.message());
        return;
    }
    if (!written) {
        tell(QStringLiteral("已取消导入，没有导入任何食物。"));
        return;
    }
    imported(); // the window reads the foods again before it says so
    tell(QStringLiteral("%1已导入 %2 种自定义食物%3。")
             .arg(encoding)
             .arg(*written)
             .arg(!taken.isEmpty() && !replace ? QStringLiteral("，保留了 %1 种已有的同名食物").arg(taken.size()) : QString()));
}
