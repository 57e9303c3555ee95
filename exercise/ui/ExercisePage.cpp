// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/ui/ExercisePage.h"

#include "db/DataError.h"
#include "foodlog/LogCalendar.h"
#include "widgets/AmountHint.h"
#include "widgets/AmountSpinBox.h"
#include "exercise/ui/CustomActivityDialog.h"
#include "exercise/ui/ExerciseList.h"
#include "widgets/SearchCompletion.h"
#include "widgets/UndoBar.h"
#include "widgets/ClearButton.h"
#include "widgets/LogWrite.h"
#include "widgets/MessageBox.h"
#include "widgets/ReturnClicks.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace {

constexpr int RecentShown = 10; // activities listed when the search field is entered empty
constexpr int RecentKept = 30;  // activities the search puts first
const char BoxTitle[] = "运动";

QString needsWeightText()
{
    return QStringLiteral("先记录体重，才能算出运动消耗");
}

} // namespace

ExercisePage::ExercisePage(ExerciseStore store, ActivityTable table, QWidget *parent)
    : QWidget(parent), m_store(std::move(store)), m_table(std::move(table)), m_activities(m_table.activities())
{
    setObjectName(QStringLiteral("exercisePage"));
    setAccessibleName(QStringLiteral("运动"));

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("exerciseSearch"));
    m_search->setAccessibleName(QStringLiteral("搜索运动"));
    m_search->setPlaceholderText(QStringLiteral("搜索运动（汉字、拼音或首字母）"));
    enableNamedClearButton(m_search);
    m_completion = new SearchCompletion(m_search, QStringLiteral("exerciseSearchResults"), [this](const QString &typed) {
        QList<SearchCompletion::Row> rows;
        if (typed.trimmed().isEmpty()) {
            for (const Activity &a : m_activities.preferred(RecentShown))
                rows.append({a.name, QString()});
            return rows;
        }
        for (const ActivityMatch &match : m_activities.match(typed))
            rows.append({match.activity.name, match.matchedAlias});
        return rows;
    });
    connect(m_completion, &SearchCompletion::chosen, this, &ExercisePage::addChosenActivity);

    m_minutes = new AmountSpinBox(AmountText::Minutes, this);
    m_minutes->setObjectName(QStringLiteral("exerciseMinutes"));
    m_minutes->setAccessibleName(QStringLiteral("时长（分钟）"));
    m_minutes->setValue(30);
    m_minutesHint = new AmountHint(m_minutes, QStringLiteral("时长的提示"), this);
    m_minutesHint->setObjectName(QStringLiteral("exerciseMinutesHint"));

    m_add = new QPushButton(QStringLiteral("添加运动"), this);
    m_add->setObjectName(QStringLiteral("exerciseAdd"));
    m_add->setAccessibleName(QStringLiteral("添加运动"));
    connect(m_add, &QPushButton::clicked, this, &ExercisePage::addChosenActivity);
    new ReturnClicks(m_add, m_add);
    new ReturnClicks(m_minutes, m_add);
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        if (!m_completion->isOpen() && m_activities.find(m_search->text()))
            addChosenActivity();
    });

    m_custom = new QPushButton(QStringLiteral("自定义运动…"), this);
    m_custom->setObjectName(QStringLiteral("customActivity"));
    m_custom->setAccessibleName(QStringLiteral("自定义运动"));
    connect(m_custom, &QPushButton::clicked, this, &ExercisePage::editCustomActivities);

    m_needsWeight = new QLabel(needsWeightText() + QStringLiteral("：在“体重与预算”页记录一次体重。"), this);
    m_needsWeight->setObjectName(QStringLiteral("exerciseNeedsWeight"));
    m_needsWeight->setAccessibleName(m_needsWeight->text());
    m_needsWeight->setWordWrap(true);
    m_needsWeight->hide();

    m_weightNote = new QLabel(this);
    m_weightNote->setObjectName(QStringLiteral("exerciseWeightNote"));
    m_weightNote->setAccessibleName(QStringLiteral("计算消耗所用的体重"));
    m_weightNote->setWordWrap(true);
    m_weightNote->hide();

    m_list = new ExerciseList(this);
    m_skippedHint = new QLabel(this);
    m_skippedHint->setObjectName(QStringLiteral("skippedExerciseHint"));
    m_skippedHint->setWordWrap(true);
    m_skippedHint->hide();
    m_undo = new UndoBar(this, QStringLiteral("exercise"));

    connect(m_list, &ExerciseList::minutesChanged, this, &ExercisePage::changeMinutes, Qt::QueuedConnection);
    connect(m_list, &ExerciseList::deleteRequested, this, &ExercisePage::deleteEntry);
    connect(m_undo, &UndoBar::undoAsked, this, &ExercisePage::undoDelete);

    auto *row = new QHBoxLayout;
    row->setSpacing(4);
    auto *minutesLabel = new QLabel(QStringLiteral("时长"), this);
    minutesLabel->setBuddy(m_minutes);
    row->addWidget(minutesLabel);
    row->addWidget(m_minutes);
    row->addStretch(1);
    row->addWidget(m_custom);
    row->addWidget(m_add);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_search);
    layout->addLayout(row);
    layout->addWidget(m_minutesHint);
    layout->addWidget(m_needsWeight);
    layout->addWidget(m_weightNote);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_skippedHint);
    layout->addWidget(m_undo);
}

void ExercisePage::readDay(const QDate &day)
{
    m_read = Day();
    m_read.day = day;
    m_read.entries = m_store.dayEntries(day);
    m_read.recent = m_store.recentActivities(RecentKept);
    m_read.custom = m_store.customActivities();
}

