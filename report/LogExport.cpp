// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LogExport.h"

#include "db/CsvText.h"
#include "foods/FigureText.h"
#include "foodlog/LogCalendar.h"
#include "foodlog/LogDates.h"

#include <QSet>
#include <algorithm>

namespace LogExport {

namespace {

QString row(const QStringList &fields)
{
    return CsvText::record(fields);
}

} // namespace

// The list by day, each day's items in their order.
template <typename T>
QList<T> byDay(QList<T> items)
{
    std::stable_sort(items.begin(), items.end(), [](const T &a, const T &b) { return a.day < b.day; });
    return items;
}

QByteArray toCsv(const QList<FoodLogEntry> &foodList, const QList<ExerciseEntry> &exerciseList,
                 const QList<DayWeight> &weightList, const QList<DayWaist> &waistList)
{
    const QList<FoodLogEntry> foods = byDay(foodList);
    const QList<ExerciseEntry> exercise = byDay(exerciseList);
    const QList<DayWeight> weights = byDay(weightList);
    const QList<DayWaist> waists = byDay(waistList);
    QString out = row({QStringLiteral("日期"), QStringLiteral("类型"), QStringLiteral("餐次"), QStringLiteral("名称"),
                       QStringLiteral("数量"), QStringLiteral("单位"), QStringLiteral("热量（大卡）")});
    // Each list is walked once, a day at a time, in the order of the kinds.
    QSet<QDate> daySet;
    for (const FoodLogEntry &f : foods)
        daySet.insert(f.day);
    for (const ExerciseEntry &e : exercise)
        daySet.insert(e.day);
    for (const DayWeight &w : weights)
        daySet.insert(w.day);
    for (const DayWaist &w : waists)
        daySet.insert(w.day);
    QList<QDate> days(daySet.cbegin(), daySet.cend());
    std::sort(days.begin(), days.end());
    qsizetype food = 0, done = 0, weight = 0, waist = 0;
    for (const QDate &day : std::as_const(days)) {
        for (; food < foods.size() && foods.at(food).day == day; ++food) {
            const FoodLogEntry &f = foods.at(food);
            // A quick entry has energy only.
            out += row({LogDates::dayText(f.day), QStringLiteral("饮食"), LogCalendar::mealName(f.meal),
                        f.shownName(), f.isQuick() ? QString() : FigureText::upToOneDecimal(f.grams),
                        f.isQuick() ? QString() : QStringLiteral("克"), QString::number(f.shownKcal())});
        }
        for (; done < exercise.size() && exercise.at(done).day == day; ++done) {
            const ExerciseEntry &e = exercise.at(done);
            out += row({LogDates::dayText(e.day), QStringLiteral("运动"), QString(), e.activity,
                        FigureText::upToOneDecimal(e.minutes), QStringLiteral("分钟"), QString::number(e.shownKcal())});
        }
        for (; weight < weights.size() && weights.at(weight).day == day; ++weight)
            out += row({LogDates::dayText(day), QStringLiteral("体重"), QString(), QStringLiteral("体重"),
                        FigureText::upToOneDecimal(weights.at(weight).kg), QStringLiteral("千克"), QString()});
        for (; waist < waists.size() && waists.at(waist).day == day; ++waist)
            out += row({LogDates::dayText(day), QStringLiteral("腰围"), QString(), QStringLiteral("腰围"),
                        FigureText::upToOneDecimal(waists.at(waist).cm), QStringLiteral("厘米"), QString()});
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace LogExport
