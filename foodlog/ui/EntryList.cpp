// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/EntryList.h"

#include "widgets/AmountDelegate.h"

#include "foodlog/LogCalendar.h"
#include "foods/FigureText.h"

#include <QHeaderView>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <functional>
#include <cmath>

namespace {

const int EntryIdRole = Qt::UserRole + 1;
const int MealRole = Qt::UserRole + 2; // on a meal's row

QString grams(double value)
{
    return FigureText::upToOneDecimal(value);
}

} // namespace

EntryList::EntryList(QWidget *parent)
    : QTreeWidget(parent),
      m_keys([this] { editCurrentGrams(); },
             [this] {
                 if (const std::optional<FoodLogEntry> e = currentEntry())
                     emit deleteRequested(*e);
             })
{
    setObjectName(QStringLiteral("logEntries"));
    setAccessibleName(QStringLiteral("当天的饮食记录"));
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("食物"), QStringLiteral("克"), QStringLiteral("大卡")});
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(FoodColumn, QHeaderView::Stretch);
    header()->setSectionResizeMode(GramsColumn, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(KcalColumn, QHeaderView::ResizeToContents);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(10);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    // Whole grams from 1 to 5000, edited in place.
    setItemDelegateForColumn(GramsColumn, new AmountDelegate(AmountText::Grams, QStringLiteral("gramsEditor"),
                                                             QStringLiteral("克数"), this));
    setUniformRowHeights(true);
    ListKeys::giveOwnMenu(this);

    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (column != GramsColumn || !item->data(FoodColumn, EntryIdRole).isValid())
            return;
        const qint64 id = item->data(FoodColumn, EntryIdRole).toLongLong();
        const double value = item->data(GramsColumn, Qt::EditRole).toDouble();
        for (const FoodLogEntry &e : std::as_const(m_entries))
            if (e.id == id && e.grams != value)
                emit gramsChanged(id, value);
    });
}

