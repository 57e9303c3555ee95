// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/FoodLogSection.h"
#include "datafile/DataLayout.h"

#include "db/DataReplaced.h"
#include "db/Database.h"
#include "db/DataError.h"
#include "foods/OwnFood.h"
#include "widgets/MessageBox.h"

#include <utility>

FoodLogSection::FoodLogSection(Database &db, QWidget *window, QList<QWidget *> replaced, QRect area,
                               Clock clock, FoodSource foods)
    : m_db(db), m_window(window), m_replaced(std::move(replaced)), m_area(area),
      m_clock(std::move(clock)), m_foods(std::move(foods))
{
    if (!m_foods)
        m_foods = [path = m_db.path()] { return FoodChoices::read(path); };
}

FoodChoices FoodLogSection::foods()
{
    try {
        FoodChoices foods = m_foods();
        m_foodsFailed = false;
        return foods; // the view puts the user's own foods first at each refresh
    } catch (const DataError &error) {
        // The log still works for weights and the days already logged; the next entry tries
        // again, and says so only if it had worked in between.
        if (!m_foodsFailed)
            MessageBox::information(m_window, QStringLiteral("饮食记录"),
                                    QStringLiteral("无法读取食物表，暂时不能添加食物：") + error.message());
        m_foodsFailed = true;
        return FoodChoices();
    }
}

HouseholdMeasures FoodLogSection::currentMeasures()
{
    try {
        return HouseholdMeasures::builtIn().withOwn(OwnFoods::read(m_db));
    } catch (const DataError &) {
        return HouseholdMeasures::builtIn();
    }
}

FoodLogSection::~FoodLogSection()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_following))
        QObject::disconnect(connection);
    // The view reads and writes through the store: it goes first, not later with the window's
    // other children, after the store it refers to is gone.
    delete m_view.data();
}

FoodLogStore &FoodLogSection::store()
{
    if (!m_store)
        m_store = std::make_unique<FoodLogStore>(m_db, DataLayout::layout(), m_clock);
    return *m_store;
}

void FoodLogSection::enter()
{
    if (!m_view) {
        m_view = new FoodLogView(store(), foods(), m_clock, m_window);
        m_view->setGeometry(m_area);
        m_view->setMeasures(currentMeasures());
        if (m_viewMade)
            m_viewMade(*m_view);
    } else if (!m_shown) {
        m_view->setFoods(foods()); // a restore may have brought other foods
        m_view->refresh(); // another program, or 记一笔, may have logged since
    }
    if (!m_shown) {
        m_wasVisible.clear();
        for (QWidget *control : std::as_const(m_replaced)) {
            m_wasVisible.insert(control, control->isVisible());
            control->hide();
        }
    }
    m_shown = true;
    m_view->raise();
    m_view->show();
}

QStringList FoodLogSection::recentFoods(int limit)
{
    try {
        return store().recentFoods(limit);
    } catch (const DataError &) {
        return {}; // the searches work on without the user's own order
    }
}

void FoodLogSection::follow(DataReplaced &replaced)
{
    // The log covers the notebook's controls while it is on show: it lets them come back before
    // the notebook reloads, and covers them again once every feature has read the file afresh.
    m_following << QObject::connect(&replaced, &DataReplaced::stepAside, &replaced, [this](DataReplaced::Part part) {
        if (part != DataReplaced::Part::WholeFile)
            return;
        m_returnAfterReplace = m_shown;
        leave();
    });
    m_following << QObject::connect(&replaced, &DataReplaced::replaced, &replaced, [this](DataReplaced::Part part) {
        if (part == DataReplaced::Part::OwnFoods) {
            ownFoodsChanged();
            return;
        }
        if (m_store)
            m_store->forgetTables();
    });
    m_following << QObject::connect(&replaced, &DataReplaced::settled, &replaced, [this] {
        if (std::exchange(m_returnAfterReplace, false))
            enter();
    });
}

void FoodLogSection::leave()
{
    if (!m_shown)
        return;
    m_shown = false;
    m_view->hide();
    for (auto it = m_wasVisible.cbegin(); it != m_wasVisible.cend(); ++it)
        it.key()->setVisible(it.value());
}

bool FoodLogSection::logToday(const FoodChoice &food, double grams)
{
    if (m_view)
        return m_view->logToday(food, grams);
    try {
        store().addEntry(FoodLogView::todaysEntry(food, grams, m_clock.now()));
        return true;
    } catch (const DataError &error) {
        MessageBox::information(m_window, QStringLiteral("饮食记录"), error.message());
        return false;
    }
}

void FoodLogSection::focusSearch()
{
    if (m_view && m_shown)
        m_view->focusSearch();
}

void FoodLogSection::ownFoodsChanged()
{
    if (m_view) {
        m_view->setFoods(foods());
        m_view->setMeasures(currentMeasures());
    }
}
