// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/LogExport.h"

#include "db/CsvText.h"
#include "foodlog/LogCalendar.h"
#include "foodlog/LogDates.h"

#include <cmath>

namespace LogExport {

namespace {

QString row(const QStringList &fields)
{
    return CsvText::record(fields);
}

QString amount(double value)
{
    return QString::number(value, 'f', value == std::floor(value) ? 0 : 1);
}

} // namespace

QByteArray toCsv(const QList<FoodLogEntry> &foods, const QList<ExerciseEntry> &exercise)
{
    QString out = row({QStringLiteral("日期"), QStringLiteral("类型"), QStringLiteral("餐次"), QStringLiteral("名称"),
                       QStringLiteral("数量"), QStringLiteral("单位"), QStringLiteral("热量（大卡）")});
    qsizetype next = 0;
    const auto exerciseBefore = [&](const QDate &day) {
        while (next < exercise.size() && (!day.isValid() || exercise.at(next).day < day)) {
            const ExerciseEntry &e = exercise.at(next++);
            out += row({LogDates::dayText(e.day), QStringLiteral("运动"), QString(), e.activity,
                        amount(e.minutes), QStringLiteral("分钟"), QString::number(e.shownKcal())});
        }
    };
    for (qsizetype i = 0; i < foods.size(); ++i) {
        const FoodLogEntry &f = foods.at(i);
        exerciseBefore(f.day);
        // A quick entry has energy only.
        out += row({LogDates::dayText(f.day), QStringLiteral("饮食"), LogCalendar::mealName(f.meal),
                    f.shownName(), f.isQuick() ? QString() : amount(f.grams),
                    f.isQuick() ? QString() : QStringLiteral("克"), QString::number(f.shownKcal())});
        // The day's exercise after its last food.
        if (i + 1 == foods.size() || foods.at(i + 1).day != f.day)
            exerciseBefore(f.day.addDays(1));
    }
    exerciseBefore(QDate());
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace LogExport
