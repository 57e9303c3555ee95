// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/FoodPicker.h"

#include "foodlog/LogCalendar.h"
#include "foodlog/ui/AmountHint.h"
#include "foodlog/ui/AmountSpinBox.h"
#include "widgets/ClearButton.h"
#include "widgets/ReturnClicks.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <QKeyEvent>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTimer>
#include <QStandardItemModel>

namespace {

constexpr int FoodNameRole = Qt::UserRole + 1;
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

    m_matches = new QStandardItemModel(this);
    m_completer = new QCompleter(m_matches, this);
    m_completer->setCompletionRole(FoodNameRole); // the field takes the name, not the line shown
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setMaxVisibleItems(8);
    m_completer->popup()->setObjectName(QStringLiteral("logSearchResults"));
    m_completer->popup()->setAccessibleName(QStringLiteral("搜索结果"));
    m_search->setCompleter(m_completer);
    connect(m_search, &QLineEdit::textEdited, this, &FoodPicker::updateMatches);
    // After the completer's own filters, so these keys are seen first.
    m_completer->popup()->installEventFilter(this);
    m_search->installEventFilter(this);

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
    // Return in the grams field or on the meal list adds, as in the search field.
    new ReturnClicks(m_grams, m_add);
    new ReturnClicks(m_meal, m_add);
    // Return in the field adds once a food is chosen (the popup takes Return while open).
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        if (!m_completer->popup()->isVisible() && chosenFood())
            emit addRequested();
    });

    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(3);
    rows->addWidget(m_search);
    auto *row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(m_grams);
    row->addWidget(m_measures);
    row->addWidget(m_meal);
    row->addStretch(1);
    row->addWidget(m_add);
    rows->addLayout(row);
    rows->addWidget(m_gramsHint);
}

void FoodPicker::setFoods(FoodChoices foods)
{
    m_foods = std::move(foods);
}

void FoodPicker::setPreferredFoods(const QStringList &names)
{
    m_foods.setPreferredFoods(names);
}

void FoodPicker::updateMatches(const QString &text)
{
    m_matches->clear();
    // Nothing typed yet: the foods eaten most recently, one keystroke away.
    const QList<FoodChoice> found = text.trimmed().isEmpty() ? m_foods.preferred(RecentShown) : m_foods.match(text);
    for (const FoodChoice &food : found) {
        auto *item = new QStandardItem(food.matchedAlias.isEmpty()
                                           ? food.name
                                           : QStringLiteral("%1 · %2").arg(food.name, food.matchedAlias));
        item->setData(food.name, FoodNameRole);
        item->setEditable(false);
        m_matches->appendRow(item);
    }
    if (m_matches->rowCount() == 0)
        return;
    if (text.trimmed().isEmpty()) {
        // A list to pick from, nothing highlighted, so Return adds nothing by chance; opened
        // after the field is done with the key, as it closes the list when it empties.
        QTimer::singleShot(0, this, [this] {
            if (m_search->isVisible() && m_search->text().trimmed().isEmpty() && m_matches->rowCount() > 0)
                m_completer->complete();
        });
        return;
    }
    m_completer->complete();
    // The best match highlighted: Return takes it. After the line edit has handed the key to
    // the completer (which resets its list), and quietly, as the completer would otherwise
    // write a highlighted result into the field while the user is still typing.
    QTimer::singleShot(0, this, [this] {
        QAbstractItemView *popup = m_completer->popup();
        if (!popup->isVisible() || !popup->model() || popup->model()->rowCount() == 0)
            return;
        {
            const QSignalBlocker quiet(popup->selectionModel());
            popup->selectionModel()->setCurrentIndex(popup->model()->index(0, 0),
                                                     QItemSelectionModel::ClearAndSelect);
        }
        popup->viewport()->update();
    });
}

bool FoodPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::FocusIn && m_search->text().isEmpty()) {
        updateMatches(QString());
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    QAbstractItemView *popup = m_completer->popup();
    if (watched == popup && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        const QModelIndex current = popup->currentIndex();
        if (!current.isValid())
            return false;
        m_search->setText(current.data(FoodNameRole).toString());
        popup->hide();
        emit addRequested();
        return true;
    }
    if (watched == m_search && key == Qt::Key_Escape && !popup->isVisible() && !m_search->text().isEmpty()) {
        m_search->clear();
        m_matches->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
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
    m_search->clear();
    m_matches->clear();
    m_search->setFocus();
}
