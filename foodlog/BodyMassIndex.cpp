// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/BodyMassIndex.h"

#include <cmath>

int BodyMassIndex::tenthsOf(double index)
{
    // The margin keeps a value like 23.95, stored as 23.9499…, on the side it was written.
    return int(std::floor(index * 10.0 + 0.5 + 1e-9));
}

bool BodyMassIndex::inRange(double kg, double heightCm)
{
    return LogBounds::heightInRange(heightCm) && LogBounds::kgInRange(kg);
}

int BodyMassIndex::tenths(double kg, double heightCm)
{
    Q_ASSERT(inRange(kg, heightCm));
    const double metres = heightCm / 100.0;
    return tenthsOf(kg / (metres * metres));
}

BodyMassIndex::Band BodyMassIndex::bandOfTenths(int tenths)
{
    if (tenths < 185)
        return Band::Underweight;
    if (tenths < 240)
        return Band::Normal;
    if (tenths < 280)
        return Band::Overweight;
    return Band::Obese;
}

QString BodyMassIndex::bandName(Band band)
{
    switch (band) {
    case Band::Underweight:
        return QStringLiteral("偏瘦");
    case Band::Normal:
        return QStringLiteral("正常");
    case Band::Overweight:
        return QStringLiteral("超重");
    case Band::Obese:
        return QStringLiteral("肥胖");
    }
    return QString();
}

QString BodyMassIndex::describe(double kg, double heightCm)
{
    if (!inRange(kg, heightCm))
        return QStringLiteral("—（身高或体重超出范围）");
    const int t = tenths(kg, heightCm);
    return QStringLiteral("%1.%2（%3）").arg(t / 10).arg(t % 10).arg(bandName(bandOfTenths(t)));
}