void ExercisePage::showReadDay(const QDate &day, const std::optional<DayWeight> &nearest, const QDate &today)
{
    Day shown = std::exchange(m_read, Day());
    shown.day = day;
    if (nearest) {
        shown.kg = nearest->kg;
        if (nearest->day > day)
            shown.weightNote = QStringLiteral("这一天之前没有体重记录，运动消耗按之后最近的一次（%1 的 %2 千克）计算。")
                                   .arg(LogCalendar::dayTitle(nearest->day, today))
                                   .arg(nearest->kg, 0, 'f', 1);
    }
    showDay(shown);
}

void ExercisePage::showDay(const Day &day)
{
    if (day.day != m_day.day)
        forgetDeleted();
    const bool customChanged = [&] {
        if (day.custom.size() != m_day.custom.size())
            return true;
        for (int i = 0; i < day.custom.size(); ++i) {
            const Activity &a = day.custom.at(i);
            const Activity &b = m_day.custom.at(i);
            if (a.customId != b.customId || a.name != b.name || a.met != b.met)
                return true;
        }
        return false;
    }();
    m_day = day;
    if (customChanged)
        m_activities = ActivitySearch(m_table.activities() + m_day.custom);
    m_activities.setPreferred(m_day.recent);
    m_needsWeight->setVisible(!m_day.kg);
    m_weightNote->setText(m_day.weightNote);
    m_weightNote->setAccessibleDescription(m_day.weightNote);
    m_weightNote->setVisible(m_day.kg && !m_day.weightNote.isEmpty());
    m_list->setEntries(m_day.entries.entries);
    m_skippedHint->setVisible(m_day.entries.outOfRange > 0);
    m_skippedHint->setText(QStringLiteral("这一天另有 %1 条运动记录的时长、强度或热量超出范围（可能是别的程序写入的），"
                                          "没有列出，也没有计入合计。")
                               .arg(m_day.entries.outOfRange));
    m_skippedHint->setAccessibleName(m_skippedHint->text());
}

bool ExercisePage::write(const std::function<void()> &change)
{
    return writeOrSay(this, QString::fromUtf8(BoxTitle), change);
}

void ExercisePage::showProblem(const QString &text)
{
    MessageBox::information(window(), QString::fromUtf8(BoxTitle), text);
}

void ExercisePage::addChosenActivity()
{
    const std::optional<Activity> activity = m_activities.find(m_search->text());
    if (!activity) {
        const QString typed = m_search->text().trimmed();
        showProblem(typed.isEmpty() ? QStringLiteral("请先在搜索框里输入并选择一种运动。")
                                    : QStringLiteral("没有找到“%1”。请从搜索结果中选择一种运动，"
                                                     "或点“自定义运动…”添加。")
                                          .arg(MessageBox::quote(typed)));
        m_search->setFocus();
        return;
    }
    if (!m_day.kg) {
        showProblem(needsWeightText() + QStringLiteral("。请先在“体重与预算”页记录体重。"));
        return;
    }
    const std::optional<double> minutes = m_minutesHint->takeAmount();
    if (!minutes) // the field says what is wrong, the keyboard in it
        return;
    ExerciseEntry entry;
    entry.day = m_day.day;
    entry.activity = activity->name;
    entry.category = activity->category;
    entry.minutes = *minutes;
    entry.met = activity->met;
    entry.kcal = ExerciseEntry::netKcal(activity->met, *m_day.kg, *minutes);
    ExerciseEntry added;
    if (!write([&] { added = m_store.addEntry(entry); }))
        return;
    forgetDeleted();
    m_completion->clear();
    m_search->setFocus();
    emit changed();
    m_list->selectEntry(added.id);
}

void ExercisePage::changeMinutes(qint64 id, double minutes)
{
    if (write([&] { m_store.setMinutes(id, minutes); }))
        forgetDeleted();
    emit changed(); // shows what the file holds, changed or not
    m_list->selectEntry(id);
}

void ExercisePage::deleteEntry(const ExerciseEntry &entry)
{
    if (!write([&] { m_store.removeEntry(entry.id); }))
        return;
    emit changed();
    m_deleted = entry;
    m_undo->offer(entry.activity);
    m_list->setFocus();
}

bool ExercisePage::isUndoOffered() const
{
    return m_undo->isOffered();
}

void ExercisePage::undoDelete()
{
    if (!m_deleted)
        return;
    const ExerciseEntry entry = *m_deleted;
    if (!write([&] { m_store.restoreEntry(entry); }))
        return;
    forgetDeleted();
    emit changed();
    m_list->selectEntry(entry.id);
    m_list->setFocus();
}

void ExercisePage::forgetDeleted()
{
    m_deleted.reset();
    m_undo->withdraw();
}

void ExercisePage::editCustomActivities()
{
    auto *dialog = new CustomActivityDialog(m_day.custom, m_activities, m_day.kg, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const Activity activity = dialog->activity();
        const bool removing = dialog->outcome() == CustomActivityDialog::Outcome::Remove;
        const bool saved = write([&] {
            if (removing)
                m_store.removeCustomActivity(activity.customId);
            else if (activity.isCustom())
                m_store.updateCustomActivity(activity.customId, activity.name, activity.met);
            else
                m_store.addCustomActivity(activity.name, activity.met);
        });
        emit changed();
        // A new or changed activity is ready to log: its name in the search field.
        if (saved && !removing) {
            m_search->setText(activity.name);
            m_minutes->setFocus();
        }
    });
    dialog->open();
}
