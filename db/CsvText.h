// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// CSV as the program writes and reads it (RFC 4180, UTF-8): every field in double quotes with
// quotes doubled, records ending in CRLF, line breaks inside a field kept as they are.
//
// A spreadsheet takes a cell that begins with =, +, - or @ (or a tab or carriage return) for a
// formula and runs it. Such a text is written with an apostrophe before it, as spreadsheets
// expect; so is a text that itself begins with an apostrophe, so that reading back is exact:
// records() drops one leading apostrophe where it stands before one of those characters.
namespace CsvText {

// One field, quoted and guarded.
QString field(const QString &text);
// One record: its fields quoted and guarded, separated by commas, ending in CRLF.
QString record(const QStringList &fields);
// Every record of `bytes` (a leading byte-order mark skipped), each field unguarded. A record
// ends at CRLF or at a bare LF outside quotes.
QList<QStringList> records(const QByteArray &bytes);

} // namespace CsvText