void EntryList::setEntries(const QList<FoodLogEntry> &entries)
{
    const QSignalBlocker quiet(this);
    const std::optional<FoodLogEntry> was = currentEntry();
    m_entries = entries;
    clear();
    for (int meal = 0; meal < LogCalendar::MealCount; ++meal) {
        qint64 subtotal = 0;
        auto *mealItem = new QTreeWidgetItem(this);
        mealItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        QFont bold = font();
        bold.setBold(true);
        int count = 0;
        for (const FoodLogEntry &e : entries) {
            if (e.meal != meal)
                continue;
            ++count;
            subtotal += e.shownKcal();
            auto *item = new QTreeWidgetItem(mealItem);
            item->setText(FoodColumn, e.shownName());
            // A quick entry has energy only: no grams to show or change.
            item->setData(GramsColumn, Qt::EditRole, e.isQuick() ? QStringLiteral("—") : grams(e.grams));
            // A screen reader reads the cells with their units, as the headings show them.
            item->setData(GramsColumn, Qt::AccessibleTextRole,
                          e.isQuick() ? QStringLiteral("快速记录，没有克数") : QStringLiteral("%1 克").arg(grams(e.grams)));
            item->setText(KcalColumn, QString::number(e.shownKcal()));
            item->setData(KcalColumn, Qt::AccessibleTextRole, QStringLiteral("%1 大卡").arg(e.shownKcal()));
            item->setData(FoodColumn, EntryIdRole, e.id);
            item->setTextAlignment(GramsColumn, Qt::AlignRight | Qt::AlignVCenter);
            item->setTextAlignment(KcalColumn, Qt::AlignRight | Qt::AlignVCenter);
            item->setFlags(e.isQuick() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                       : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        }
        mealItem->setData(FoodColumn, MealRole, meal);
        mealItem->setText(FoodColumn, count ? LogCalendar::mealName(meal)
                                            : LogCalendar::mealName(meal) + QStringLiteral("（未记录）"));
        mealItem->setText(KcalColumn, count ? QString::number(subtotal) : QString());
        // Screen readers name every cell, the empty ones too.
        mealItem->setData(GramsColumn, Qt::AccessibleTextRole, QStringLiteral("%1小计").arg(LogCalendar::mealName(meal)));
        mealItem->setData(KcalColumn, Qt::AccessibleTextRole,
                          count ? QStringLiteral("%1 大卡").arg(subtotal) : QStringLiteral("没有记录"));
        mealItem->setToolTip(KcalColumn, QStringLiteral("%1小计").arg(LogCalendar::mealName(meal)));
        for (int c = 0; c < 3; ++c)
            mealItem->setFont(c, bold);
        mealItem->setTextAlignment(KcalColumn, Qt::AlignRight | Qt::AlignVCenter);
        mealItem->setExpanded(true);
    }
    if (was)
        selectEntry(was->id);
}

std::optional<FoodLogEntry> EntryList::currentEntry() const
{
    const QTreeWidgetItem *item = currentItem();
    if (!item || !item->data(FoodColumn, EntryIdRole).isValid())
        return std::nullopt;
    const qint64 id = item->data(FoodColumn, EntryIdRole).toLongLong();
    for (const FoodLogEntry &e : m_entries)
        if (e.id == id)
            return e;
    return std::nullopt;
}

void EntryList::selectEntry(qint64 id)
{
    for (int m = 0; m < topLevelItemCount(); ++m) {
        QTreeWidgetItem *meal = topLevelItem(m);
        for (int i = 0; i < meal->childCount(); ++i) {
            if (meal->child(i)->data(FoodColumn, EntryIdRole).toLongLong() == id) {
                setCurrentItem(meal->child(i), FoodColumn);
                return;
            }
        }
    }
}

void EntryList::editCurrentGrams()
{
    QTreeWidgetItem *item = currentItem();
    if (item && item->data(FoodColumn, EntryIdRole).isValid() && (item->flags() & Qt::ItemIsEditable))
        editItem(item, GramsColumn);
}

int EntryList::currentMeal() const
{
    const QTreeWidgetItem *item = currentItem();
    if (!item)
        return -1;
    if (item->data(FoodColumn, MealRole).isValid())
        return item->data(FoodColumn, MealRole).toInt();
    if (const std::optional<FoodLogEntry> e = currentEntry())
        return e->meal;
    return -1;
}

void EntryList::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() != QContextMenuEvent::Keyboard) {
        if (QTreeWidgetItem *item = itemAt(viewport()->mapFrom(this, event->pos())))
            setCurrentItem(item);
    }
    const std::optional<FoodLogEntry> entry = currentEntry();
    const int meal = currentMeal();
    QMenu menu(this);
    menu.setAccessibleName(QStringLiteral("饮食记录的操作"));
    const auto add = [&menu](QMenu *to, const QString &text, const std::function<void()> &act) {
        QAction *action = (to ? to : &menu)->addAction(text);
        connect(action, &QAction::triggered, &menu, act);
        return action;
    };
    if (entry) {
        const FoodLogEntry e = *entry;
        add(nullptr, QStringLiteral("复制到今天"), [this, e] { emit copyAsked({e}, true, false); });
        add(nullptr, QStringLiteral("复制到…"), [this, e] { emit copyAsked({e}, false, false); });
        QMenu *moveTo = menu.addMenu(QStringLiteral("移到"));
        for (int m = 0; m < LogCalendar::MealCount; ++m)
            add(moveTo, LogCalendar::mealName(m), [this, e, m] { emit moveToMealAsked(e, m); })->setEnabled(m != e.meal);
        add(nullptr, QStringLiteral("移到另一天…"), [this, e] { emit moveToDayAsked(e); });
        add(nullptr, QStringLiteral("删除"), [this, e] { emit deleteRequested(e); });
        menu.addSeparator();
    } else if (meal >= 0) {
        QList<FoodLogEntry> ofMeal;
        for (const FoodLogEntry &e : std::as_const(m_entries))
            if (e.meal == meal)
                ofMeal << e;
        const QString name = LogCalendar::mealName(meal);
        add(nullptr, QStringLiteral("复制这顿%1到今天").arg(name), [this, ofMeal] { emit copyAsked(ofMeal, true, true); })
            ->setEnabled(!ofMeal.isEmpty());
        add(nullptr, QStringLiteral("复制这顿%1到…").arg(name), [this, ofMeal] { emit copyAsked(ofMeal, false, true); })
            ->setEnabled(!ofMeal.isEmpty());
        menu.addSeparator();
    }
    const QList<FoodLogEntry> day = m_entries;
    add(nullptr, QStringLiteral("复制这一天到今天"), [this, day] { emit copyAsked(day, true, true); })->setEnabled(!day.isEmpty());
    add(nullptr, QStringLiteral("复制这一天到…"), [this, day] { emit copyAsked(day, false, true); })->setEnabled(!day.isEmpty());
    add(nullptr, QStringLiteral("快速记录…"), [this, meal] { emit quickAddAsked(std::max(meal, 0)); });
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard && currentItem()
        ? viewport()->mapToGlobal(visualItemRect(currentItem()).center())
        : event->globalPos();
    menu.exec(at);
    event->accept();
}

void EntryList::keyPressEvent(QKeyEvent *event)
{
    if (!m_keys.press(event, state() == EditingState))
        QTreeWidget::keyPressEvent(event);
}
