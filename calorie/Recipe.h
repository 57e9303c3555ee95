#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

class Database;
class Recordset;
class QLabel;
class QLineEdit;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The window's controls that the calorie lookup reads and fills.
struct RecipeControls
{
    QListWidget *List1 = nullptr;  // hidden scratch list of category names
    QTreeWidget *Tv = nullptr;     // the food tree
    QList<QIcon> Im2;              // the tree's six node images, numbered from 1
    QLineEdit *Text1 = nullptr;    // takes the focus after the build
    QLineEdit *Text3 = nullptr;    // name of the food on show
    QLabel *Label3 = nullptr;      // calorie text of the food on show
};

// The calorie lookup: builds the food tree from tables 02 and 01 and shows the
// food that is clicked.
class Recipe
{
public:
    Recipe(QString databasePath, RecipeControls controls);
    ~Recipe();

    // Fills Tv and List1. Throws DataError when the file or table 02 cannot be
    // opened; later failures leave the part that failed out of the tree.
    void BuildFoodTree();

    // Looks the food up in table 01 and fills Text3 and Label3; never throws.
    void ShowFoodInfo(const QString &category, const QString &food);

    // The node click handler of Tv (also run when the keyboard moves the selection).
    void TvNodeClick(QTreeWidgetItem *node);

    QString gFood;
    QString gCategory;

private:
    QString m_databasePath;
    RecipeControls m_controls;
    std::unique_ptr<Database> gDb;
    std::unique_ptr<Recordset> gRs;
    void lookUpFood(const QString &category, const QString &food, std::optional<qint64> rowHint);
    void showFood(const QString &calories, const QString &name);
};
