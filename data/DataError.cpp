#include "DataError.h"

DataError::DataError(const QString &message, int sqliteCode)
    : std::runtime_error(message.toStdString()), m_message(message), m_code(sqliteCode)
{
}
