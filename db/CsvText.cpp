// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/CsvText.h"

#include <QStringDecoder>

namespace {

constexpr QChar Guard = QLatin1Char('\'');

// Characters that make a spreadsheet cell a formula, and the guard itself.
bool needsGuard(QChar first)
{
    return first == QLatin1Char('=') || first == QLatin1Char('+') || first == QLatin1Char('-')
        || first == QLatin1Char('@') || first == QLatin1Char('\t') || first == QLatin1Char('\r')
        || first == Guard;
}

QString unguarded(const QString &text)
{
    if (text.size() >= 2 && text.at(0) == Guard && needsGuard(text.at(1)))
        return text.mid(1);
    return text;
}

} // namespace

QString CsvText::field(const QString &text)
{
    QString quoted = !text.isEmpty() && needsGuard(text.at(0)) ? Guard + text : text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvText::record(const QStringList &fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString &text : fields)
        quoted << field(text);
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QList<QStringList> CsvText::records(const QByteArray &bytes)
{
    return records(QString::fromUtf8(bytes));
}

int CsvText::lineOfNul(const QByteArray &bytes)
{
    const qsizetype at = bytes.indexOf('\0');
    return at < 0 ? 0 : int(bytes.left(at).count('\n')) + 1;
}

int CsvText::lineOfBadUtf8(const QByteArray &bytes)
{
    // Line by line, so the whole file is looked at once and the line of a fault is known.
    int line = 1;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString ignored = decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        if (decoder.hasError())
            return line;
        start = end + 1;
        ++line;
    }
    return 0;
}

std::optional<QString> CsvText::fromGb18030(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QList<QStringList> CsvText::records(const QString &source)
{
    QString text = source;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QList<QStringList> found;
    QStringList record;
    QString current;
    bool quoted = false;
    const auto endField = [&] {
        record << unguarded(current);
        current.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                current += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))) {
            // CRLF as written; a bare LF too, as an editor may save a file it changed.
            endField();
            found << record;
            record.clear();
            if (c == QLatin1Char('\r'))
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty() || !record.isEmpty()) { // a last record without its CRLF
        endField();
        found << record;
    }
    return found;
}
