#pragma once

#include <QHash>
#include <QString>
#include <optional>

class Recordset;

// Remembers, for each (category, food), the id of the first row of the food
// table that held it, so that a click can go straight to that row.
class FoodRowIndex
{
public:
    // Keeps the first id given for a pair; later ones are ignored.
    void rememberFirst(const QString &category, const QString &food, qint64 id);
    std::optional<qint64> find(const QString &category, const QString &food) const;
    void clear() { m_ids.clear(); }

private:
    QHash<QString, QHash<QString, qint64>> m_ids;
};

namespace FoodLookup {

// Makes current the first row, in table order, whose trimmed category and
// trimmed name equal the given texts; false when there is none. A hint is
// tried first and used if its row still exists and still matches; otherwise
// the table is walked from its first row, so a row removed or changed since
// the hint was taken is never shown.
bool moveToFirstMatch(Recordset &foods, const QString &category, const QString &food,
                      std::optional<qint64> hint);

} // namespace FoodLookup
