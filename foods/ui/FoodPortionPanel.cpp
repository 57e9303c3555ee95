// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/ui/FoodPortionPanel.h"

#include "foods/PortionCalculator.h"
#include "foods/ui/PanelColumn.h"

#include <QFont>

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

// Places in the panel, in pixels: the right-hand column under the calorie line.
constexpr int ColumnLeft = PanelColumn::Left;
constexpr int ColumnRight = PanelColumn::Right;
constexpr int AmountTop = 68;
constexpr int RowHeight = 22;
constexpr int ResultTop = AmountTop + RowHeight + 4;
// Protein, fat and carbohydrate: per 100 g, then for the amount, in two small lines.
constexpr int NutrientTop = ResultTop + RowHeight;
constexpr int NutrientHeight = 15;

const QColor HintColour(0xB0, 0x1C, 0x1C);

QLabel *makeLabel(QWidget *panel, const char *name, const QString &text)
{
    auto *label = new QLabel(text, panel);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

FoodPortionPanel::FoodPortionPanel(QWidget *panel, QWidget *calorieUnit, HouseholdMeasures measures,
                                   QObject *parent)
    : QObject(parent), m_calorieUnit(calorieUnit), m_table(std::move(measures))
{
    m_portionText = makeLabel(panel, "portionText", QString());
    m_portionText->setAccessibleName(QStringLiteral("热量所指份量"));

    m_amountCaption = makeLabel(panel, "amountCaption", QStringLiteral("食用量"));
    m_amountCaption->setGeometry(ColumnLeft, AmountTop, 40, RowHeight);

    m_amount = new QLineEdit(QString::number(PortionCalculator::DefaultGrams), panel);
    m_amount->setObjectName(QStringLiteral("amountField"));
    m_amount->setAccessibleName(QStringLiteral("食用量（克）"));
    m_amount->setMaxLength(8);
    m_amount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_amount->setGeometry(ColumnLeft + 40, AmountTop, 48, RowHeight);
    m_amountCaption->setBuddy(m_amount);

    m_gramUnit = makeLabel(panel, "amountUnit", QStringLiteral("克"));
    m_gramUnit->setGeometry(ColumnLeft + 92, AmountTop, 16, RowHeight);

    m_measures = new QComboBox(panel);
    m_measures->setObjectName(QStringLiteral("measureChoice"));
    m_measures->setAccessibleName(QStringLiteral("家用份量"));
    m_measures->setGeometry(ColumnLeft + 112, AmountTop, ColumnRight - ColumnLeft - 112, RowHeight);

    m_result = makeLabel(panel, "amountResult", QString());
    m_result->setAccessibleName(QStringLiteral("食用量热量"));
    m_result->setGeometry(ColumnLeft, ResultTop, ColumnRight - ColumnLeft, RowHeight);
    QFont small = panel->font();
    small.setPixelSize(10);
    m_per100g = makeLabel(panel, "nutrientsPer100g", QString());
    m_per100g->setAccessibleName(QStringLiteral("每100克的蛋白质、脂肪、碳水"));
    m_forAmount = makeLabel(panel, "nutrientsForAmount", QString());
    m_forAmount->setAccessibleName(QStringLiteral("食用量的蛋白质、脂肪、碳水"));
    for (QLabel *line : {m_per100g, m_forAmount}) {
        line->setFont(small);
        line->setTextFormat(Qt::PlainText);
    }
    m_per100g->setGeometry(ColumnLeft, NutrientTop, ColumnRight - ColumnLeft, NutrientHeight);
    m_forAmount->setGeometry(ColumnLeft, NutrientTop + NutrientHeight, ColumnRight - ColumnLeft, NutrientHeight);

    connect(m_amount, &QLineEdit::textEdited, this, &FoodPortionPanel::amountEdited);
    connect(m_measures, &QComboBox::activated, this, &FoodPortionPanel::measureChosen);
    if (m_calorieUnit)
        m_calorieUnit->installEventFilter(this);
    update();
}

std::optional<double> FoodPortionPanel::kcalPer100g() const
{
    if (!m_kcal || !m_portionGrams)
        return std::nullopt;
    return *m_kcal * 100.0 / *m_portionGrams;
}

std::optional<int> FoodPortionPanel::amountGrams() const
{
    if (!m_kcal || !m_portionGrams)
        return std::nullopt;
    return PortionCalculator::parseAmount(m_amount->text()).grams;
}

std::optional<qint64> FoodPortionPanel::amountKcal() const
{
    const std::optional<int> grams = amountGrams();
    if (!grams)
        return std::nullopt;
    return PortionCalculator::kcalFor(*m_kcal, *m_portionGrams, *grams);
}

void FoodPortionPanel::showFood(const QString &category, const QString &name, const QString &kcal,
                                const QString &portion)
{
    m_category = category;
    m_name = name;
    m_kcal = PortionCalculator::kcalValue(kcal);
    m_portionGrams = PortionCalculator::portionGrams(portion);
    // A figure without a portion says nothing about what it is for.
    m_portionCaption = kcal.trimmed().isEmpty() ? QString() : PortionCalculator::portionCaption(portion);
    placePortionText();
    fillMeasures();
    update();
}

void FoodPortionPanel::fillMeasures()
{
    const QSignalBlocker quiet(m_measures);
    m_measures->clear();
    m_measures->addItem(QStringLiteral("按克数"), 0);
    for (const HouseholdMeasures::Measure &measure : m_table.of(m_category, m_name)) {
        m_measures->addItem(measure.caption(), measure.grams);
        m_measures->setItemData(m_measures->count() - 1, measure.source, Qt::ToolTipRole);
    }
    m_measures->setCurrentIndex(0);
}

void FoodPortionPanel::amountEdited()
{
    // A typed amount that is not the chosen measure's leaves the measure.
    const int measureGrams = m_measures->currentData().toInt();
    const std::optional<int> grams = PortionCalculator::parseAmount(m_amount->text()).grams;
    if (measureGrams != 0 && grams != measureGrams)
        m_measures->setCurrentIndex(0);
    update();
}

void FoodPortionPanel::measureChosen(int index)
{
    const int grams = m_measures->itemData(index).toInt();
    if (grams > 0)
        m_amount->setText(QString::number(grams));
    update();
}

void FoodPortionPanel::update()
{
    const bool calculates = m_kcal && m_portionGrams;
    for (QWidget *control : {static_cast<QWidget *>(m_amountCaption), static_cast<QWidget *>(m_amount),
                             static_cast<QWidget *>(m_gramUnit), static_cast<QWidget *>(m_result)})
        control->setVisible(calculates);
    m_measures->setVisible(calculates && m_measures->count() > 1);

    if (calculates) {
        const PortionCalculator::Amount amount = PortionCalculator::parseAmount(m_amount->text());
        QPalette palette = m_result->palette();
        if (amount.grams) {
            m_result->setText(QStringLiteral("约 %1 大卡")
                                  .arg(PortionCalculator::kcalFor(*m_kcal, *m_portionGrams, *amount.grams)));
            palette.setColor(QPalette::WindowText, m_amountCaption->palette().color(QPalette::WindowText));
        } else {
            m_result->setText(amount.problem);
            palette.setColor(QPalette::WindowText, HintColour);
        }
        m_result->setPalette(palette);
    } else {
        m_result->clear();
    }
    // Read out by a screen reader, the figure or the problem alike.
    m_result->setAccessibleDescription(m_result->text());
    showNutrients();
    emit changed();
}

void FoodPortionPanel::showNutrients()
{
    const bool shown = !m_name.isEmpty() && m_kcal && m_portionGrams;
    m_per100g->setVisible(shown);
    const std::optional<int> grams = shown ? amountGrams() : std::nullopt;
    m_forAmount->setVisible(shown && grams);
    if (!shown)
        return;
    const std::optional<Nutrients> per100g = m_nutrients.of(m_category, m_name);
    // The narrow form on screen (cut short only if a font draws it wider than the column); the
    // whole sentence, with a unit to each figure, in the tooltip and for a screen reader.
    const auto show = [](QLabel *line, const QString &narrow, const QString &whole) {
        line->setText(line->fontMetrics().elidedText(narrow, Qt::ElideRight, line->width()));
        line->setToolTip(whole);
        line->setAccessibleDescription(whole);
    };
    show(m_per100g, QStringLiteral("每100克：") + Nutrients::describeShort(per100g),
         QStringLiteral("每100克：") + Nutrients::describe(per100g));
    if (grams) {
        const std::optional<Nutrients> amount =
            per100g ? std::optional<Nutrients>(per100g->times(*grams)) : std::nullopt;
        show(m_forAmount, QStringLiteral("%1克：").arg(*grams) + Nutrients::describeShort(amount),
             QStringLiteral("%1克：").arg(*grams) + Nutrients::describe(amount));
    }
}

// The portion text stands right after the unit of the calorie figure, which
// moves as the figure grows.
void FoodPortionPanel::placePortionText()
{
    if (!m_calorieUnit)
        return;
    const QRect unit = m_calorieUnit->geometry();
    const int left = unit.right() + 1 + 6;
    const int width = std::max(0, ColumnRight - left);
    m_portionText->setGeometry(left, unit.top(), width, unit.height());
    // A long portion text is cut short rather than run past the panel.
    m_portionText->setText(m_portionText->fontMetrics().elidedText(m_portionCaption, Qt::ElideRight, width));
    m_portionText->setToolTip(m_portionCaption);
}

bool FoodPortionPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_calorieUnit && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placePortionText();
    return QObject::eventFilter(watched, event);
}
