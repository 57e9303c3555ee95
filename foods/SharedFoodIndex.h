// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/FoodSearchIndex.h"

#include <QString>
#include <memory>

// The foods of data.mdb, read and indexed once for every search of the window (the calorie
// panel's and the food log's). Read on first use; read again after forget() (the file was
// replaced by a restore) and after a read that failed, so a passing problem does not last.
class SharedFoodIndex
{
public:
    explicit SharedFoodIndex(QString databasePath);

    // The index, read now if need be. Throws DataError when the foods cannot be read.
    std::shared_ptr<const FoodSearchIndex> index();
    // The file's foods changed: the next index() reads them again.
    void forget();
    // How many times the foods were read, for tests and benchmarks.
    int reads() const { return m_reads; }

private:
    QString m_databasePath;
    std::shared_ptr<const FoodSearchIndex> m_index;
    int m_reads = 0;
};
