// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercise/Activity.h"
#include "foods/FoodSearchIndex.h"

#include <QList>
#include <QVector>
#include <memory>
#include <optional>

// An activity a search found, with the other name it matched by, when its own name did not.
struct ActivityMatch
{
    Activity activity;
    QString matchedAlias;
};

// Finds activities the way the food search finds foods (the same engine: characters, pinyin,
// initials, other names, fuzzy sounds, one typo), the user's recent ones first among equals.
class ActivitySearch
{
public:
    ActivitySearch();
    explicit ActivitySearch(QVector<Activity> activities, FoodSearchOptions options = FoodSearchOptions());

    const QVector<Activity> &activities() const { return m_activities; }

    // At most `limit` activities for what the user typed, best first.
    QList<ActivityMatch> match(const QString &query, int limit = FoodSearchIndex::DefaultLimit) const;
    // The activity whose name or other name is exactly this text.
    std::optional<Activity> find(const QString &name) const;
    // Whether a name or other name of any activity is exactly this text.
    bool isKnownName(const QString &name) const;

    // The activities the user logged (names, most recent first): first among equal matches, and
    // listed alone for an empty search.
    void setPreferred(const QStringList &names);
    QList<Activity> preferred(int limit) const;

private:
    QVector<Activity> m_activities;
    std::shared_ptr<const FoodSearchIndex> m_index;
    FoodSearchOptions m_options;
};
