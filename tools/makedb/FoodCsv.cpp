#include "FoodCsv.h"

#include <QLocale>
#include <QSet>
#include <QStringDecoder>
#include <cmath>

namespace {

constexpr double kMaxKcal = 900;

struct Record
{
    int line = 0;
    QStringList fields;
};

// Splits RFC 4180 text into records. Empty lines are skipped; a quote inside
// an unquoted field or an unterminated quoted field is a problem.
std::vector<Record> splitRecords(const QString &text, QStringList &problems)
{
    std::vector<Record> records;
    Record record;
    QString field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field was quoted (text after it is an error)
    bool fieldStarted = false;
    int line = 1;
    int quoteLine = 0;
    record.line = 1;

    auto endField = [&] {
        record.fields << field;
        field.clear();
        wasQuoted = false;
        fieldStarted = false;
    };
    auto endRecord = [&] {
        const bool blank = record.fields.isEmpty() && field.isEmpty() && !wasQuoted;
        if (!blank) {
            endField();
            records.push_back(record);
        }
        record = Record();
        field.clear();
        wasQuoted = fieldStarted = false;
    };

    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                    wasQuoted = true;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u',') {
            endField();
            fieldStarted = true;
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            continue; // the \n ends the record
        } else if (c == u'\n') {
            endRecord();
            ++line;
            record.line = line;
        } else if (c == u'"') {
            if (!field.isEmpty() || wasQuoted) {
                problems << QStringLiteral("line %1: a quote inside an unquoted field").arg(line);
                field += c;
            } else {
                quoted = true;
                quoteLine = line;
                fieldStarted = true;
            }
        } else {
            if (wasQuoted) {
                problems << QStringLiteral("line %1: text after a closing quote").arg(line);
                wasQuoted = false;
            }
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        problems << QStringLiteral("line %1: a quoted field is not closed").arg(quoteLine);
    if (!record.fields.isEmpty() || !field.isEmpty() || wasQuoted || fieldStarted)
        endRecord();
    return records;
}

} // namespace

FoodTable FoodTable::parse(const QByteArray &csv)
{
    FoodTable table;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(csv);
    if (decoder.hasError()) {
        table.problems << QStringLiteral("the file is not valid UTF-8");
        return table;
    }
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);

    const std::vector<Record> records = splitRecords(text, table.problems);
    if (records.empty()) {
        table.problems << QStringLiteral("line 1: the header \"category,name,portion,kcal\" is missing");
        return table;
    }
    const QStringList header{"category", "name", "portion", "kcal"};
    if (records.front().fields != header) {
        table.problems << QStringLiteral("line %1: the header must be \"category,name,portion,kcal\"")
                              .arg(records.front().line);
    }

    QHash<QPair<QString, QString>, int> firstLineOf; // (category, name) -> line
    QSet<QString> knownCategories; // table.categories, for a quick look-up
    for (size_t r = 1; r < records.size(); ++r) {
        const Record &record = records[r];
        const auto problem = [&](const QString &what) {
            table.problems << QStringLiteral("line %1: %2").arg(record.line).arg(what);
        };
        if (record.fields.size() != 4) {
            problem(QStringLiteral("expected 4 fields, found %1").arg(record.fields.size()));
            continue;
        }
        FoodRow row;
        row.line = record.line;
        row.category = record.fields.at(0).trimmed();
        row.name = record.fields.at(1).trimmed();
        row.portion = record.fields.at(2).trimmed();
        const QString kcal = record.fields.at(3).trimmed();
        bool valid = true;
        if (row.category.isEmpty()) {
            problem(QStringLiteral("the category is empty"));
            valid = false;
        }
        if (row.name.isEmpty()) {
            problem(QStringLiteral("the name is empty"));
            valid = false;
        }
        bool isNumber = false;
        row.kcal = QLocale::c().toDouble(kcal, &isNumber);
        if (!isNumber || !std::isfinite(row.kcal)) {
            problem(QStringLiteral("kcal \"%1\" is not a number").arg(kcal));
            valid = false;
        } else if (row.kcal < 0 || row.kcal > kMaxKcal) {
            problem(QStringLiteral("kcal %1 is outside 0 to %2").arg(kcal).arg(kMaxKcal));
            valid = false;
        }
        if (!valid)
            continue;
        const auto key = qMakePair(row.category, row.name);
        if (const auto seen = firstLineOf.constFind(key); seen != firstLineOf.constEnd()) {
            problem(QStringLiteral("\"%1\" is already in category \"%2\" (line %3)")
                        .arg(row.name, row.category)
                        .arg(*seen));
            continue;
        }
        firstLineOf.insert(key, row.line);
        if (!knownCategories.contains(row.category)) {
            knownCategories.insert(row.category);
            table.categories << row.category;
        }
        table.foods.push_back(row);
    }
    return table;
}
