// SPDX-License-Identifier: GPL-3.0-or-later
#include "notebook/NoteExport.h"

#include "db/CsvText.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "notebook/NotebookSections.h"

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// Whether the character at `i` of text[begin, end) would be read as Markdown where it stands.
bool startsMarkup(const QString &text, qsizetype i, qsizetype begin, qsizetype end)
{
    const QChar previous = i > begin ? text.at(i - 1) : QChar();
    const QChar next = i + 1 < end ? text.at(i + 1) : QChar();
    switch (text.at(i).unicode()) {
    case '\\': // an escape itself, or a hard line break
    case '`':  // code
    case '*':  // emphasis
    case '[':  // links and images
    case ']':
    case '|':  // table cells
    case '~':  // strikethrough
        return true;
    case '_': // emphasis, except between letters or digits (snake_case, 下_划)
        return !(previous.isLetterOrNumber() && next.isLetterOrNumber());
    case '<': // an HTML tag, a comment or an autolink
        return isAsciiLetter(next) || next == QLatin1Char('/') || next == QLatin1Char('!') || next == QLatin1Char('?');
    case '&': // an entity or a character reference
        return isAsciiLetter(next) || next == QLatin1Char('#');
    default:
        return false;
    }
}

QString characterReference(QChar c)
{
    return QStringLiteral("&#%1;").arg(c.unicode());
}

} // namespace

const QStringList &NoteExport::tables()
{
    static const QStringList names = [] {
        QStringList list;
        for (const NotebookSection &section : NotebookSections::all())
            list << section.table;
        return list;
    }();
    return names;
}

QString NoteExport::sectionName(const QString &table)
{
    const NotebookSection *section = NotebookSections::forTable(table);
    return section ? section->caption : QString();
}

QList<ExportedSection> NoteExport::read(Database &db, const QStringList &tables)
{
    QList<ExportedSection> sections;
    for (const QString &table : tables) {
        const NotebookSection *known = NotebookSections::forTable(table);
        if (!known)
            continue;
        ExportedSection section;
        section.table = table;
        section.name = known->caption;
        section.hasTime = known->hasTime;
        const auto rs = db.openRecordset(table);
        if (!rs->isEOF())
            rs->moveFirst();
        while (!rs->isEOF()) {
            ExportedNote note;
            if (known->hasTime)
                note.time = rs->field(QStringLiteral("time")).textOrEmpty();
            note.title = rs->field(QStringLiteral("Name")).textOrEmpty();
            note.body = rs->field(QStringLiteral("demo")).textOrEmpty();
            section.notes << note;
            rs->moveNext();
        }
        sections << section;
    }
    return sections;
}

QString NoteExport::markdownInline(const QString &text)
{
    // Spaces and tabs at either end would be dropped by a Markdown reader.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text.at(begin) == QLatin1Char(' ') || text.at(begin) == QLatin1Char('\t')))
        ++begin;
    while (end > begin && (text.at(end - 1) == QLatin1Char(' ') || text.at(end - 1) == QLatin1Char('\t')))
        --end;
    // A run of # at the end, alone or after a space, would close a heading and be dropped.
    qsizetype closingRun = end;
    while (closingRun > begin && text.at(closingRun - 1) == QLatin1Char('#'))
        --closingRun;
    if (closingRun < end && closingRun > begin && text.at(closingRun - 1) != QLatin1Char(' ')
        && text.at(closingRun - 1) != QLatin1Char('\t'))
        closingRun = -1;

    QString escaped;
    escaped.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (i < begin || i >= end || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            escaped += characterReference(c);
        else if (i == closingRun || startsMarkup(text, i, begin, end))
            escaped += QLatin1Char('\\') + c;
        else
            escaped += c;
    }
    return escaped;
}

QString NoteExport::markdownFence(const QString &body)
{
    int longest = 0;
    int run = 0;
    for (QChar c : body) {
        run = c == QLatin1Char('`') ? run + 1 : 0;
        longest = qMax(longest, run);
    }
    return QString(qMax(3, longest + 1), QLatin1Char('`'));
}

QByteArray NoteExport::toMarkdown(const QList<ExportedSection> &sections)
{
    QString out;
    for (const ExportedSection &section : sections) {
        out += QStringLiteral("# ") + markdownInline(section.name) + QStringLiteral("\n\n");
        if (section.notes.isEmpty())
            out += QStringLiteral("（没有记录）\n\n");
        for (const ExportedNote &note : section.notes) {
            out += QStringLiteral("##");
            if (!note.title.isEmpty())
                out += QLatin1Char(' ') + markdownInline(note.title);
            out += QStringLiteral("\n\n");
            if (section.hasTime)
                out += QStringLiteral("时间：") + markdownInline(note.time) + QStringLiteral("\n\n");
            const QString fence = markdownFence(note.body);
            out += fence + QStringLiteral("text\n") + note.body + QLatin1Char('\n') + fence
                + QStringLiteral("\n\n");
        }
    }
    return out.toUtf8();
}

QByteArray NoteExport::toCsv(const QList<ExportedSection> &sections)
{
    QString out = QStringLiteral("\uFEFF栏目,时间,标题,内容\r\n");
    for (const ExportedSection &section : sections)
        for (const ExportedNote &note : section.notes)
            out += CsvText::field(section.name) + QLatin1Char(',') + CsvText::field(note.time) + QLatin1Char(',')
                + CsvText::field(note.title) + QLatin1Char(',') + CsvText::field(note.body) + QStringLiteral("\r\n");
    return out.toUtf8();
}

int NoteExport::noteCount(const QList<ExportedSection> &sections)
{
    int count = 0;
    for (const ExportedSection &section : sections)
        count += int(section.notes.size());
    return count;
}
