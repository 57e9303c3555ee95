// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/EntryList.h"

#include "foodlog/ui/AmountDelegate.h"

#include "foodlog/LogCalendar.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <cmath>

namespace {

const int EntryIdRole = Qt::UserRole + 1;

QString grams(double value)
{
    return QString::number(value, 'f', value == std::floor(value) ? 0 : 1);
}

} // namespace

EntryList::EntryList(QWidget *parent) : QTreeWidget(parent)
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
            item->setText(FoodColumn, e.food);
            item->setData(GramsColumn, Qt::EditRole, grams(e.grams));
            item->setText(KcalColumn, QString::number(e.shownKcal()));
            item->setData(FoodColumn, EntryIdRole, e.id);
            item->setTextAlignment(GramsColumn, Qt::AlignRight | Qt::AlignVCenter);
            item->setTextAlignment(KcalColumn, Qt::AlignRight | Qt::AlignVCenter);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        }
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
    if (item && item->data(FoodColumn, EntryIdRole).isValid())
        editItem(item, GramsColumn);
}

void EntryList::keyPressEvent(QKeyEvent *event)
{
    if (state() != EditingState) {
        if (event->key() == Qt::Key_Delete) {
            if (const std::optional<FoodLogEntry> e = currentEntry())
                emit deleteRequested(*e);
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_F2) {
            editCurrentGrams();
            event->accept();
            return;
        }
    }
    QTreeWidget::keyPressEvent(event);
}
