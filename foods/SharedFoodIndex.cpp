// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/SharedFoodIndex.h"

#include "foods/FoodCatalog.h"

SharedFoodIndex::SharedFoodIndex(QString databasePath) : m_databasePath(std::move(databasePath)) {}

std::shared_ptr<const FoodSearchIndex> SharedFoodIndex::index()
{
    if (!m_index) {
        ++m_reads;
        m_index = std::make_shared<const FoodSearchIndex>(FoodCatalog::read(m_databasePath));
    }
    return m_index;
}

void SharedFoodIndex::forget()
{
    m_index.reset();
}
