// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class Recordset;

namespace FoodLookup {

// Makes current the first row, in table order, whose trimmed category and
// trimmed name equal the given texts; false when there is none. A hint is
// tried first and used if its row still exists and still matches; otherwise
// the table is walked from its first row, so a row removed or changed since
// the hint was taken is never shown.
bool moveToFirstMatch(Recordset &foods, const QString &category, const QString &food,
                      std::optional<qint64> hint);

} // namespace FoodLookup
