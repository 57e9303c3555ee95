// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/private/Connection.h"
#include "db/private/RowBuffer.h"
#include "db/Recordset.h"

#include <QStringList>
#include <memory>
#include <vector>

// The cursor's workings. The cursor keeps no statement open between calls: its
// position is the id of the current row (or a before-first / after-last /
// on-a-deleted-row state), and moves are answered from rows read ahead in
// chunks, which are dropped as soon as the data may have changed.
struct Recordset::State
{
    static std::unique_ptr<State> open(std::shared_ptr<Connection> connection, const QString &table);

    std::shared_ptr<Connection> connection;
    QString table;
    QStringList columns;  // declared order; position 0 is the id
    int idColumn = -1;    // the INTEGER PRIMARY KEY column, which is never assigned
    bool closed = false;

    // Position.
    bool bof = false;
    bool eof = false;
    bool onDeletedRow = false;
    qint64 currentId = 0; // meaningful when neither flag is set

    // The row begun with addNew: (column, value) pairs in assignment order.
    bool adding = false;
    std::vector<std::pair<int, QString>> pending;

    // The fields read ahead: only those asked for so far through this cursor,
    // in the order first asked for (a field's slot in the buffer).
    std::vector<int> fetchedColumns;
    int slotOf(int column)
    {
        for (size_t slot = 0; slot < fetchedColumns.size(); ++slot) {
            if (fetchedColumns[slot] == column)
                return int(slot);
        }
        return addFetchedColumn(column);
    }
    int addFetchedColumn(int column);

    RowBuffer buffer;
    int chunkRows = 0;
    bool lastFetchForward = true;
    Connection::Stamp bufferStamp;

    // Throws when the cursor or its connection is closed. Inline, like the
    // other checks below, since a walk runs them for every row and field.
    Connection &live() const
    {
        if (closed || !connection->isOpen())
            throwClosed();
        return *connection;
    }
    [[noreturn]] void throwClosed() const;
    bool hasCurrentRow() const { return !bof && !eof; }
    void requireCurrentRow() const
    {
        if (!hasCurrentRow() || onDeletedRow)
            throwNoCurrentRow();
    }
    [[noreturn]] void throwNoCurrentRow() const;
    int columnIndex(const QString &name) const;

    // Row lookups through the read-ahead buffer: the buffer index of the first
    // row with id >= `id` / the last row with id <= `id`, or -1.
    int firstAtOrAfter(qint64 id);
    int lastAtOrBefore(qint64 id);
    int rowOf(qint64 id); // the row with exactly this id, or -1
    bool tableIsEmpty() { return firstAtOrAfter(RowBuffer::kMinId) < 0; }
    // Drops the read-ahead if the data may have changed since it was read.
    void dropStaleBuffer(Connection::Recheck recheck)
    {
        if (buffer.isValid() && connection->stamp(recheck) != bufferStamp) {
            buffer.clear();
            currentRowHint = -1;
        }
    }
    // The buffer index of the current row (-1 if it is gone), remembered from
    // the last move so that reading fields needs no search.
    int currentRow()
    {
        // Reading a field of the row just moved to: writes of this program show
        // at once; other programs' commits were looked for by the move.
        dropStaleBuffer(Connection::Recheck::Never);
        if (hintIsCurrent())
            return currentRowHint;
        currentRowHint = rowOf(currentId);
        return currentRowHint;
    }
    bool hintIsCurrent() const
    {
        return buffer.isValid() && currentRowHint >= 0 && currentRowHint < buffer.size()
            && buffer.id(currentRowHint) == currentId;
    }
    void setCurrent(int row);
    // The buffer index of the row after (+1) or before (-1) the current row
    // when both are read ahead and still fresh, else -1.
    int neighbourInBuffer(int direction);
    int currentRowHint = -1;
    void fetch(qint64 from, bool forward);

    DataError failure(const QString &context, int rc) const;
    DataError writeFailure(const QString &context, int rc) const;
    // "无法读取表“sp”：内存不足。" for an allocation that failed.
    DataError outOfMemory() const;
    QString readContext() const;
};
