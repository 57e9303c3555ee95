// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/IntakeSeries.h"

#include "foodlog/WeightTrend.h"

#include <QHash>

QList<SeriesDay> IntakeSeries::build(const QDate &last, int days, const QList<DayIntake> &intake,
                                     const QList<DayWeight> &weights, const QList<DayBurned> &burned,
                                     const QList<DayMacros> &macros, const QList<DayWaist> &waists)
{
    const WeightTrend trend = WeightTrend::of(weights, last);
    QHash<QDate, double> waistOn;
    for (const DayWaist &w : waists)
        waistOn.insert(w.day, w.cm);
    QHash<QDate, DayMacros> macrosOn;
    for (const DayMacros &d : macros)
        macrosOn.insert(d.day, d);
    QHash<QDate, double> kcalOn;
    for (const DayIntake &d : intake)
        kcalOn.insert(d.day, d.kcal);
    QHash<QDate, double> burnedOn;
    for (const DayBurned &d : burned)
        burnedOn.insert(d.day, d.kcal);
    QHash<QDate, double> kgOn;
    for (const DayWeight &w : weights)
        kgOn.insert(w.day, w.kg);

    QList<SeriesDay> series;
    series.reserve(days);
    for (QDate day = last.addDays(1 - days); day <= last; day = day.addDays(1)) {
        SeriesDay point;
        point.day = day;
        if (auto k = kcalOn.constFind(day); k != kcalOn.cend())
            point.kcal = *k;
        if (auto b = burnedOn.constFind(day); b != burnedOn.cend())
            point.burnedKcal = *b;
        if (auto m = macrosOn.constFind(day); m != macrosOn.cend()) {
            point.macros = m->grams;
            point.macrosKcal = m->coveredKcal;
        }
        if (auto w = kgOn.constFind(day); w != kgOn.cend())
            point.kg = *w;
        if (auto w = waistOn.constFind(day); w != waistOn.cend())
            point.waistCm = *w;
        point.kgTrend = trend.on(day);
        double sum = 0;
        int count = 0;
        for (int back = 0; back < AverageDays; ++back) {
            if (auto w = kgOn.constFind(day.addDays(-back)); w != kgOn.cend()) {
                sum += *w;
                ++count;
            }
        }
        if (count > 0)
            point.kgWeekAverage = sum / count;
        series.append(point);
    }
    return series;
}
