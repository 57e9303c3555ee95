// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/HouseholdMeasures.h"

#include "foods/OwnFood.h"

#include "foods/PortionCalculator.h"

#include <QFile>

QString HouseholdMeasures::Measure::caption() const
{
    return QStringLiteral("%1 (约%2克)").arg(name).arg(grams);
}

HouseholdMeasures HouseholdMeasures::parse(const QByteArray &csv)
{
    HouseholdMeasures table;
    const QStringList lines = QString::fromUtf8(csv).split(u'\n');
    const QString header = QStringLiteral("category,name,measure,grams,source");
    if (lines.isEmpty() || lines.first().trimmed() != header) {
        table.m_problems << QStringLiteral("line 1: the header must be \"%1\"").arg(header);
        return table;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        const auto problem = [&](const QString &what) {
            table.m_problems << QStringLiteral("line %1: %2").arg(i + 1).arg(what);
        };
        const QStringList fields = line.split(u',');
        if (fields.size() != 5) {
            problem(QStringLiteral("expected 5 fields, found %1").arg(fields.size()));
            continue;
        }
        Measure measure;
        measure.name = fields.at(2).trimmed();
        measure.source = fields.at(4).trimmed();
        const PortionCalculator::Amount grams = PortionCalculator::parseAmount(fields.at(3));
        if (!grams.grams) {
            problem(QStringLiteral("grams \"%1\" is not a whole number from %2 to %3")
                        .arg(fields.at(3).trimmed())
                        .arg(PortionCalculator::MinGrams)
                        .arg(PortionCalculator::MaxGrams));
            continue;
        }
        measure.grams = *grams.grams;
        if (fields.at(0).trimmed().isEmpty() || fields.at(1).trimmed().isEmpty() || measure.name.isEmpty()
            || measure.source.isEmpty()) {
            problem(QStringLiteral("an empty field"));
            continue;
        }
        table.m_byFood[qMakePair(fields.at(0).trimmed(), fields.at(1).trimmed())].append(measure);
    }
    return table;
}

HouseholdMeasures HouseholdMeasures::builtIn()
{
    QFile file(QStringLiteral(":/food/measures.csv"));
    if (!file.open(QIODevice::ReadOnly)) {
        HouseholdMeasures none;
        none.m_problems << QStringLiteral("the table of measures is not in the program");
        return none;
    }
    return parse(file.readAll());
}

HouseholdMeasures HouseholdMeasures::withOwn(const QVector<OwnFood> &own) const
{
    HouseholdMeasures table = *this;
    for (const OwnFood &food : own) {
        if (food.measure.isEmpty() || !(food.measureGrams > 0))
            continue;
        Measure measure;
        measure.name = food.measure;
        measure.grams = qRound(food.measureGrams);
        measure.source = QStringLiteral("自定义");
        table.m_byFood[qMakePair(food.category, food.name)].append(measure);
    }
    return table;
}

QVector<HouseholdMeasures::Measure> HouseholdMeasures::of(const QString &category, const QString &name) const
{
    return m_byFood.value(qMakePair(category, name));
}
