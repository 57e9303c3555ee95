// SPDX-License-Identifier: GPL-3.0-or-later
#include "ownfoods/OwnFoodCsv.h"

#include "db/CsvText.h"
#include "foods/AmountText.h"
#include "foods/Bounds.h"
#include "foods/FigureText.h"
#include "ownfoods/OwnFoodInput.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace OwnFoodCsv {

namespace {

const QStringList &header()
{
    static const QStringList columns = {
        QStringLiteral("类型"),   QStringLiteral("名称"),     QStringLiteral("分类"),
        QStringLiteral("每100克热量"), QStringLiteral("其他名称"), QStringLiteral("份量"),
        QStringLiteral("份量克数"), QStringLiteral("熟重克数"), QStringLiteral("所属菜谱"),
        QStringLiteral("配料克数"), QStringLiteral("蛋白质"), QStringLiteral("脂肪"), QStringLiteral("碳水"),
        QStringLiteral("钠毫克数")};
    return columns;
}

enum Column { Kind, Name, Category, Kcal, Aliases, Measure, MeasureGrams, Cooked, Recipe, PartGrams, Protein, Fat,
              Carbohydrate, Sodium, ColumnCount };

// Where each column stands in a file: found by its name in the header, so that a file written
// before a column was added (钠毫克数) is read all the same, its cells empty.
struct Layout
{
    int at[ColumnCount];
    int width = 0; // the cells a row has

    QString cell(const QStringList &row, Column column) const
    {
        return at[column] < 0 ? QString() : row.at(at[column]);
    }
};

// The layout of a header row, or the problem with it: every column but the later ones once,
// nothing else.
std::optional<Layout> layoutOf(const QStringList &names, QString *problem = nullptr)
{
    Layout layout;
    std::fill(std::begin(layout.at), std::end(layout.at), -1);
    layout.width = int(names.size());
    const auto fail = [&](const QString &what) {
        if (problem)
            *problem = QStringLiteral("第 1 行不是自定义食物文件的标题行（%1）：%2。")
                           .arg(header().join(QLatin1Char(',')), what);
        return std::nullopt;
    };
    for (int i = 0; i < names.size(); ++i) {
        const QString name = names.at(i).trimmed();
        const int column = int(header().indexOf(name));
        if (column < 0)
            return fail(QStringLiteral("不认识的列“%1”").arg(name.left(40)));
        if (layout.at[column] >= 0)
            return fail(QStringLiteral("列“%1”出现了两次").arg(name));
        layout.at[column] = i;
    }
    for (int column = 0; column < ColumnCount; ++column)
        if (layout.at[column] < 0 && column != Sodium)
            return fail(QStringLiteral("缺少列“%1”").arg(header().at(column)));
    return layout;
}

QStringList nutrientCells(const std::optional<Nutrients> &n)
{
    if (!n)
        return {QString(), QString(), QString(), QString()};
    return {QString::number(n->protein, 'f', 1), QString::number(n->fat, 'f', 1), QString::number(n->carbohydrate, 'f', 1),
            n->sodium ? FigureText::upToOneDecimal(*n->sodium) : QString()};
}

// The figures of an ingredient's row: none, or protein, fat and carbohydrate from 0 to 100 g, at
// most 100 together, and the sodium where given.
bool nutrientsOf(const Layout &layout, const QStringList &row, std::optional<Nutrients> &out)
{
    const QString cells[] = {layout.cell(row, Protein).trimmed(), layout.cell(row, Fat).trimmed(),
                             layout.cell(row, Carbohydrate).trimmed()};
    const QString sodium = layout.cell(row, Sodium).trimmed();
    if (cells[0].isEmpty() && cells[1].isEmpty() && cells[2].isEmpty())
        return sodium.isEmpty();
    double grams[3];
    for (int i = 0; i < 3; ++i) {
        const std::optional<double> value = AmountText::number(cells[i]);
        if (!value || *value > Bounds::MaxNutrientPer100g)
            return false;
        grams[i] = *value;
    }
    if (grams[0] + grams[1] + grams[2] > Bounds::MaxNutrientPer100g + 0.05)
        return false;
    out = Nutrients{grams[0], grams[1], grams[2], 0};
    if (!sodium.isEmpty()) {
        const std::optional<double> mg = AmountText::number(sodium);
        if (!mg || *mg > Bounds::MaxSodiumPer100g)
            return false;
        out->sodium = *mg;
    }
    return true;
}

} // namespace

