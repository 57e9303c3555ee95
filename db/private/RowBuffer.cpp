// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/private/RowBuffer.h"

#include <QLocale>
#include <algorithm>
#include <cstring>
#include <new>
#include <sqlite3.h>

void RowBuffer::clear()
{
    m_valid = false;
    m_ids.clear();
    m_cells.clear();
    m_used = 0;
}

int RowBuffer::fill(sqlite3_stmt *stmt, int columnCount, bool ascending, int expectedRows)
{
    clear();
    m_columnCount = columnCount;
    int rc;
    try {
        rc = readRows(stmt, columnCount, expectedRows);
    } catch (const std::bad_alloc &) {
        rc = SQLITE_NOMEM;
    }
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
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

int RowBuffer::readRows(sqlite3_stmt *stmt, int columnCount, int expectedRows)
{
    const size_t rows = size_t(std::max(expectedRows, 1));
    m_ids.reserve(rows);
    m_cells.reserve(rows * size_t(columnCount));
    // Room for as many bytes per row as last time, within the chunk's bound, so
    // that a walk's growing chunks do not copy their bytes again and again
    // while they are read.
    reserveBytes(m_bytesPerRow > kChunkBytes / rows ? kChunkBytes : rows * m_bytesPerRow);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        appendRow(stmt, columnCount);
        if (m_used >= kChunkBytes)
            break; // rc stays SQLITE_ROW: rows are left
    }
    if (!m_ids.empty())
        m_bytesPerRow = m_used / m_ids.size();
    return rc;
}

void RowBuffer::reserveBytes(size_t wanted)
{
    // Storage that grew for one very large row is given back once the rows
    // read need far less.
    const bool oversized = m_capacity > 2 * kChunkBytes && m_capacity / 2 > wanted;
    if (wanted <= m_capacity && !oversized)
        return;
    m_bytes.reset();
    m_capacity = 0;
    if (wanted > 0)
        m_bytes.reset(new char[wanted]);
    m_capacity = wanted;
}

void RowBuffer::setRange(qint64 low, qint64 high)
{
    m_low = low;
    m_high = high;
    m_valid = true;
}

void RowBuffer::appendBytes(const void *data, size_t length)
{
    if (m_used + length > m_capacity) {
        const size_t capacity = std::max(m_capacity * 2, m_used + length + 4096);
        std::unique_ptr<char[]> grown(new char[capacity]);
        if (m_used > 0)
            std::memcpy(grown.get(), m_bytes.get(), m_used);
        m_bytes = std::move(grown);
        m_capacity = capacity;
    }
    std::memcpy(m_bytes.get() + m_used, data, length);
    m_used += length;
}

void RowBuffer::appendRow(sqlite3_stmt *stmt, int columnCount)
{
    m_ids.push_back(sqlite3_column_int64(stmt, 0));
    for (int c = 1; c <= columnCount; ++c) {
        // One column lookup per value; the sqlite3_value_* calls read it directly.
        sqlite3_value *value = sqlite3_column_value(stmt, c);
        Cell cell{m_used, 0, Kind::Null};
        switch (sqlite3_value_type(value)) {
        case SQLITE_NULL:
            break;
        case SQLITE_INTEGER: {
            const qint64 v = sqlite3_value_int64(value);
            cell.kind = Kind::Integer;
            cell.length = int(sizeof v);
            appendBytes(&v, sizeof v);
            break;
        }
        case SQLITE_FLOAT: {
            const double v = sqlite3_value_double(value);
            cell.kind = Kind::Real;
            cell.length = int(sizeof v);
            appendBytes(&v, sizeof v);
            break;
        }
        default: { // text, or a blob taken as UTF-8 text
            const void *data = sqlite3_value_blob(value);
            cell.kind = Kind::Text;
            cell.length = sqlite3_value_bytes(value);
            if (!data && cell.length > 0)
                throw std::bad_alloc(); // SQLite could not load the value
            if (cell.length > 0)
                appendBytes(data, size_t(cell.length));
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

std::optional<QString> RowBuffer::otherValue(const Cell &cell) const
{
    const char *data = m_bytes.get() + cell.offset;
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
