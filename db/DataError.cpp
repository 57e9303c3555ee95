// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DataError.h"

#include <sqlite3.h>

DataError::DataError(const QString &message, int sqliteCode)
    : std::runtime_error(message.toStdString()), m_message(message), m_code(sqliteCode)
{
}

bool DataError::isFileInUse() const
{
    const int primary = m_code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}
