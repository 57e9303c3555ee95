// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/FoodLogEntry.h"

#include "foodlog/WholeKcal.h"

qint64 FoodLogEntry::shownKcal() const
{
    return wholeKcal(kcal());
}
