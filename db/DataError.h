// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

// A failure of the data layer: what went wrong, in words a user can be shown
// (which file, which table, which field), plus the SQLite result code, if any.
class DataError : public std::runtime_error
{
public:
    explicit DataError(const QString &message, int sqliteCode = 0);

    QString message() const { return m_message; }
    // The SQLite primary/extended result code, or 0 when the failure is our own
    // (no current row, unknown field, a move past the end).
    int code() const { return m_code; }
    // The file was locked by another program for longer than the program waits.
    bool isFileInUse() const;

private:
    QString m_message;
    int m_code;
};
