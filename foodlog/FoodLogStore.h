// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"
#include "foodlog/DailyFigures.h"
#include "foodlog/FoodLogEntry.h"
#include "foodlog/LogSchema.h"
#include "foodlog/Profile.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

class Database;
class ReadTransaction;

// The food log, the weights and the profile in the window's database. Works on
// the window's connection, so writes have its settings (synchronous=EXTRA, the
// wait for another program's lock): each write is on disk when the call returns. Every failure is a
// DataError with a Chinese message.
//
// Reading never changes the file: a file without the log's tables reads as an
// empty log, and rows outside the log's ranges (LogBounds, from an older or
// hand-made file) are skipped and counted, never shown or summed. The tables
// are added by the log's one upgrade (LogSchema::ensureTables), which the first write calls.
class FoodLogStore
{
public:
    // `layout`: the whole file's (DataLayout::layout()), which the first write brings the file to;
    // `clock` times the entries and names the backup of an upgrade.
    FoodLogStore(Database &db, const FileLayout &layout, Clock clock = Clock());

    // True when the file has all of the log's tables (an earlier release's are read as they are).
    bool hasTables() const;
    // True when the file has everything the log's statements make: tables, index and range
    // triggers.
    bool isUpToDate() const { return m_schema.isUpToDate(); }
    // The one upgrade a file of any earlier release goes through (LogSchema::ensureTables).
    QString ensureTables() { return m_schema.ensureTables(); }
    // The log's tables in this file, shared with the other stores of the log (exercise).
    LogSchema &schema() { return m_schema; }

    // The file was replaced under the connection (a restore): its tables are looked up afresh.
    void forgetTables() { m_schema.forgetTables(); }
    // Reads made while the returned object lives see one state of the file (see ReadTransaction).
    std::unique_ptr<ReadTransaction> readTogether() const;

    // The day's entries within range, and how many rows of the day were skipped as outside it.
    struct DayEntries
    {
        QList<FoodLogEntry> entries;
        int outOfRange = 0;
    };
    DayEntries dayEntries(const QDate &day) const;
    QList<FoodLogEntry> entriesOn(const QDate &day) const { return dayEntries(day).entries; }
    // Every entry within range, by day and meal, for an export.
    QList<FoodLogEntry> allEntries() const;
    // Adds the entry (id and created time are filled in) and returns it.
    FoodLogEntry addEntry(FoodLogEntry entry);
    void setGrams(qint64 id, double grams);
    void setMeal(qint64 id, int meal);
    // Moves the entry to another day and meal.
    void moveEntry(qint64 id, const QDate &day, int meal);
    // Copies the entries to `day` (at `meal`, or each at its own meal) in one transaction, each
    // with its grams and kcal per 100 g; returns the copies.
    QList<FoodLogEntry> copyEntries(const QList<FoodLogEntry> &entries, const QDate &day, std::optional<int> meal);
    void removeEntry(qint64 id);
    // Removes these entries in one transaction (a copy taken back).
    void removeEntries(const QList<qint64> &ids);
    // Puts back an entry removed a moment ago, under its old id.
    void restoreEntry(const FoodLogEntry &entry);

    std::optional<double> weightOn(const QDate &day) const;
    // One weight per day: entering again replaces it.
    void setWeight(const QDate &day, double kg);

    // The waist in centimetres (LogBounds::waistInRange), one figure per day, optional.
    std::optional<double> waistOn(const QDate &day) const;
    void setWaist(const QDate &day, double cm);
    void removeWaist(const QDate &day);
    QList<DayWaist> waistsBetween(const QDate &first, const QDate &last) const;

    // Energy per day (DayKcal: the sum of the entries' whole kcal) and weights for first..last (both included).
    QList<DayIntake> intakeBetween(const QDate &first, const QDate &last) const;
    QList<DayWeight> weightsBetween(const QDate &first, const QDate &last) const;
    // Grams of protein, fat and carbohydrate per day, from the entries with figures.
    QList<DayMacros> macrosBetween(const QDate &first, const QDate &last) const;
    // The latest weight on or before `day`, if any.
    std::optional<DayWeight> latestWeight(const QDate &day) const;
    // The weight nearest to `day` for the energy of an activity: the latest on or before it, else
    // the first after it (a day logged before the first weigh-in).
    std::optional<DayWeight> nearestWeight(const QDate &day) const;

    // The profile as stored; its height may be out of range (LogBounds::heightInRange), which
    // the caller shows instead of a figure.
    // The foods logged, most recently first and, on the same day, most often first: the user's
    // own foods for the searches. At most `limit` names.
    QStringList recentFoods(int limit) const;

    std::optional<Profile> profile() const;
    void setProfile(const Profile &profile);

    // The log's tables, for the documentation and tests.
    static QStringList tableNames();

private:
    std::optional<double> readingOn(const char *table, const char *column, const QString &inRange,
                                    const QDate &day) const;
    // Each reader looks for its own table: a file restored from elsewhere may have some only.
    bool hasTable(const char *name) const;
    // The entry's nutrients per 100 g, beside it, when it has them.
    void keepNutrients(const FoodLogEntry &entry);

    LogSchema m_schema;
    Database &m_db;
};
