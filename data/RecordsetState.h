#pragma once

#include "Connection.h"
#include "Recordset.h"
#include "RowBuffer.h"

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

    // The row begun with AddNew: (column, value) pairs in assignment order.
    bool adding = false;
    std::vector<std::pair<int, QString>> pending;

    RowBuffer buffer;
    Connection::Stamp bufferStamp;

    Connection &live() const;   // throws when the cursor or its connection is closed
    bool hasCurrentRow() const { return !bof && !eof; }
    void requireCurrentRow() const;
    int columnIndex(const QString &name) const;
    QString fieldDescription(int column) const;

    // Row lookups through the read-ahead buffer: the buffer index of the first
    // row with id >= `id` / the last row with id <= `id`, or -1.
    int firstAtOrAfter(qint64 id);
    int lastAtOrBefore(qint64 id);
    int rowOf(qint64 id); // the row with exactly this id, or -1
    bool tableIsEmpty() { return firstAtOrAfter(RowBuffer::kMinId) < 0; }
    void dropStaleBuffer();
    void fetch(qint64 from, bool forward);

    DataError failure(const QString &context, int rc) const;
    QString readContext() const;
    void stepDone(sqlite3_stmt *stmt, const QString &context);
};
