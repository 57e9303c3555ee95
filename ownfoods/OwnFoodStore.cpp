// SPDX-License-Identifier: GPL-3.0-or-later
#include "ownfoods/OwnFoodStore.h"

#include "db/Query.h"
#include "db/Transaction.h"
#include "foodlog/LogDates.h"
#include "foodlog/LogSchema.h"
#include "foods/FoodText.h"

namespace {

QString writeContext()
{
    return QStringLiteral("无法保存自定义食物");
}

// Protein, fat and carbohydrate into three parameters from `first`, or NULLs.
void bindNutrients(Query &q, int first, const std::optional<Nutrients> &n)
{
    if (n) {
        q.bind(first, n->protein).bind(first + 1, n->fat).bind(first + 2, n->carbohydrate);
        return;
    }
    for (int i = 0; i < 3; ++i)
        q.bindNull(first + i);
}

} // namespace

OwnFoodStore::OwnFoodStore(LogSchema &schema) : m_schema(schema) {}

QVector<OwnFood> OwnFoodStore::foods() const
{
    return OwnFoods::read(m_schema.database());
}

void OwnFoodStore::insert(const OwnFood &food, qint64 id)
{
    Query q(m_schema.database(),
            "INSERT INTO custom_food (id, name, category, kcal_per_100g, aliases, measure, measure_grams, "
            "cooked_grams, created, protein, fat, carbohydrate) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            writeContext());
    if (id > 0)
        q.bind(1, id);
    else
        q.bindNull(1);
    q.bind(2, FoodText::name(food.name)).bind(3, FoodText::name(food.category)).bind(4, food.kcalPer100g);
    q.bind(5, food.aliases.join(QChar(0x3001))).bind(6, food.measure);
    if (food.measure.isEmpty())
        q.bindNull(7);
    else
        q.bind(7, food.measureGrams);
    if (food.isRecipe())
        q.bind(8, food.cookedGrams);
    else
        q.bindNull(8);
    q.bind(9, LogDates::timeText(m_schema.clock().now()));
    bindNutrients(q, 10, food.nutrients);
    q.run();
    const qint64 foodId = id > 0 ? id : q.lastInsertId();
    if (food.nutrients && food.nutrients->sodium) {
        Query sodium(m_schema.database(), "INSERT OR REPLACE INTO custom_food_sodium (food_id, sodium) VALUES (?, ?)",
                     writeContext());
        sodium.bind(1, foodId).bind(2, *food.nutrients->sodium).run();
    }
    int position = 0;
    for (const RecipePart &part : food.parts) {
        Query p(m_schema.database(),
                "INSERT INTO custom_food_part (food_id, position, ingredient, category, kcal_per_100g, grams, "
                "protein, fat, carbohydrate) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                writeContext());
        p.bind(1, foodId).bind(2, position++).bind(3, FoodText::name(part.food)).bind(4, part.category);
        p.bind(5, part.kcalPer100g).bind(6, part.grams);
        bindNutrients(p, 7, part.nutrients);
        p.run();
    }
}

qint64 OwnFoodStore::idOf(const QString &name) const
{
    Query q(m_schema.database(), "SELECT id FROM custom_food WHERE name = ?", writeContext());
    q.bind(1, FoodText::name(name));
    return q.next() ? q.integer(0) : 0;
}

void OwnFoodStore::removeWithin(qint64 id)
{
    Query parts(m_schema.database(), "DELETE FROM custom_food_part WHERE food_id = ?", writeContext());
    parts.bind(1, id).run();
    Query sodium(m_schema.database(), "DELETE FROM custom_food_sodium WHERE food_id = ?", writeContext());
    sodium.bind(1, id).run();
    Query food(m_schema.database(), "DELETE FROM custom_food WHERE id = ?", writeContext());
    food.bind(1, id).run();
}

qint64 OwnFoodStore::add(const OwnFood &food)
{
    m_schema.ensureTables();
    Transaction transaction(m_schema.database(), writeContext());
    insert(food, 0);
    const qint64 added = idOf(food.name);
    transaction.commit();
    return added;
}

void OwnFoodStore::update(const OwnFood &food)
{
    m_schema.ensureTables();
    Transaction transaction(m_schema.database(), writeContext());
    removeWithin(food.id);
    insert(food, food.id);
    transaction.commit();
}

void OwnFoodStore::remove(qint64 id)
{
    m_schema.ensureTables();
    Transaction transaction(m_schema.database(), QStringLiteral("无法删除自定义食物"));
    removeWithin(id);
    transaction.commit();
}

std::optional<int> OwnFoodStore::importFoods(const QVector<OwnFood> &foods, bool replaceTaken, const Progress &goOn)
{
    m_schema.ensureTables();
    Transaction transaction(m_schema.database(), QStringLiteral("无法导入自定义食物"));
    int written = 0;
    for (const OwnFood &food : foods) {
        const qint64 id = idOf(food.name);
        if (id > 0) {
            if (!replaceTaken)
                continue;
            removeWithin(id);
            insert(food, id);
        } else {
            insert(food, 0);
        }
        ++written;
        if (goOn && !goOn(&food - foods.constData() + 1))
            return std::nullopt; // the transaction rolls back
    }
    transaction.commit();
    return written;
}
