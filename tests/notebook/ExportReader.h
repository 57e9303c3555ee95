// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the notebook's Markdown export back into sections, for tests: what a careful
// reader of those formats would get from the files.

#include "notebook/NoteExport.h"

#include <QStringList>

namespace ExportReader {

// What a Markdown (CommonMark) reader takes from the text of a heading or a paragraph line:
// spaces and tabs at either end dropped, "\\X" read as X for ASCII punctuation X (a backslash
// before anything else is itself), "&#N;" as the character N. A heading also loses a closing run
// of # that stands alone or after a space.
inline QString unescapeInline(QString text, bool heading)
{
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (!text.isEmpty() && isBlank(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    if (heading) {
        qsizetype run = text.size();
        while (run > 0 && text.at(run - 1) == QLatin1Char('#'))
            --run;
        if (run < text.size() && (run == 0 || isBlank(text.at(run - 1)))) {
            text.truncate(run);
            while (!text.isEmpty() && isBlank(text.back()))
                text.chop(1);
        }
    }
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (c == QLatin1Char('\\') && next.unicode() < 128 && next.isPrint() && !next.isLetterOrNumber()
            && next != QLatin1Char(' ')) {
            out += next;
            ++i;
        } else if (c == QLatin1Char('&') && next == QLatin1Char('#')) {
            const qsizetype end = text.indexOf(QLatin1Char(';'), i);
            out += QChar(text.mid(i + 2, end - i - 2).toUShort());
            i = end;
        } else {
            out += c;
        }
    }
    return out;
}

// Sections from the Markdown export; the diary's "时间：" lines go to the notes' times.
inline QList<ExportedSection> readMarkdown(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QList<ExportedSection> sections;
    qsizetype pos = 0;
    const auto nextLine = [&](QString *line) {
        if (pos >= text.size())
            return false;
        qsizetype end = text.indexOf(QLatin1Char('\n'), pos);
        if (end < 0)
            end = text.size();
        *line = text.mid(pos, end - pos);
        pos = end + 1;
        return true;
    };
    QString line;
    while (nextLine(&line)) {
        if (line.startsWith(QLatin1String("# "))) {
            ExportedSection section;
            section.name = unescapeInline(line.mid(2), true);
            sections << section;
        } else if (line == QLatin1String("##") || line.startsWith(QLatin1String("## "))) {
            ExportedNote note;
            note.title = unescapeInline(line.mid(3), true);
            sections.last().notes << note;
        } else if (line.startsWith(QStringLiteral("时间："))) {
            sections.last().hasTime = true;
            sections.last().notes.last().time = unescapeInline(line.mid(3), false);
        } else if (line.startsWith(QLatin1String("```"))) {
            // The body: everything up to a line of exactly this fence, less the last line break.
            const QString fence = line.left(line.indexOf(QLatin1String("text")));
            const QString closing = QLatin1Char('\n') + fence + QLatin1Char('\n');
            const qsizetype end = text.indexOf(closing, pos - 1);
            sections.last().notes.last().body = text.mid(pos, end - pos);
            pos = end + closing.size();
        }
    }
    return sections;
}

} // namespace ExportReader
