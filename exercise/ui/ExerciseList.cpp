// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/ui/ExerciseList.h"

#include "widgets/AmountDelegate.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

const int EntryIdRole = Qt::UserRole + 1;

} // namespace

ExerciseList::ExerciseList(QWidget *parent)
    : QTreeWidget(parent),
      m_keys([this] { editCurrentMinutes(); },
             [this] {
                 if (const std::optional<ExerciseEntry> e = currentEntry())
                     emit deleteRequested(*e);
             })
{
    setObjectName(QStringLiteral("exerciseEntries"));
    setAccessibleName(QStringLiteral("当天的运动记录"));
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("运动"), QStringLiteral("分钟"), QStringLiteral("大卡")});
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(ActivityColumn, QHeaderView::Stretch);
    header()->setSectionResizeMode(MinutesColumn, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(KcalColumn, QHeaderView::ResizeToContents);
    setRootIsDecorated(false);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    // Whole minutes from 1 to 600, edited in place.
    setItemDelegateForColumn(MinutesColumn, new AmountDelegate(AmountText::Minutes, QStringLiteral("minutesEditor"),
                                                               QStringLiteral("分钟数"), this));
    setUniformRowHeights(true);

    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (column != MinutesColumn)
            return;
        const qint64 id = item->data(ActivityColumn, EntryIdRole).toLongLong();
        const double value = item->data(MinutesColumn, Qt::EditRole).toDouble();
        for (const ExerciseEntry &e : std::as_const(m_entries))
            if (e.id == id && e.minutes != value)
                emit minutesChanged(id, value);
    });
}

void ExerciseList::setEntries(const QList<ExerciseEntry> &entries)
{
    const QSignalBlocker quiet(this);
    const std::optional<ExerciseEntry> was = currentEntry();
    m_entries = entries;
    clear();
    for (const ExerciseEntry &e : entries) {
        auto *item = new QTreeWidgetItem(this);
        item->setText(ActivityColumn, e.activity);
        item->setData(MinutesColumn, Qt::EditRole, QString::number(qRound(e.minutes)));
        item->setText(KcalColumn, QString::number(e.shownKcal()));
        item->setData(ActivityColumn, EntryIdRole, e.id);
        item->setTextAlignment(MinutesColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(KcalColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        // A screen reader reads the cells with their units.
        item->setData(MinutesColumn, Qt::AccessibleTextRole, QStringLiteral("%1 分钟").arg(qRound(e.minutes)));
        item->setData(KcalColumn, Qt::AccessibleTextRole, QStringLiteral("%1 大卡").arg(e.shownKcal()));
        item->setToolTip(ActivityColumn, QStringLiteral("%1 · MET %2").arg(e.activity).arg(e.met));
    }
    if (was)
        selectEntry(was->id);
}

std::optional<ExerciseEntry> ExerciseList::currentEntry() const
{
    const QTreeWidgetItem *item = currentItem();
    if (!item)
        return std::nullopt;
    const qint64 id = item->data(ActivityColumn, EntryIdRole).toLongLong();
    for (const ExerciseEntry &e : m_entries)
        if (e.id == id)
            return e;
    return std::nullopt;
}

void ExerciseList::selectEntry(qint64 id)
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        if (topLevelItem(i)->data(ActivityColumn, EntryIdRole).toLongLong() == id) {
            setCurrentItem(topLevelItem(i), ActivityColumn);
            return;
        }
    }
}

void ExerciseList::editCurrentMinutes()
{
    if (QTreeWidgetItem *item = currentItem())
        editItem(item, MinutesColumn);
}

void ExerciseList::keyPressEvent(QKeyEvent *event)
{
    if (!m_keys.press(event, state() == EditingState))
        QTreeWidget::keyPressEvent(event);
}
