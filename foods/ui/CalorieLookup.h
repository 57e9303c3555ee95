// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>
#include <QVector>
#include <memory>
#include <optional>

class Database;
struct OwnFood;
class FoodIndex;
class FoodTreeModel;
class Recordset;
class QLabel;
class QLineEdit;
class QListWidget;
class QModelIndex;
class QTreeView;

// The window's controls that the calorie lookup reads and fills.
struct CalorieLookupControls
{
    QListWidget *categoryList = nullptr;  // hidden scratch list of category names
    QTreeView *foodTree = nullptr;       // the food tree
    QList<QIcon> treeIcons;              // the tree's six node images, numbered from 1
    QLineEdit *titleView = nullptr;    // takes the focus after the build
    QLineEdit *foodNameBox = nullptr;    // name of the food on show
    QLabel *kcalFigure = nullptr;      // calorie text of the food on show
};

// The calorie lookup: builds the food tree from tables 02 and 01 and shows the
// food that is clicked, or reached with the keyboard: one lookup per action.
class CalorieLookup : public QObject
{
    Q_OBJECT

public:
    CalorieLookup(QString databasePath, CalorieLookupControls controls, QObject *parent = nullptr);
    ~CalorieLookup() override;

    // Fills foodTree and categoryList, and from then on answers clicks and keyboard moves in
    // foodTree. Throws DataError when the file or table 02 cannot be opened; later
    // failures leave the part that failed out of the tree. The categories are
    // read here; the foods when the tree first needs them (it is hidden at
    // start), in one pass, and they stay as read until the next build.
    void buildFoodTree();

    // Looks the food up in table 01 and fills foodNameBox and kcalFigure; never throws.
    void showFoodInfo(const QString &category, const QString &food);

    // The node click handler of foodTree.
    void onTreeNodeClicked(const QModelIndex &node);

    // Shows a food as a click on its node does: opens its category, selects the
    // node, scrolls it into view and shows the food. `rowId` is the food's row
    // in table 01; a row the tree does not list changes nothing.
    void revealFood(const QString &category, qint64 rowId);
    // Opens the category in the tree and makes it current, as a click on it does.
    void revealCategory(const QString &category);

    // The user's own food on show, by name; empty when the food on show is a shipped one.
    const QString &ownFoodOnShow() const { return m_ownFoodOnShow; }

    // The last food click's food and category, trimmed; empty before the first.
    const QString &lastFood() const { return m_food; }
    const QString &lastCategory() const { return m_category; }

signals:
    // The tree was built (again) from the file: the foods may have changed.
    void foodTreeBuilt();
    // Each lookup of a food in table 01, found or not.
    void foodLookedUp(const QString &category, const QString &food);
    // A food was found and shown: its category and name, its calorie text and
    // what that figure is for (the row's portion, "100克"), both trimmed.
    void foodShown(const QString &category, const QString &food, const QString &kcal,
                   const QString &portion);
    // 修改自定义食物… was chosen on an own food's node (right click): the food by name.
    void ownFoodEditAsked(const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void attachModel();
    FoodIndex readFoods(const QStringList &categories) const;
    void lookUpFood(const QString &category, const QString &food, std::optional<qint64> rowHint);
    void showFood(const QString &calories, const QString &name);
    // An own food (its rows in the tree have negative ids) from custom_food.
    void showOwnFood(const QString &category, qint64 id);
    // The user's own foods; none when they cannot be read.
    QVector<OwnFood> readOwnFoods() const;

    QString m_databasePath;
    QString m_food;
    QString m_category;
    QString m_ownFoodOnShow;
    CalorieLookupControls m_controls;
    FoodTreeModel *m_model = nullptr;
    std::unique_ptr<Database> m_database;
    std::unique_ptr<Recordset> m_records;
    // A press that makes another node current shows it at once; its click then
    // shows nothing more.
    bool m_currentChangedSincePress = false;
};
