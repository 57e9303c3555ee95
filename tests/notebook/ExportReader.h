// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the notebook's Markdown export back into sections, for tests: what a careful
// reader of those formats would get from the files.

#include "notebook/NoteExport.h"

#include <QStringList>

namespace ExportReader {

// Undoes NoteExport::markdownInline: "\X" for ASCII punctuation X, "&#N;" for any character.
inline QString unescapeInline(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            out += text.at(++i);
        } else if (c == QLatin1Char('&') && text.mid(i, 2) == QLatin1String("&#")) {
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
            section.name = unescapeInline(line.mid(2));
            sections << section;
        } else if (line == QLatin1String("##") || line.startsWith(QLatin1String("## "))) {
            ExportedNote note;
            note.title = unescapeInline(line.mid(3));
            sections.last().notes << note;
        } else if (line.startsWith(QStringLiteral("时间："))) {
            sections.last().hasTime = true;
            sections.last().notes.last().time = unescapeInline(line.mid(3));
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
