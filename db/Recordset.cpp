// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Recordset.h"

#include "db/private/RecordsetState.h"

#include <new>

namespace {

// Rows read per query. A walk in one direction doubles the chunk each time it
// runs out, so long walks pay for few read transactions (each costs about as
// much as reading 30 rows) while a cursor that shows one row reads little.
constexpr int kFirstChunkRows = 64;
constexpr int kMaxChunkRows = 4096;

QString noSuchTable(const QString &path, const QString &table)
{
    return QStringLiteral("数据库文件“%1”中没有表“%2”。").arg(path, table);
}

// A statement on a table that is not there fails with a plain SQLITE_ERROR;
// only then is the schema asked whether the table is there.
bool isNoSuchTable(Connection &connection, const QString &table, int rc)
{
    return (rc & 0xff) == SQLITE_ERROR && connection.lacksTable(table);
}

} // namespace

// ---- Field ----------------------------------------------------------------

QString Field::text() const
{
    if (!m_value) {
        if (m_field.isEmpty())
            throw DataError(QStringLiteral("字段没有值。"));
        throw DataError(QStringLiteral("字段“%1”（表“%2”）没有值。").arg(m_field, m_table));
    }
    return *m_value;
}

// ---- State: opening ---------------------------------------------------------

std::unique_ptr<Recordset::State> Recordset::State::open(std::shared_ptr<Connection> connection,
                                                         const QString &table)
{
    auto state = std::make_unique<State>();
    state->connection = std::move(connection);
    state->table = table;
    sqlite3 *db = state->connection->openHandle();

    // The column names come from the table's own declaration, in its order.
    const QByteArray sql = QStringLiteral("SELECT * FROM %1").arg(quotedIdentifier(table)).toUtf8();
    sqlite3_stmt *raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &raw, nullptr);
    Statement columnsQuery(raw);
    if (rc != SQLITE_OK) {
        if (isNoSuchTable(*state->connection, table, rc))
            throw DataError(noSuchTable(state->connection->path(), table), rc);
        throw state->connection->error(QStringLiteral("无法打开表“%1”").arg(table), rc);
    }
    const int count = sqlite3_column_count(raw);
    const QByteArray tableUtf8 = table.toUtf8();
    for (int c = 0; c < count; ++c) {
        const char *name = sqlite3_column_name(raw, c);
        state->columns << QString::fromUtf8(name);
        const char *declaredType = nullptr;
        int primaryKey = 0;
        if (sqlite3_table_column_metadata(db, "main", tableUtf8.constData(), name, &declaredType,
                                          nullptr, nullptr, &primaryKey, nullptr) == SQLITE_OK
            && primaryKey && declaredType && sqlite3_stricmp(declaredType, "INTEGER") == 0)
            state->idColumn = c;
    }

    // Right after opening: the first row is current, or both flags are set.
    const int first = state->firstAtOrAfter(RowBuffer::kMinId);
    if (first < 0) {
        state->bof = state->eof = true;
    } else {
        state->setCurrent(first);
    }
    return state;
}

// ---- State: helpers ---------------------------------------------------------

void Recordset::State::throwClosed() const
{
    if (closed)
        throw DataError(QStringLiteral("表“%1”的记录集已关闭。").arg(table));
    connection->openHandle(); // throws: the connection is closed
    throw DataError(QStringLiteral("数据库连接已关闭。"));
}

void Recordset::State::throwNoCurrentRow() const
{
    if (!hasCurrentRow())
        throw DataError(QStringLiteral("当前没有记录。"));
    throw DataError(QStringLiteral("当前记录已被删除。"));
}

int Recordset::State::columnIndex(const QString &name) const
{
    // Exact, case-sensitive: "name" is not the field "Name".
    const int index = columns.indexOf(name);
    if (index < 0)
        throw DataError(QStringLiteral("表“%1”中没有字段“%2”。").arg(table, name));
    return index;
}

DataError Recordset::State::outOfMemory() const
{
    return DataError(readContext() + QStringLiteral("：") + describeSqliteCode(SQLITE_NOMEM)
                         + QStringLiteral("。"),
                     SQLITE_NOMEM);
}

