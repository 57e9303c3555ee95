// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DataReplaced.h"

void DataReplaced::announce(Part part, const QString &savedOwnFood)
{
    emit stepAside(part);
    emit replaced(part, savedOwnFood);
    emit settled(part);
}
