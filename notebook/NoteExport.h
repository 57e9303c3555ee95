// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// One record of a notebook section, as exported.
struct ExportedNote
{
    QString time; // the diary's time; empty in the other sections
    QString title;
    QString body;
};

struct ExportedSection
{
    QString table;
    QString name; // 瘦身食谱, 有氧运动, 瘦身心得, 瘦身日记
    bool hasTime = false;
    QList<ExportedNote> notes;
};

// The notebook's records written out for people and other programs, in UTF-8.
//
// Markdown: a "# " heading per section, a "## " heading per record's title, "时间：" and the
// diary's time, then the body in a fenced block, which keeps every character and line break of
// it as it is (the fence is longer than any run of backticks in the body). In the headings and
// the time, a backslash goes before what a Markdown reader would take for markup where it stands
// (backslashes, backticks, *, [, ], |, ~, a _ not between letters, a < or & that would begin a
// tag or an entity, a closing run of #) and nothing else, so dates and times read as typed
// ("2026-12-10 18:24"); line breaks and the spaces at either end are written as character
// references (&#10;). Any text reads back unchanged.
//
// CSV (CsvText: RFC 4180, cells a spreadsheet would run as formulas guarded by an apostrophe):
// a byte-order mark, so spreadsheets take it as UTF-8; the header 栏目,时间,标题,内容; one line
// per record.
namespace NoteExport {

// The notebook tables in the order of the window's buttons: sp, yd, xd, rj.
const QStringList &tables();
// The section's name, or an empty text for a table that is not a notebook section.
QString sectionName(const QString &table);

// Reads every record of the given sections, in row order. Throws DataError.
QList<ExportedSection> read(Database &db, const QStringList &tables);

QByteArray toMarkdown(const QList<ExportedSection> &sections);
QByteArray toCsv(const QList<ExportedSection> &sections);

// Escapes a heading's or the time's text as described above.
QString markdownInline(const QString &text);
// The fence for a body: backticks, at least three, one more than its longest run of them.
QString markdownFence(const QString &body);

int noteCount(const QList<ExportedSection> &sections);

} // namespace NoteExport
