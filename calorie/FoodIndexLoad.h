#pragma once

#include "FoodIndex.h"

#include <QStringList>
#include <atomic>
#include <memory>

class Database;
class QString;
class QThread;
class ReadSnapshot;
class Recordset;

// Reads the food table into a FoodIndex on a thread of its own, so that the
// window can show itself meanwhile; the tree is hidden at start and needs the
// foods only once it is opened.
//
// The constructor opens the table in a read transaction before it returns: the
// foods are those the file held at that moment, exactly as if they had all
// been read there and then, even if another program changes the table before
// the read ends (its commit waits for the read, some milliseconds). A food
// table that cannot be opened or read gives no foods.
class FoodIndexLoad
{
public:
    // `categories`: the distinct category names the foods are filed under.
    FoodIndexLoad(const QString &databasePath, const QStringList &categories);
    // Stops the read early if it is still going, and waits for its thread.
    ~FoodIndexLoad();
    FoodIndexLoad(const FoodIndexLoad &) = delete;
    FoodIndexLoad &operator=(const FoodIndexLoad &) = delete;

    // The foods; waits for the read to end. Once only.
    FoodIndex take();

private:
    void read();

    QStringList m_categories;
    // Opened here, then used by the reading thread alone until it ends.
    std::unique_ptr<Database> m_db;
    std::unique_ptr<ReadSnapshot> m_snapshot;
    std::unique_ptr<Recordset> m_foods;
    FoodIndex m_index;
    std::atomic<bool> m_stop{false};
    std::unique_ptr<QThread> m_thread;
};
