#pragma once

#include "FoodIndex.h"

#include <QStringList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

class Database;
class QThread;
class ReadSnapshot;
class Recordset;

// Reads the food table into a FoodIndex on a thread of its own, so that the
// window can show itself first; the tree is hidden at start and needs the foods
// only once it is opened.
//
// The constructor opens the table in a read transaction before it returns: the
// foods are those the file held at that moment, exactly as if they had all
// been read there and then, even if another program changes the table before
// the read ends (its commit waits for the read). The read itself begins when
// startNow() or take() is called, or after StartDelay at the latest, so that it
// takes no processor time from the window's first frame and holds up no writer
// for long. A food table that cannot be opened or read gives no foods.
class FoodIndexLoad
{
public:
    static constexpr std::chrono::milliseconds StartDelay{100};

    // Takes over the connection `db` (it may be null: no foods). `categories`:
    // the distinct category names the foods are filed under.
    FoodIndexLoad(std::unique_ptr<Database> db, const QStringList &categories);
    // Stops the read early if it is still going, and waits for its thread.
    ~FoodIndexLoad();
    FoodIndexLoad(const FoodIndexLoad &) = delete;
    FoodIndexLoad &operator=(const FoodIndexLoad &) = delete;

    // Lets the read begin at once.
    void startNow();
    // The foods; begins the read if it has not begun, and waits for it. Once only.
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
    std::mutex m_startMutex;
    std::condition_variable m_startSignal;
    bool m_start = false; // guarded by m_startMutex
    std::unique_ptr<QThread> m_thread;
};