QString Recordset::State::readContext() const
{
    return QStringLiteral("无法读取表“%1”").arg(table);
}

DataError Recordset::State::failure(const QString &context, int rc) const
{
    if (connection->isOpen() && isNoSuchTable(*connection, table, rc))
        return DataError(noSuchTable(connection->path(), table), rc);
    return connection->error(context, rc);
}

DataError Recordset::State::writeFailure(const QString &context, int rc) const
{
    if (connection->isOpen() && isNoSuchTable(*connection, table, rc))
        return DataError(noSuchTable(connection->path(), table), rc);
    return connection->writeError(context, rc);
}

int Recordset::State::addFetchedColumn(int column)
{
    // First read of this field: read ahead with it from now on.
    fetchedColumns.push_back(column);
    buffer.clear();
    currentRowHint = -1;
    return int(fetchedColumns.size()) - 1;
}

int Recordset::State::neighbourInBuffer(int direction)
{
    if (bof || eof)
        return -1;
    dropStaleBuffer(Connection::Recheck::IfDue);
    if (!hintIsCurrent())
        return -1;
    // Rows next to each other in the buffer are next to each other in the
    // table: the buffer holds every row of the range it covers.
    const int row = currentRowHint + direction;
    return row >= 0 && row < buffer.size() ? row : -1;
}

void Recordset::State::setCurrent(int row)
{
    currentId = buffer.id(row);
    currentRowHint = row;
    bof = eof = onDeletedRow = false;
}

void Recordset::State::fetch(qint64 from, bool forward)
{
    Connection &conn = live();
    QString columnList;
    for (const int column : fetchedColumns)
        columnList += QStringLiteral(", ") + quotedIdentifier(columns.at(column));
    const QString sql = forward
        ? QStringLiteral("SELECT rowid%1 FROM %2 WHERE rowid >= ?1 ORDER BY rowid LIMIT ?2")
        : QStringLiteral("SELECT rowid%1 FROM %2 WHERE rowid <= ?1 ORDER BY rowid DESC LIMIT ?2");
    sqlite3_stmt *stmt = nullptr;
    try {
        stmt = conn.cached(sql.arg(columnList, quotedIdentifier(table)).toUtf8(), readContext());
    } catch (const DataError &error) {
        if (isNoSuchTable(conn, table, error.code()))
            throw DataError(noSuchTable(conn.path(), table), error.code());
        throw;
    }
    // The stamp is taken before reading, so a change made meanwhile is seen
    // as a change next time.
    const Connection::Stamp stamp = conn.stamp(Connection::Recheck::Never);
    const bool continuing = lastFetchForward == forward && buffer.isValid()
        && (forward ? from != RowBuffer::kMinId && buffer.high() == from - 1
                    : from != RowBuffer::kMaxId && buffer.low() == from + 1);
    chunkRows = continuing ? std::min(chunkRows * 2, kMaxChunkRows) : kFirstChunkRows;
    lastFetchForward = forward;

    StatementUse use(stmt);
    use.bind(1, from);
    use.bind(2, qint64(chunkRows));
    const int rc = buffer.fill(stmt, int(fetchedColumns.size()), forward, chunkRows);
    if (rc == SQLITE_NOMEM)
        throw outOfMemory();
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw failure(readContext(), rc);
    // The rows read reach the table's end only when the statement ran out
    // before its limit; a fill cut short by its byte bound does not.
    const bool complete = rc == SQLITE_DONE && buffer.size() < chunkRows;
    if (forward)
        buffer.setRange(from, complete ? RowBuffer::kMaxId : buffer.id(buffer.size() - 1));
    else
        buffer.setRange(complete ? RowBuffer::kMinId : buffer.id(0), from);
    bufferStamp = stamp;
}

int Recordset::State::firstAtOrAfter(qint64 id)
{
    live();
    dropStaleBuffer(Connection::Recheck::IfDue);
    if (buffer.covers(id)) {
        const int row = buffer.lowerBound(id);
        if (row < buffer.size())
            return row;
        if (buffer.high() == RowBuffer::kMaxId)
            return -1;
    }
    fetch(id, true);
    const int row = buffer.lowerBound(id);
    return row < buffer.size() ? row : -1;
}

