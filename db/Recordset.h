// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/DataError.h"

#include <QString>
#include <optional>

class Database;

// The value of one field of the current row: text, or null (no value).
class Field
{
public:
    Field() = default;
    explicit Field(std::optional<QString> value) : m_value(std::move(value)) {}

    bool isNull() const { return !m_value.has_value(); }
    // The value as text; throws DataError for a null, which has no text.
    QString text() const;
    // The value as text, or an empty text for a null.
    QString textOrEmpty() const { return m_value.value_or(QString()); }

private:
    friend class Recordset;
    std::optional<QString> m_value;
    // Field and table names for the error message of text() on a null; the
    // message is only put together when it is needed.
    QString m_field;
    QString m_table;
};

// A cursor over the rows of one whole table, in stored order, with a current-row
// position and the before-first and after-last flags.
//
// Every operation either succeeds or throws DataError; a move that fails leaves
// the position and both flags as they were. A row added through the cursor comes
// after all rows, in this cursor too. After Delete the position stays on the
// removed row (reading it fails) until the next move.
//
// (The after-last flag is isEOF(), since EOF is a macro of the C library; isBOF()
// is named to match.)
class Recordset
{
public:
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    const QString &table() const;

    bool isBOF() const;
    bool isEOF() const;

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // The number of rows in the table at the moment of asking.
    int recordCount() const;

    // The current row's id (its INTEGER PRIMARY KEY); throws when there is no
    // current row. moveToId makes the row with that id current and returns
    // true, or returns false and leaves the position as it was when the table
    // has no such row (any more). Lets a caller come back to a row it saw
    // before without walking the table from the start.
    qint64 id() const;
    bool moveToId(qint64 id);

    // A field of the current row, by 0-based position or by name.
    Field field(int position) const;
    Field field(const QString &name) const;

    // Adding a row: addNew, then setField for each named field, then Update,
    // which stores the row durably before it returns. The current row stays
    // what it was before addNew.
    void addNew();
    void setField(const QString &name, const QString &value);
    void update();
    // Drops a row begun with addNew without storing it.
    void cancelUpdate();

    // Removes the current row from the table at once.
    void deleteCurrent();

    void close();

private:
    friend class Database;
    struct State;
    explicit Recordset(std::unique_ptr<State> state);
    std::unique_ptr<State> d;
};
