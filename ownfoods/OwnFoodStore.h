// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/OwnFood.h"

#include <QVector>
#include <functional>
#include <optional>

class LogSchema;

// Writes the user's own foods and home recipes (custom_food, custom_food_part) through the log's
// one upgrade (LogSchema); OwnFoods::read reads them. A food and its parts are written in one
// transaction. Past log entries are never touched: they keep the name and kcal they were logged
// with. Every failure is a DataError with a Chinese message.
class OwnFoodStore
{
public:
    explicit OwnFoodStore(LogSchema &schema);

    QVector<OwnFood> foods() const;
    // Adds the food and returns its id. A name that is taken throws.
    qint64 add(const OwnFood &food);
    // Replaces the food of food.id, its parts with it.
    void update(const OwnFood &food);
    void remove(qint64 id);
    // Adds the foods in one transaction; one whose name is taken replaces the own food of that
    // name when `replaceTaken`, and is left out otherwise. Returns how many were written.
    // `goOn` is told how many foods are done after each; when it answers false, nothing is
    // written and the result is nothing.
    using Progress = std::function<bool(qint64 done)>;
    std::optional<int> importFoods(const QVector<OwnFood> &foods, bool replaceTaken, const Progress &goOn = {});

private:
    void insert(const OwnFood &food, qint64 id);
    void removeWithin(qint64 id);
    // The id of the own food of this name, or 0.
    qint64 idOf(const QString &name) const;

    LogSchema &m_schema;
};
