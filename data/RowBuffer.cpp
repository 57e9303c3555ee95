#include "RowBuffer.h"

#include <QLocale>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>

void RowBuffer::clear()
{
    m_valid = false;
    m_ids.clear();
    m_cells.clear();
    m_bytes.clear();
}

int RowBuffer::fill(sqlite3_stmt *stmt, int columnCount, bool ascending, int expectedRows)
{
    clear();
    m_columnCount = columnCount;
    m_ids.reserve(size_t(expectedRows));
    m_cells.reserve(size_t(expectedRows) * size_t(columnCount));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        appendRow(stmt, columnCount);
    if (rc != SQLITE_DONE) {
        clear();
        return rc;
    }
    if (!ascending) {
        // Rows came in descending order: reverse ids and row blocks of cells.
        std::reverse(m_ids.begin(), m_ids.end());
        const size_t rows = m_ids.size();
        for (size_t r = 0; r < rows / 2; ++r)
            std::swap_ranges(m_cells.begin() + long(r * size_t(columnCount)),
                             m_cells.begin() + long((r + 1) * size_t(columnCount)),
                             m_cells.begin() + long((rows - 1 - r) * size_t(columnCount)));
    }
    return rc;
}

void RowBuffer::setRange(qint64 low, qint64 high)
{
    m_low = low;
    m_high = high;
    m_valid = true;
}

void RowBuffer::appendRow(sqlite3_stmt *stmt, int columnCount)
{
    m_ids.push_back(sqlite3_column_int64(stmt, 0));
    for (int c = 1; c <= columnCount; ++c) {
        // One column lookup per value; the sqlite3_value_* calls read it directly.
        sqlite3_value *value = sqlite3_column_value(stmt, c);
        Cell cell{Kind::Null, int(m_bytes.size()), 0};
        switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            break;
        case SQLITE_INTEGER: {
            const qint64 v = sqlite3_value_int64(value);
            cell.kind = Kind::Integer;
            cell.length = int(sizeof v);
            m_bytes.append(reinterpret_cast<const char *>(&v), sizeof v);
            break;
        }
        case SQLITE_FLOAT: {
            const double v = sqlite3_value_double(value);
            cell.kind = Kind::Real;
            cell.length = int(sizeof v);
            m_bytes.append(reinterpret_cast<const char *>(&v), sizeof v);
            break;
        }
        default: { // text, or a blob taken as UTF-8 text
            const void *data = sqlite3_value_blob(value);
            cell.kind = Kind::Text;
            cell.length = sqlite3_value_bytes(value);
            if (cell.length > 0)
                m_bytes.append(static_cast<const char *>(data), size_t(cell.length));
            break;
        }
        }
        m_cells.push_back(cell);
    }
}

int RowBuffer::lowerBound(qint64 id) const
{
    return int(std::lower_bound(m_ids.begin(), m_ids.end(), id) - m_ids.begin());
}

int RowBuffer::upperBound(qint64 id) const
{
    return int(std::upper_bound(m_ids.begin(), m_ids.end(), id) - m_ids.begin());
}

std::optional<QString> RowBuffer::value(int row, int slot) const
{
    const Cell &cell = m_cells[size_t(row) * size_t(m_columnCount) + size_t(slot)];
    const char *data = m_bytes.data() + cell.offset;
    switch (cell.kind) {
    case Kind::Null:
        return std::nullopt;
    case Kind::Integer: {
        qint64 v;
        std::memcpy(&v, data, sizeof v);
        return QString::number(v);
    }
    case Kind::Real: {
        double v;
        std::memcpy(&v, data, sizeof v);
        // Shortest text that reads back as the same number: 116.0 -> "116".
        return QString::number(v, 'g', QLocale::FloatingPointShortest);
    }
    case Kind::Text:
        // An empty text is a value, unlike null: keep it non-null for callers
        // that look at QString::isNull().
        return cell.length == 0 ? QStringLiteral("") : QString::fromUtf8(data, cell.length);
    }
    return std::nullopt;
}
