// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/FoodPicker.h"

#include "foodlog/LogCalendar.h"
#include "widgets/AmountHint.h"
#include "widgets/AmountSpinBox.h"
#include "widgets/SearchCompletion.h"
#include "widgets/ClearButton.h"
#include "widgets/ReturnClicks.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>

namespace {

constexpr int RecentShown = 10; // foods listed when the search field is entered empty

} // namespace

FoodPicker::FoodPicker(QWidget *parent, HouseholdMeasures measures)
    : QWidget(parent), m_measureTable(std::move(measures))
{
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("logSearch"));
    m_search->setAccessibleName(QStringLiteral("搜索要记录的食物"));
    m_search->setPlaceholderText(QStringLiteral("搜索食物"));
    enableNamedClearButton(m_search);

    const auto rowsOf = [](const QList<FoodChoice> &found) {
        QList<SearchCompletion::Row> rows;
        // Beside the name, the other name it was found by ("土豆 · 马铃薯").
        for (const FoodChoice &food : found)
            rows.append({food.fieldText(), food.matchedAlias});
        return rows;
    };
    m_completion = new SearchCompletion(
        m_search, QStringLiteral("logSearchResults"),
        [this, rowsOf](const QString &typed) {
            // Nothing typed yet: the foods eaten most recently, one keystroke away.
            if (typed.trimmed().isEmpty())
                return rowsOf(m_foods.preferred(RecentShown));
            // A category the text names wholly comes first, as in the calorie panel.
            QList<SearchCompletion::Row> rows;
            for (const QString &category : m_foods.categories(typed))
                rows.append({category, QString(), true});
            return rows + rowsOf(m_foods.match(typed));
        },
        [this, rowsOf](const QString &category) { return rowsOf(m_foods.inCategory(category)); });
    connect(m_completion, &SearchCompletion::chosen, this, &FoodPicker::addRequested);

    m_grams = new AmountSpinBox(AmountText::Grams, this);
    m_grams->setObjectName(QStringLiteral("logGrams"));
    m_grams->setAccessibleName(QStringLiteral("食用量（克）"));
    m_grams->setValue(100);
    m_gramsHint = new AmountHint(m_grams, QStringLiteral("食用量的提示"), this);
    m_gramsHint->setObjectName(QStringLiteral("logGramsHint"));

    m_measures = new QComboBox(this);
    m_measures->setObjectName(QStringLiteral("logMeasure"));
    m_measures->setAccessibleName(QStringLiteral("家用份量"));
    m_measures->hide();
    connect(m_search, &QLineEdit::textChanged, this, &FoodPicker::offerMeasures);
    connect(m_measures, &QComboBox::activated, this, [this](int index) {
        const int grams = m_measures->itemData(index).toInt();
        if (grams > 0)
            m_grams->setValue(grams);
    });
    // Grams typed that are not the chosen measure's: the list says 按克数 again, as in the
    // calorie panel, so it never shows a measure the amount no longer is.
    connect(m_grams, &AmountSpinBox::valueChanged, this, [this](double grams) {
        const int chosen = m_measures->currentData().toInt();
        if (chosen > 0 && chosen != qRound(grams))
            m_measures->setCurrentIndex(0);
    });

    m_meal = new QComboBox(this);
    m_meal->setObjectName(QStringLiteral("logMeal"));
    m_meal->setAccessibleName(QStringLiteral("餐次"));
    for (int meal = 0; meal < LogCalendar::MealCount; ++meal)
        m_meal->addItem(LogCalendar::mealName(meal));

    m_add = new QPushButton(QStringLiteral("添加"), this);
    m_add->setObjectName(QStringLiteral("logAdd"));
    m_add->setAccessibleName(QStringLiteral("添加到当天"));
    connect(m_add, &QPushButton::clicked, this, &FoodPicker::addRequested);
    new ReturnClicks(m_add, m_add); // Return on the focused button presses it
    // Return in the grams field, on the measure or on the meal list adds, as in the search field.
    new ReturnClicks(m_grams, m_add);
    new ReturnClicks(m_meal, m_add);
    new ReturnClicks(m_measures, m_add);
    // Return in the field adds once a food is chosen (the popup takes Return while open).
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        if (!m_completion->isOpen() && chosenFood())
            emit addRequested();
    });

    m_quickAdd = new QPushButton(QStringLiteral("快速记录…"), this);
    m_quickAdd->setObjectName(QStringLiteral("quickAdd"));
    m_quickAdd->setAccessibleName(QStringLiteral("快速记录"));
    m_quickAdd->setToolTip(QStringLiteral("不选食物，直接记下热量（例如同事的生日蛋糕）"));
    connect(m_quickAdd, &QPushButton::clicked, this, &FoodPicker::quickAddRequested);

    // One line, in the order they are filled in, so that the day's entries below have room.
    m_search->setMinimumWidth(m_search->fontMetrics().horizontalAdvance(QStringLiteral("搜索食物搜索食物")));
    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(3);
    auto *row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(m_search, 1);
    row->addWidget(m_grams);
    row->addWidget(m_measures);
    row->addWidget(m_meal);
    row->addWidget(m_add);
    rows->addLayout(row);
    rows->addWidget(m_gramsHint);
    // 快速记录… is placed by the view (beside the page tabs); in the Tab order it follows 添加.
    QWidget::setTabOrder(m_search, m_grams);
    QWidget::setTabOrder(m_grams, m_measures);
    QWidget::setTabOrder(m_measures, m_meal);
    QWidget::setTabOrder(m_meal, m_add);
    QWidget::setTabOrder(m_add, m_quickAdd);
}

void FoodPicker::setFoods(FoodChoices foods)
{
    m_foods = std::move(foods);
}

void FoodPicker::setPreferredFoods(const QStringList &names)
{
    m_foods.setPreferredFoods(names);
}

// The chosen food's household measures, if it has any; the grams stay as typed
// until one is picked.
void FoodPicker::offerMeasures()
{
    const std::optional<FoodChoice> food = chosenFood();
    const QVector<HouseholdMeasures::Measure> measures =
        food ? m_measureTable.of(food->category, food->name) : QVector<HouseholdMeasures::Measure>();
    m_measures->clear();
    m_measures->addItem(QStringLiteral("按克数"), 0);
    for (const HouseholdMeasures::Measure &m : measures)
        m_measures->addItem(m.caption(), m.grams);
    m_measures->setVisible(!measures.isEmpty());
}

void FoodPicker::setMeal(int meal)
{
    m_meal->setCurrentIndex(meal);
}

int FoodPicker::meal() const
{
    return m_meal->currentIndex();
}

int FoodPicker::grams() const
{
    return int(m_grams->value());
}

std::optional<int> FoodPicker::enteredGrams()
{
    const std::optional<double> grams = m_gramsHint->takeAmount();
    return grams ? std::optional<int>(int(*grams)) : std::nullopt;
}

std::optional<FoodChoice> FoodPicker::chosenFood() const
{
    return m_foods.find(m_search->text());
}

void FoodPicker::clearChoice()
{
    m_completion->clear();
    m_search->setFocus();
}
