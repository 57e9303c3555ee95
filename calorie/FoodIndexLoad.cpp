#include "FoodIndexLoad.h"

#include "DataError.h"
#include "Database.h"
#include "FoodTables.h"
#include "ReadSnapshot.h"
#include "Recordset.h"

#include <QThread>

namespace {

const QString FoodTable = QStringLiteral("01");

} // namespace

FoodIndexLoad::FoodIndexLoad(std::unique_ptr<Database> db, const QStringList &categories)
    : m_categories(categories), m_db(std::move(db))
{
    try {
        if (!m_db)
            throw DataError(QStringLiteral("数据库连接已关闭。"));
        m_snapshot = std::make_unique<ReadSnapshot>(*m_db);
        // Opening the cursor reads its first rows: from here on the file stays as it is for us.
        m_foods = m_db->OpenRecordset(FoodTable);
    } catch (const std::exception &) {
        // No file or no food table: the categories stay without foods.
        m_foods.reset();
        m_snapshot.reset();
        m_db.reset();
        m_index = FoodIndex::Builder(int(categories.size())).finish();
        return;
    }
    m_thread.reset(QThread::create([this] { read(); }));
    m_thread->start();
}

FoodIndexLoad::~FoodIndexLoad()
{
    m_stop = true;
    startNow();
    if (m_thread)
        m_thread->wait();
}

void FoodIndexLoad::startNow()
{
    {
        const std::lock_guard<std::mutex> lock(m_startMutex);
        m_start = true;
    }
    m_startSignal.notify_one();
}

void FoodIndexLoad::read()
{
    {
        std::unique_lock<std::mutex> lock(m_startMutex);
        m_startSignal.wait_for(lock, StartDelay, [this] { return m_start; });
    }
    try {
        if (!m_stop)
            m_index = FoodTables::readFoodIndex(*m_foods, m_categories, m_stop);
    } catch (const std::exception &) {
        // Out of memory: no foods rather than the end of the program.
        m_index = FoodIndex::Builder(int(m_categories.size())).finish();
    }
    // Ends the read transaction at once, so that writers need not wait.
    m_foods.reset();
    m_snapshot.reset();
    m_db.reset();
}

FoodIndex FoodIndexLoad::take()
{
    startNow();
    if (m_thread)
        m_thread->wait();
    return std::move(m_index);
}
