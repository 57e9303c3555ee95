#include "Recipe.h"

#include "Database.h"
#include "Recordset.h"

Recipe::Recipe(QString databasePath, RecipeControls controls)
    : m_databasePath(std::move(databasePath)), m_controls(std::move(controls))
{
}

Recipe::~Recipe() = default;

void Recipe::BuildFoodTree()
{
}

void Recipe::ShowFoodInfo(const QString &, const QString &)
{
}

void Recipe::TvNodeClick(QTreeWidgetItem *)
{
}
