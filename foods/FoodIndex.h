// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

class QCollator;

// The foods of every category, compact: each food is a row id and a place in one
// text buffer shared by all names, so a table of tens of thousands of foods costs
// a few hundred kilobytes and no object per food. Categories are numbered in the
// order they were given.
//
// A category's foods start in table order and are put in the reader's order
// (pinyin for Chinese, numbers by value) the first time sortCategory() is asked
// for them; rows are counted in that order from then on.
class FoodIndex
{
public:
    // Collects rows in table order, then groups them by category.
    class Builder
    {
    public:
        explicit Builder(int categoryCount);
        void add(int category, QStringView name, qint64 rowId);
        FoodIndex finish();

    private:
        struct Row
        {
            int category;
            quint32 nameOffset;
            quint32 nameLength;
            qint64 rowId;
        };
        int m_categoryCount;
        QString m_names;
        std::vector<Row> m_rows;
    };

    FoodIndex() = default;

    int categoryCount() const { return int(m_groupStart.empty() ? 0 : m_groupStart.size() - 1); }
    int foodCount(int category) const;

    bool isSorted(int category) const { return m_sorted.at(size_t(category)); }
    // Sorts the category's foods by `collator`; names it sees as equal go in code
    // point order, and identical names keep their table order.
    void sortCategory(int category, const QCollator &collator);

    QStringView name(int category, int row) const;
    qint64 rowId(int category, int row) const;
    // The row id of the first food, in table order, with the same name in the
    // category: the row a click on any copy of that name shows. Needs the
    // category sorted.
    qint64 firstRowIdOfName(int category, int row) const;
    // The row holding this row id, or -1.
    int rowOfId(int category, qint64 rowId) const;

private:
    struct Entry
    {
        quint32 nameOffset;
        quint32 nameLength;
        qint64 rowId;
    };
    const Entry &entry(int category, int row) const;
    QStringView nameOf(const Entry &e) const { return QStringView(m_names).mid(e.nameOffset, e.nameLength); }

    QString m_names;
    std::vector<Entry> m_entries;     // grouped by category
    std::vector<quint32> m_groupStart; // category c's entries: [m_groupStart[c], m_groupStart[c + 1])
    std::vector<bool> m_sorted;
};