int Recordset::State::lastAtOrBefore(qint64 id)
{
    live();
    dropStaleBuffer(Connection::Recheck::IfDue);
    if (buffer.covers(id)) {
        const int row = buffer.upperBound(id) - 1;
        if (row >= 0)
            return row;
        if (buffer.low() == RowBuffer::kMinId)
            return -1;
    }
    fetch(id, false);
    return buffer.isEmpty() ? -1 : buffer.size() - 1;
}

int Recordset::State::rowOf(qint64 id)
{
    const int row = firstAtOrAfter(id);
    return row >= 0 && buffer.id(row) == id ? row : -1;
}

// ---- Recordset ----------------------------------------------------------------

Recordset::Recordset(std::unique_ptr<State> state) : d(std::move(state)) {}

Recordset::~Recordset() = default;

const QString &Recordset::table() const
{
    return d->table;
}

bool Recordset::isBOF() const
{
    d->live();
    return d->bof;
}

bool Recordset::isEOF() const
{
    d->live();
    return d->eof;
}

// moveFirst, moveLast and moveToId begin a new walk or come back to a row: they
// always see every commit made so far, by any program.
void Recordset::moveFirst()
{
    d->live();
    d->dropStaleBuffer(Connection::Recheck::Now);
    const int row = d->firstAtOrAfter(RowBuffer::kMinId);
    if (row < 0)
        throw DataError(QStringLiteral("表“%1”中没有记录，无法移到第一条。").arg(d->table));
    d->setCurrent(row);
}

void Recordset::moveLast()
{
    d->live();
    d->dropStaleBuffer(Connection::Recheck::Now);
    const int row = d->lastAtOrBefore(RowBuffer::kMaxId);
    if (row < 0)
        throw DataError(QStringLiteral("表“%1”中没有记录，无法移到最后一条。").arg(d->table));
    d->setCurrent(row);
}

void Recordset::moveNext()
{
    d->live();
    if (d->eof)
        throw DataError(QStringLiteral("已经在表“%1”的最后一条记录之后，无法再向后移动。").arg(d->table));
    // The common step of a walk: the next row is already read ahead.
    if (const int next = d->neighbourInBuffer(+1); next >= 0) {
        d->setCurrent(next);
        return;
    }
    int row = -1;
    if (d->bof)
        row = d->firstAtOrAfter(RowBuffer::kMinId);
    else if (d->currentId != RowBuffer::kMaxId)
        row = d->firstAtOrAfter(d->currentId + 1);
    if (row >= 0) {
        d->setCurrent(row);
        return;
    }
    // Past the end. Both flags are set when no row is left at all.
    const bool empty = d->bof || d->tableIsEmpty();
    d->eof = true;
    d->bof = empty;
    d->onDeletedRow = false;
}

void Recordset::movePrevious()
{
    d->live();
    if (d->bof)
        throw DataError(QStringLiteral("已经在表“%1”的第一条记录之前，无法再向前移动。").arg(d->table));
    if (const int previous = d->neighbourInBuffer(-1); previous >= 0) {
        d->setCurrent(previous);
        return;
    }
    int row = -1;
    if (d->eof)
        row = d->lastAtOrBefore(RowBuffer::kMaxId);
    else if (d->currentId != RowBuffer::kMinId)
        row = d->lastAtOrBefore(d->currentId - 1);
    if (row >= 0) {
        d->setCurrent(row);
        return;
    }
    const bool empty = d->eof || d->tableIsEmpty();
    d->bof = true;
    d->eof = empty;
    d->onDeletedRow = false;
}

int Recordset::recordCount() const
{
    Connection &conn = d->live();
    StatementUse use(conn.cached(
        QStringLiteral("SELECT count(*) FROM %1").arg(quotedIdentifier(d->table)).toUtf8(),
        d->readContext()));
    const int rc = use.step();
    if (rc != SQLITE_ROW)
        throw d->failure(d->readContext(), rc);
    return int(sqlite3_column_int64(use.get(), 0));
}