QByteArray write(const QVector<OwnFood> &foods)
{
    QString out = CsvText::record(header());
    for (const OwnFood &food : foods) {
        out += CsvText::record(QStringList{food.isRecipe() ? QStringLiteral("菜谱") : QStringLiteral("食物"), food.name,
                                food.category, FigureText::upToOneDecimal(food.kcalPer100g), food.aliases.join(QChar(0x3001)),
                                food.measure, food.measure.isEmpty() ? QString() : FigureText::upToOneDecimal(food.measureGrams),
                                food.isRecipe() ? FigureText::upToOneDecimal(food.cookedGrams) : QString(), QString(), QString()}
                               + nutrientCells(food.isRecipe() ? std::optional<Nutrients>() : food.nutrients));
        for (const RecipePart &part : food.parts)
            out += CsvText::record(QStringList{QStringLiteral("配料"), part.food, part.category, FigureText::upToOneDecimal(part.kcalPer100g),
                                    QString(), QString(), QString(), QString(), food.name, FigureText::upToOneDecimal(part.grams)}
                                   + nutrientCells(part.nutrients));
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

namespace {

// The file's text: UTF-8 as written here; GB18030 (GBK) as a spreadsheet saves a CSV on a Chinese
// system, taken only when the header row then reads right, so a UTF-8 file with one broken byte
// is told as that and not shown as garbled names.
std::optional<QString> textOf(const QByteArray &bytes, Reading &reading)
{
    if (const int line = CsvText::lineOfNul(bytes)) {
        reading.problems << QStringLiteral("第 %1 行含有空字符（NUL），不是文本文件的内容。").arg(line);
        return std::nullopt;
    }
    const int badLine = CsvText::lineOfBadUtf8(bytes);
    if (badLine == 0)
        return QString::fromUtf8(bytes);
    if (!bytes.startsWith("\xEF\xBB\xBF")) {
        if (const std::optional<QString> text = CsvText::fromGb18030(bytes)) {
            const QString firstLine = text->left(200).section(QLatin1Char('\n'), 0, 0);
            const QList<QStringList> first = CsvText::records(firstLine + QLatin1Char('\n'));
            if (!first.isEmpty() && layoutOf(first.first())) {
                reading.fromGb18030 = true;
                return text;
            }
        }
    }
    reading.problems << QStringLiteral("第 %1 行不是有效的 UTF-8 文字（文件可能已损坏，或用了别的编码）。").arg(badLine);
    return std::nullopt;
}

// A food or recipe row, with the parts that name it, until it is checked as the dialog checks.
struct Pending
{
    int line = 0;
    bool recipe = false;
    QStringList row;
    QList<RecipePart> parts;
};

} // namespace

Reading read(const QByteArray &bytes, const OwnFoodInput::NameTaken &shipped)
{
    Reading reading;
    const std::optional<QString> text = textOf(bytes, reading);
    if (!text)
        return reading;
    const QList<QStringList> records = CsvText::records(*text);
    QString headerProblem = QStringLiteral("第 1 行不是自定义食物文件的标题行（%1）。").arg(header().join(QLatin1Char(',')));
    const std::optional<Layout> layout = records.isEmpty() ? std::nullopt : layoutOf(records.first(), &headerProblem);
    if (!layout) {
        reading.problems << headerProblem;
        return reading;
    }
    const auto cell = [&layout](const QStringList &row, Column column) { return layout->cell(row, column); };
    QVector<Pending> pending;
    QSet<QString> names;          // every food and recipe row's name so far
    QHash<QString, int> recipeAt; // a recipe's place in `pending`, once its row was taken
    for (int i = 1; i < records.size(); ++i) {
        const QStringList &row = records.at(i);
        if (row.size() == 1 && row.first().trimmed().isEmpty())
            continue;
        const auto problem = [&](const QString &what) { reading.problems << QStringLiteral("第 %1 行：%2").arg(i + 1).arg(what); };
        if (row.size() != layout->width) {
            problem(QStringLiteral("应有 %1 列，实有 %2 列。").arg(layout->width).arg(row.size()));
            continue;
        }
        const QString kind = cell(row, Kind).trimmed();
        const QString name = cell(row, Name).trimmed();
        const AmountText::Reading kcal = AmountText::read(cell(row, Kcal), AmountText::KcalPer100g);
        if (name.isEmpty() || name.size() > OwnFoodInput::MaxNameLength) {
            problem(QStringLiteral("名称应为 1–%1 个字。").arg(OwnFoodInput::MaxNameLength));
            continue;
        }
        if (!kcal.value) {
            problem(QStringLiteral("每100克热量“%1”：%2。").arg(cell(row, Kcal).trimmed(), kcal.problem));
            continue;
        }
        std::optional<Nutrients> nutrients;
        if (!nutrientsOf(*layout, row, nutrients)) {
            problem(QStringLiteral("蛋白质、脂肪、碳水应都为 0–100 之间的克数（合计不超过 100），或都不填；"
                                   "钠为 0–%1 毫克，只和这三项一起填。")
                        .arg(Bounds::MaxSodiumPer100g));
            continue;
        }
        if (kind == QStringLiteral("配料")) {
            const auto recipe = recipeAt.constFind(cell(row, Recipe).trimmed());
            const AmountText::Reading grams = AmountText::read(cell(row, PartGrams), AmountText::Grams);
            if (recipe == recipeAt.cend()) {
                problem(QStringLiteral("配料所属的菜谱“%1”不在它之前。").arg(cell(row, Recipe).trimmed()));
                continue;
            }
            if (!grams.value) {
                problem(QStringLiteral("配料克数：%1。").arg(grams.problem));
                continue;
            }
            pending[*recipe].parts.append({name, cell(row, Category).trimmed(), *kcal.value, *grams.value, nutrients});
            continue;
        }
        if (kind != QStringLiteral("食物") && kind != QStringLiteral("菜谱")) {
            problem(QStringLiteral("类型应为“食物”“菜谱”或“配料”。"));
            continue;
        }
        if (names.contains(name)) {
            problem(QStringLiteral("“%1”在文件中出现了两次。").arg(name));
            continue;
        }
        names.insert(name);
        if (kind == QStringLiteral("菜谱"))
            recipeAt.insert(name, int(pending.size()));
        pending.append({i + 1, kind == QStringLiteral("菜谱"), row, {}});
    }

    // Each food as the dialog would take it: the shipped foods' names and other names are
    // refused, every figure within the dialog's ranges, a recipe's energy from its parts.
    const OwnFoodInput::NameTaken taken = [&shipped](const QString &name) { return shipped && shipped(name); };
    for (const Pending &food : std::as_const(pending)) {
        const QStringList &row = food.row;
        if (food.recipe && food.parts.isEmpty()) {
            reading.problems << QStringLiteral("第 %1 行：菜谱“%2”没有配料。").arg(food.line).arg(cell(row, Name).trimmed());
            continue;
        }
        OwnFoodInput::Fields fields;
        fields.name = cell(row, Name);
        fields.category = cell(row, Category);
        fields.kcalPer100g = cell(row, Kcal);
        fields.aliases = cell(row, Aliases);
        fields.measure = cell(row, Measure);
        fields.measureGrams = cell(row, Measure).trimmed().isEmpty() ? QString() : cell(row, MeasureGrams);
        if (!food.recipe) {
            fields.protein = cell(row, Protein);
            fields.fat = cell(row, Fat);
            fields.carbohydrate = cell(row, Carbohydrate);
            fields.sodium = cell(row, Sodium);
        }
        const OwnFoodInput::Reading checked = food.recipe
            ? OwnFoodInput::readRecipe(fields, food.parts, cell(row, Cooked), taken)
            : OwnFoodInput::read(fields, taken);
        if (!checked.problem.isEmpty()) {
            reading.problems << QStringLiteral("第 %1 行：%2").arg(food.line).arg(checked.problem);
            continue;
        }
        reading.foods.append(checked.food);
    }
    if (!reading.problems.isEmpty())
        reading.foods.clear();
    return reading;
}

} // namespace OwnFoodCsv
