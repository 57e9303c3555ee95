// SPDX-License-Identifier: GPL-3.0-or-later
#include "FoodCsv.h"

#include <QLocale>
#include <QSet>
#include <QStringDecoder>
#include <cmath>

namespace {

constexpr double kMaxKcal = 900;
const QChar kAliasSeparator(0x3001); // 、

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

// An alias names one food only: it is not the name of any food, nor another
// food's alias, so a search for it finds that food and no other.
void checkAliases(FoodTable &table)
{
    QHash<QString, int> lineOfName;
    for (const FoodRow &row : table.foods)
        lineOfName.insert(row.name, row.line);
    QHash<QString, int> lineOfAlias;
    for (const FoodRow &row : table.foods) {
        for (const QString &alias : row.aliases) {
            if (alias == row.name) {
                table.problems << QStringLiteral("line %1: alias \"%2\" is the food's own name")
                                      .arg(row.line).arg(alias);
            } else if (const auto named = lineOfName.constFind(alias); named != lineOfName.constEnd()) {
                table.problems << QStringLiteral("line %1: alias \"%2\" is the name of the food on line %3")
                                      .arg(row.line).arg(alias).arg(*named);
            } else if (const auto given = lineOfAlias.constFind(alias); given != lineOfAlias.constEnd()) {
                table.problems << QStringLiteral("line %1: alias \"%2\" is already given on line %3")
                                      .arg(row.line).arg(alias).arg(*given);
            } else {
                lineOfAlias.insert(alias, row.line);
            }
        }
    }
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
    const QStringList headerWithAliases = header + QStringList{"aliases"};
    const QStringList headerWithNutrients = headerWithAliases + QStringList{"protein", "fat", "carbohydrate", "alcohol"};
    const QStringList headerWithMore = headerWithNutrients + QStringList{"fibre", "sodium"};
    const bool withMore = records.front().fields == headerWithMore;
    const bool withNutrients = withMore || records.front().fields == headerWithNutrients;
    const bool withAliases = withNutrients || records.front().fields == headerWithAliases;
    if (records.front().fields != header && !withAliases) {
        table.problems << QStringLiteral("line %1: the header must be \"category,name,portion,kcal\", "
                                         "\"category,name,portion,kcal,aliases\" or that with "
                                         "\",protein,fat,carbohydrate,alcohol\"")
                              .arg(records.front().line);
    }
    const qsizetype fieldCount = withMore ? 11 : withNutrients ? 9 : withAliases ? 5 : 4;

    QHash<QPair<QString, QString>, int> firstLineOf; // (category, name) -> line
    QSet<QString> knownCategories; // table.categories, for a quick look-up
    for (size_t r = 1; r < records.size(); ++r) {
        const Record &record = records[r];
        const auto problem = [&](const QString &what) {
            table.problems << QStringLiteral("line %1: %2").arg(record.line).arg(what);
        };
        if (record.fields.size() != fieldCount) {
            problem(QStringLiteral("expected %1 fields, found %2").arg(fieldCount).arg(record.fields.size()));
            continue;
        }
        FoodRow row;
        row.line = record.line;
        row.category = record.fields.at(0).trimmed();
        row.name = record.fields.at(1).trimmed();
        row.portion = record.fields.at(2).trimmed();
        const QString kcal = record.fields.at(3).trimmed();
        bool valid = true;
        if (withAliases && !record.fields.at(4).trimmed().isEmpty()) {
            for (const QString &alias : record.fields.at(4).split(kAliasSeparator)) {
                const QString trimmed = alias.trimmed();
                if (trimmed.isEmpty()) {
                    problem(QStringLiteral("an empty alias"));
                    valid = false;
                } else if (row.aliases.contains(trimmed)) {
                    problem(QStringLiteral("alias \"%1\" is given twice").arg(trimmed));
                    valid = false;
                } else {
                    row.aliases << trimmed;
                }
            }
        }
        if (withNutrients) {
            const char *names[] = {"protein", "fat", "carbohydrate", "alcohol"};
            std::optional<double> *figures[] = {&row.protein, &row.fat, &row.carbohydrate, &row.alcohol};
            double sum = 0;
            for (int n = 0; n < 4; ++n) {
                const QString figure = record.fields.at(5 + n).trimmed();
                if (figure.isEmpty())
                    continue;
                bool number = false;
                const double grams = QLocale::c().toDouble(figure, &number);
                if (!number || !std::isfinite(grams) || grams < 0 || grams > 100) {
                    problem(QStringLiteral("%1 \"%2\" is not a number from 0 to 100").arg(QLatin1String(names[n]), figure));
                    valid = false;
                    continue;
                }
                *figures[n] = grams;
                sum += grams;
            }
            if (sum > 100.05) {
                problem(QStringLiteral("protein, fat, carbohydrate and alcohol add up to %1 g, more than 100").arg(sum));
                valid = false;
            }
            if (row.protein.has_value() != row.fat.has_value() || row.fat.has_value() != row.carbohydrate.has_value()) {
                problem(QStringLiteral("protein, fat and carbohydrate are given together or not at all"));
                valid = false;
            }
        }
        if (withMore) {
            // Fibre in grams, counted within carbohydrate; sodium in milligrams, at most salt's.
            const struct
            {
                const char *name;
                std::optional<double> *figure;
                double max;
            } more[] = {{"fibre", &row.fibre, 100}, {"sodium", &row.sodium, 40000}};
            for (int n = 0; n < 2; ++n) {
                const QString figure = record.fields.at(9 + n).trimmed();
                if (figure.isEmpty())
                    continue;
                bool number = false;
                const double value = QLocale::c().toDouble(figure, &number);
                if (!number || !std::isfinite(value) || value < 0 || value > more[n].max) {
                    problem(QStringLiteral("%1 \"%2\" is not a number from 0 to %3")
                                .arg(QLatin1String(more[n].name), figure)
                                .arg(more[n].max));
                    valid = false;
                    continue;
                }
                *more[n].figure = value;
            }
        }
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
    checkAliases(table);
    return table;
}