qint64 Recordset::id() const
{
    d->live();
    d->requireCurrentRow();
    return d->currentId;
}

bool Recordset::moveToId(qint64 id)
{
    d->live();
    d->dropStaleBuffer(Connection::Recheck::Now);
    const int row = d->rowOf(id);
    if (row < 0)
        return false;
    d->setCurrent(row);
    return true;
}

Field Recordset::field(int position) const
{
    d->live();
    if (position < 0 || position >= d->columns.size()) {
        throw DataError(QStringLiteral("表“%1”中没有位置为 %2 的字段（共 %3 个字段）。")
                            .arg(d->table)
                            .arg(position)
                            .arg(d->columns.size()));
    }
    d->requireCurrentRow();
    const int slot = d->slotOf(position);
    const int row = d->currentRow();
    if (row < 0)
        throw DataError(QStringLiteral("当前记录已被删除。"));
    Field field;
    try {
        field = Field(d->buffer.value(row, slot));
    } catch (const std::bad_alloc &) {
        throw d->outOfMemory();
    }
    if (field.isNull()) { // names for the message of text(); not needed otherwise
        field.m_field = d->columns.at(position);
        field.m_table = d->table;
    }
    return field;
}

Field Recordset::field(const QString &name) const
{
    d->live();
    return field(d->columnIndex(name));
}

void Recordset::addNew()
{
    d->live();
    d->adding = true;
    d->pending.clear();
}

void Recordset::setField(const QString &name, const QString &value)
{
    d->live();
    if (!d->adding)
        throw DataError(QStringLiteral("没有正在新增的记录：请先调用 addNew。"));
    const int column = d->columnIndex(name);
    if (column == d->idColumn) {
        throw DataError(QStringLiteral("字段“%1”（表“%2”）由数据库自动编号，不能赋值。")
                            .arg(name, d->table));
    }
    for (auto &entry : d->pending) {
        if (entry.first == column) {
            entry.second = value;
            return;
        }
    }
    d->pending.emplace_back(column, value);
}

void Recordset::update()
{
    Connection &conn = d->live();
    if (!d->adding)
        throw DataError(QStringLiteral("没有要保存的新记录：请先调用 addNew。"));
    // The pending row is used up whether or not storing it succeeds.
    const auto values = std::move(d->pending);
    d->pending.clear();
    d->adding = false;

    QString sql = QStringLiteral("INSERT INTO %1").arg(quotedIdentifier(d->table));
    if (values.empty()) {
        sql += QStringLiteral(" DEFAULT VALUES");
    } else {
        QStringList names, marks;
        for (const auto &entry : values) {
            names << quotedIdentifier(d->columns.at(entry.first));
            marks << QStringLiteral("?");
        }
        sql += QStringLiteral(" (%1) VALUES (%2)").arg(names.join(u','), marks.join(u','));
    }
    const QString context = QStringLiteral("无法保存到表“%1”").arg(d->table);
    StatementUse use(conn.cached(sql.toUtf8(), context));
    for (size_t i = 0; i < values.size(); ++i)
        use.bind(int(i) + 1, values[i].second);
    const int rc = use.step();
    conn.noteWrite();
    if (rc != SQLITE_DONE)
        throw d->writeFailure(context, rc);
}

void Recordset::cancelUpdate()
{
    d->live();
    d->adding = false;
    d->pending.clear();
}

void Recordset::deleteCurrent()
{
    Connection &conn = d->live();
    d->requireCurrentRow();
    const QString context = QStringLiteral("无法从表“%1”中删除记录").arg(d->table);
    StatementUse use(conn.cached(
        QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quotedIdentifier(d->table)).toUtf8(),
        context));
    use.bind(1, d->currentId);
    const int rc = use.step();
    conn.noteWrite();
    if (rc != SQLITE_DONE)
        throw d->writeFailure(context, rc);
    // The position stays on the removed row until the next move.
    d->onDeletedRow = true;
    if (sqlite3_changes(conn.handle()) == 0)
        throw DataError(QStringLiteral("当前记录已被删除。"));
}

void Recordset::close()
{
    d->closed = true;
    d->buffer.clear();
    d->pending.clear();
    d->adding = false;
}
