// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/EntryCommands.h"

#include "foodlog/FoodLogStore.h"
#include "foodlog/LogCalendar.h"
#include "foodlog/ui/LogTargetDialog.h"
#include "foodlog/ui/QuickAddDialog.h"
#include "widgets/LogWrite.h"

EntryCommands::EntryCommands(FoodLogStore &store, Clock clock, QWidget *dialogParent)
    : QObject(dialogParent), m_store(store), m_clock(std::move(clock)), m_parent(dialogParent)
{
}

bool EntryCommands::write(const std::function<void()> &change)
{
    return writeOrSay(m_parent, QStringLiteral("饮食记录"), change);
}

QString EntryCommands::dayName(const QDate &day) const
{
    const QDate today = LogCalendar::logDay(m_clock.now());
    return day == today ? QStringLiteral("今天") : LogCalendar::dayTitle(day, today);
}

void EntryCommands::copy(const QList<FoodLogEntry> &entries, bool toToday, bool several)
{
    if (entries.isEmpty())
        return;
    if (toToday) {
        copyTo(entries, LogCalendar::logDay(m_clock.now()), std::nullopt);
        return;
    }
    auto *dialog = new LogTargetDialog(QStringLiteral("复制到"), LogCalendar::logDay(m_clock.now()),
                                       entries.first().meal, several, m_parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, entries] { copyTo(entries, dialog->day(), dialog->meal()); });
    dialog->open();
}

void EntryCommands::copyTo(const QList<FoodLogEntry> &entries, const QDate &day, std::optional<int> meal)
{
    QList<FoodLogEntry> copies;
    if (!write([&] { copies = m_store.copyEntries(entries, day, meal); }))
        return;
    QList<qint64> ids;
    for (const FoodLogEntry &copy : std::as_const(copies))
        ids << copy.id;
    LogChange change;
    change.undoText = copies.size() == 1
        ? QStringLiteral("已把“%1”复制到%2").arg(copies.first().shownName(), dayName(day))
        : QStringLiteral("已复制 %1 条到%2").arg(copies.size()).arg(dayName(day));
    change.takeBack = [ids](FoodLogStore &store) { store.removeEntries(ids); };
    change.day = day;
    change.select = ids.value(0);
    emit changed(change);
}

void EntryCommands::moveToMeal(const FoodLogEntry &entry, int meal)
{
    moveTo(entry, entry.day, meal);
}

void EntryCommands::moveToDay(const FoodLogEntry &entry)
{
    auto *dialog = new LogTargetDialog(QStringLiteral("移到另一天"), entry.day, entry.meal, false, m_parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this,
            [this, dialog, entry] { moveTo(entry, dialog->day(), dialog->meal().value_or(entry.meal)); });
    dialog->open();
}

void EntryCommands::moveTo(const FoodLogEntry &entry, const QDate &day, int meal)
{
    if (day == entry.day && meal == entry.meal)
        return;
    if (!write([&] { m_store.moveEntry(entry.id, day, meal); }))
        return;
    LogChange change;
    const QString where = day == entry.day
        ? LogCalendar::mealName(meal)
        : dayName(day) + LogCalendar::mealName(meal);
    change.undoText = QStringLiteral("已把“%1”移到%2").arg(entry.shownName(), where);
    change.takeBack = [entry](FoodLogStore &store) { store.moveEntry(entry.id, entry.day, entry.meal); };
    change.day = day;
    change.select = entry.id;
    if (day != entry.day) {
        change.undoneDay = entry.day;
        change.undoneText = QStringLiteral("已撤销移动：“%1”回到%2%3")
                                .arg(entry.shownName(), dayName(entry.day), LogCalendar::mealName(entry.meal));
    }
    emit changed(change);
}

void EntryCommands::quickAdd(const QDate &day, int meal)
{
    auto *dialog = new QuickAddDialog(meal, m_parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, day] {
        FoodLogEntry added;
        const FoodLogEntry quick = FoodLogEntry::quick(day, dialog->meal(), dialog->kcal(), dialog->note());
        if (!write([&] { added = m_store.addEntry(quick); }))
            return;
        LogChange change;
        change.undoText = QStringLiteral("已快速记录 %1 大卡").arg(added.shownKcal());
        change.takeBack = [id = added.id](FoodLogStore &store) { store.removeEntry(id); };
        change.day = day;
        change.select = added.id;
        emit changed(change);
    });
    dialog->open();
}
