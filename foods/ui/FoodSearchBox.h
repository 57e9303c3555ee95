// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/FoodSearchIndex.h"

#include <QObject>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class QLineEdit;
class QListWidget;
class QPushButton;
class QListWidgetItem;
class QWidget;

// The search of the calorie panel: a field, and under it the foods that match
// what is typed, best first, updated at each keystroke. Up and Down move
// through the results from the field, Return or a click chooses one, Escape
// clears the field and hides the list. A query that finds nothing says so.
//
// The foods are read and indexed once: right after the panel is first shown,
// or at the first keystroke if that comes sooner; never while the window starts.
class FoodSearchBox : public QObject
{
    Q_OBJECT

public:
    using FoodReader = std::function<std::shared_ptr<const FoodSearchIndex>()>;

    // `readFoods` gives the indexed foods to search (shared with the window's other
    // searches). When it throws, the list says the foods cannot be searched and why,
    // and the next keystroke tries again.
    FoodSearchBox(QWidget *panel, FoodReader readFoods, QObject *parent = nullptr);
    // A reader that indexes the foods `readFoods` gives, for a search of its own.
    static FoodReader indexing(std::function<QVector<SearchableFood>()> readFoods);

    // Reads and indexes the foods unless done already.
    void prepare();
    // The foods changed (the file was replaced): the next search reads them
    // again; the field and the list are cleared.
    void forgetFoods();
    // Puts the keyboard focus in the field, its text selected.
    void focusField();
    // How what is typed is read (the fuzzy sounds on or off); the list follows at once.
    void setSearchOptions(FoodSearchIndex::Options options);
    // Where the user's own foods come from (names, most wanted first), asked each time the field
    // is entered: listed first among equal matches, and alone while nothing is typed.
    void setPreferredFoods(std::function<QStringList()> preferred);

    // The index, made on first use; other searches of the window share it.
    const FoodSearchIndex &index();

    QLineEdit *field() const { return m_field; }
    QListWidget *results() const { return m_results; }
    QPushButton *addOwnFoodButton() const { return m_addOwnFood; }

signals:
    // A food was chosen: its category and the row of the food table the tree shows for it.
    void foodChosen(const QString &category, qint64 rowId);
    // A category was chosen ("水果（分类）"): it is to be opened in the tree.
    void categoryChosen(const QString &category);
    // 添加自定义食物 was pressed; `typed` is the query that found nothing, if it found nothing.
    void ownFoodAsked(const QString &typed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showResults();
    void showPreferred();
    // Shows the results, eight rows high, upwards from the field.
    void openResults();
    void moveCurrent(int step);
    void choose(QListWidgetItem *item);
    void clear();
    // A result's line; `foundBy` (the other name that matched) after the name.
    static QString resultText(const SearchableFood &food, const QString &foundBy);

    QWidget *m_panel;
    FoodReader m_readFoods;
    std::shared_ptr<const FoodSearchIndex> m_index;
    QString m_readProblem; // why the foods could not be read, in Chinese
    FoodSearchIndex::Options m_options;
    std::function<QStringList()> m_preferred;
    QLineEdit *m_field;
    QListWidget *m_results;
    QPushButton *m_addOwnFood;
};
