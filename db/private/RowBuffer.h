// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3_stmt;

// Rows read ahead by a cursor, kept compactly (a type tag and the raw bytes per
// value) and turned into QString only when a field is read. The buffer knows
// the id range [low, high] it read completely: every row of the table whose id
// lies in that range (at the time of reading) is in it, in ascending id order.
//
// Its memory is bounded by bytes as well as by rows: a fill stops taking rows
// once they hold kChunkBytes, so rows with large values make short chunks
// instead of large ones, and what it holds is at most about kChunkBytes plus
// the largest single row.
class RowBuffer
{
public:
    static constexpr qint64 kMinId = std::numeric_limits<qint64>::min();
    static constexpr qint64 kMaxId = std::numeric_limits<qint64>::max();
    // Some 25,000 rows of the food table, or a few long notebook records.
    static constexpr size_t kChunkBytes = size_t(1) << 20;

    void clear();
    bool isEmpty() const { return m_ids.empty(); }

    // Replaces the content with the rows of `stmt` (column 0 the id, then
    // `columnCount` values, which value() calls slots 0 to columnCount - 1);
    // `ascending` says in which order the statement yields them. Returns the
    // last sqlite3_step result: SQLITE_DONE when the statement ran out,
    // SQLITE_ROW when the fill stopped at kChunkBytes with rows left (what it
    // holds is then the first rows the statement yields), SQLITE_NOMEM when
    // memory ran out (the buffer is empty then), or SQLite's failure. The
    // buffer stays unusable until setRange() is called.
    int fill(sqlite3_stmt *stmt, int columnCount, bool ascending, int expectedRows = 0);
    // The id range [low, high] that the rows read cover completely.
    void setRange(qint64 low, qint64 high);

    bool isValid() const { return m_valid; }
    bool covers(qint64 id) const { return m_valid && id >= m_low && id <= m_high; }
    qint64 low() const { return m_low; }
    qint64 high() const { return m_high; }

    // Index of the first row with id >= `id` (size() if none).
    int lowerBound(qint64 id) const;
    // Index of the first row with id > `id` (size() if none).
    int upperBound(qint64 id) const;
    int size() const { return int(m_ids.size()); }
    qint64 id(int row) const { return m_ids[size_t(row)]; }
    // The value as text, or no value for a null.
    std::optional<QString> value(int row, int slot) const
    {
        const Cell &cell = m_cells[size_t(row) * size_t(m_columnCount) + size_t(slot)];
        // Most values read are non-empty texts: made here, without a call.
        if (cell.kind == Kind::Text && cell.length > 0)
            return QString::fromUtf8(m_bytes.get() + cell.offset, cell.length);
        return otherValue(cell);
    }

private:
    enum class Kind : quint8 { Null, Integer, Real, Text };
    struct Cell
    {
        size_t offset;
        int length; // SQLite keeps a single value under 2 GB
        Kind kind;
    };

    int readRows(sqlite3_stmt *stmt, int columnCount, int expectedRows);
    void appendRow(sqlite3_stmt *stmt, int columnCount);
    std::optional<QString> otherValue(const Cell &cell) const;

    void appendBytes(const void *data, size_t length);

    bool m_valid = false;
    qint64 m_low = 0;
    qint64 m_high = -1;
    int m_columnCount = 0;
    std::vector<qint64> m_ids;
    std::vector<Cell> m_cells; // m_columnCount per row
    // Text as UTF-8; integers and reals as their 8 bytes. Grown by hand: its
    // size is m_used, and the storage is kept from one fill to the next.
    std::unique_ptr<char[]> m_bytes;
    size_t m_capacity = 0;
    size_t m_used = 0;
    // Bytes per row of the last fill, to size the storage of the next one.
    size_t m_bytesPerRow = 0;
    void reserveBytes(size_t wanted);
};
