// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/ActivitySearch.h"

namespace {

QVector<SearchableFood> searchable(const QVector<Activity> &activities)
{
    QVector<SearchableFood> items;
    items.reserve(activities.size());
    for (int i = 0; i < activities.size(); ++i) {
        const Activity &a = activities.at(i);
        SearchableFood item;
        item.category = a.category;
        item.name = a.name;
        item.aliases = a.aliases;
        item.rowId = i; // the index lists in its own order; this leads back to the activity
        items.append(item);
    }
    return items;
}

} // namespace

ActivitySearch::ActivitySearch() : m_index(std::make_shared<FoodSearchIndex>()) {}

ActivitySearch::ActivitySearch(QVector<Activity> activities, FoodSearchOptions options)
    : m_activities(std::move(activities)),
      m_index(std::make_shared<FoodSearchIndex>(searchable(m_activities))),
      m_options(std::move(options))
{
}

QList<ActivityMatch> ActivitySearch::match(const QString &query, int limit) const
{
    QList<ActivityMatch> found;
    for (const FoodSearchHit &hit : m_index->search(query, limit, m_options))
        found.append({m_activities.at(int(m_index->foods().at(hit.food).rowId)), hit.alias});
    return found;
}

std::optional<Activity> ActivitySearch::find(const QString &name) const
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return std::nullopt;
    for (const Activity &activity : m_activities) {
        if (activity.name == wanted || activity.aliases.contains(wanted))
            return activity;
    }
    return std::nullopt;
}

bool ActivitySearch::isKnownName(const QString &name) const
{
    return find(name).has_value();
}

void ActivitySearch::setPreferred(const QStringList &names)
{
    m_options.preferredFoods = names;
}

QList<Activity> ActivitySearch::preferred(int limit) const
{
    QList<Activity> found;
    for (int item : m_index->foodsNamed(m_options.preferredFoods)) {
        found.append(m_activities.at(int(m_index->foods().at(item).rowId)));
        if (found.size() == limit)
            break;
    }
    return found;
}
