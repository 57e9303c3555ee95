// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

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
// The same for text already decoded. Takes time in proportion to the text's length.
QList<QStringList> records(const QString &text);

// What a file's bytes are, before they are taken for text: the line (counted from 1) of the first
// NUL byte or of the first byte that is no part of UTF-8, or 0 when there is none. A NUL or a
// line feed is never part of a longer character in UTF-8 or GB18030, so the line is exact.
int lineOfNul(const QByteArray &bytes);
int lineOfBadUtf8(const QByteArray &bytes);
// The bytes read as GB18030 (which includes GBK and GB2312: what spreadsheets save as "CSV" on a
// Chinese system), or nothing when they are not.
std::optional<QString> fromGb18030(const QByteArray &bytes);

} // namespace CsvText
