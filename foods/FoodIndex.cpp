// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FoodIndex.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>

namespace {

// Below this many foods in a category, comparing names directly (some log2(n)
// comparisons per name with binary insertion) is quicker than making a sort
// key per name, which costs about as much as five comparisons of Chinese names;
// above it the keys win.
constexpr size_t SortKeyThreshold = 256;

// Stable binary insertion sort: the fewest comparisons for the small groups
// that most categories are, where each comparison is costly and moving an
// index is not.
template<typename Less>
void binaryInsertionSort(std::vector<quint32> &order, Less less)
{
    for (auto next = order.begin(); next != order.end(); ++next) {
        const quint32 value = *next;
        // After every equal element already placed: keeps equal names in order.
        const auto place = std::upper_bound(order.begin(), next, value, less);
        std::move_backward(place, next, next + 1);
        *place = value;
    }
}

} // namespace

FoodIndex::Builder::Builder(int categoryCount) : m_categoryCount(categoryCount)
{
}

void FoodIndex::Builder::add(int category, QStringView name, qint64 rowId)
{
    m_rows.push_back(Row{category, quint32(m_names.size()), quint32(name.size()), rowId});
    m_names.append(name);
}

FoodIndex FoodIndex::Builder::finish()
{
    FoodIndex index;
    index.m_groupStart.assign(size_t(m_categoryCount) + 1, 0);
    for (const Row &row : m_rows)
        ++index.m_groupStart[size_t(row.category) + 1];
    std::partial_sum(index.m_groupStart.begin(), index.m_groupStart.end(), index.m_groupStart.begin());
    // A counting sort by category, stable, so each group stays in table order.
    std::vector<quint32> next(index.m_groupStart.begin(), index.m_groupStart.end() - 1);
    index.m_entries.resize(m_rows.size());
    for (const Row &row : m_rows)
        index.m_entries[next[size_t(row.category)]++] = Entry{row.nameOffset, row.nameLength, row.rowId};
    index.m_sorted.assign(size_t(m_categoryCount), false);
    index.m_names = std::move(m_names);
    index.m_names.squeeze();
    m_rows.clear();
    m_rows.shrink_to_fit();
    return index;
}

int FoodIndex::foodCount(int category) const
{
    if (category < 0 || category >= categoryCount())
        return 0;
    return int(m_groupStart[size_t(category) + 1] - m_groupStart[size_t(category)]);
}

const FoodIndex::Entry &FoodIndex::entry(int category, int row) const
{
    return m_entries.at(m_groupStart.at(size_t(category)) + size_t(row));
}

QStringView FoodIndex::name(int category, int row) const
{
    return nameOf(entry(category, row));
}

qint64 FoodIndex::rowId(int category, int row) const
{
    return entry(category, row).rowId;
}

qint64 FoodIndex::firstRowIdOfName(int category, int row) const
{
    const QStringView wanted = name(category, row);
    while (row > 0 && name(category, row - 1) == wanted)
        --row;
    return rowId(category, row);
}

int FoodIndex::rowOfId(int category, qint64 rowId) const
{
    for (int row = 0, count = foodCount(category); row < count; ++row) {
        if (entry(category, row).rowId == rowId)
            return row;
    }
    return -1;
}

void FoodIndex::sortCategory(int category, const QCollator &collator)
{
    if (category < 0 || category >= categoryCount() || m_sorted[size_t(category)])
        return;
    m_sorted[size_t(category)] = true;
    const auto begin = m_entries.begin() + m_groupStart[size_t(category)];
    const auto end = m_entries.begin() + m_groupStart[size_t(category) + 1];
    const std::vector<Entry> rows(begin, end);
    if (rows.size() < 2)
        return;

    std::vector<quint32> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    const auto tieBreak = [&](quint32 a, quint32 b) { return nameOf(rows[a]) < nameOf(rows[b]); };
    if (rows.size() < SortKeyThreshold) {
        binaryInsertionSort(order, [&](quint32 a, quint32 b) {
            const int byCollator = collator.compare(nameOf(rows[a]), nameOf(rows[b]));
            return byCollator != 0 ? byCollator < 0 : tieBreak(a, b);
        });
    } else {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(rows.size());
        for (const Entry &row : rows)
            keys.push_back(collator.sortKey(nameOf(row).toString()));
        std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
            const int byCollator = keys[a].compare(keys[b]);
            return byCollator != 0 ? byCollator < 0 : tieBreak(a, b);
        });
    }
    auto out = begin;
    for (quint32 i : order)
        *out++ = rows[i];
}
