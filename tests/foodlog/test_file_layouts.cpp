// SPDX-License-Identifier: GPL-3.0-or-later
// The one upgrade of the data file: every layout a release wrote (tests/foodlog/layouts, written
// once and never made from today's code) is brought to today's, in place and by a restore, with
// the same result; the shipped food tables follow the installed template; a newer file is never
// changed; a restore holds the write lock and keeps only the program's own triggers; the file's
// ranges are the one bounds table's.
#include "datafile/DataLayout.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/DatabaseRestore.h"
#include "db/DataError.h"
#include "db/FileLayout.h"
#include "db/FileUpgrade.h"
#include "db/Schema.h"
#include "db/ShippedFoods.h"
#include "datafile/DataFileUpgrade.h"
#include "datafile/DataLayout.h"
#include "foodlog/LogSchema.h"
#include "foods/AmountText.h"
#include "foods/Bounds.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

// A connection of the test's own, as another program would have.
class Raw
{
public:
    explicit Raw(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr)
            != SQLITE_OK)
            qFatal("cannot open %s", qPrintable(path));
    }
    ~Raw() { sqlite3_close_v2(m_db); }
    Raw(const Raw &) = delete;
    Raw &operator=(const Raw &) = delete;

    sqlite3 *handle() const { return m_db; }
    int exec(const QString &sql) const { return sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr); }
    // Every row as text, columns joined by " | ", NULL as "∅".
    QStringList rows(const QString &sql) const
    {
        QStringList out;
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            qFatal("%s: %s", qPrintable(sql), sqlite3_errmsg(m_db));
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                row << (sqlite3_column_type(stmt, i) == SQLITE_NULL
                            ? QStringLiteral("∅")
                            : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i))));
            out << row.join(QStringLiteral(" | "));
        }
        sqlite3_finalize(stmt);
        return out;
    }
    QString value(const QString &sql) const
    {
        const QStringList found = rows(sql);
        return found.isEmpty() ? QString() : found.first();
    }

private:
    sqlite3 *m_db = nullptr;
};

QString layoutFile(const QString &name)
{
    return QStringLiteral(LAYOUTS_DIR "/") + name;
}

// A file made by running one of the frozen layouts.
void makeFromLayout(const QString &layout, const QString &path)
{
    QFile sql(layoutFile(layout));
    QVERIFY(sql.open(QIODevice::ReadOnly));
    Raw db(path);
    QCOMPARE(db.exec(QString::fromUtf8(sql.readAll())), SQLITE_OK);
}

// The schema (without the food tables' own indexes, which come from the template) and every row of
// every table, as text, and the stamp: two files with the same dump hold the same.
QStringList dump(const QString &path)
{
    Raw db(path);
    QStringList out = db.rows(QStringLiteral("SELECT type || ' ' || name || ': ' || sql FROM sqlite_schema "
                                             "WHERE sql IS NOT NULL ORDER BY type, name"));
    out << QStringLiteral("user_version ") + db.value(QStringLiteral("PRAGMA user_version"));
    for (const QString &table : db.rows(QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name")))
        for (const QString &row : db.rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)))
            out << table + QStringLiteral(": ") + row;
    return out;
}

QStringList schemaOf(const QString &path)
{
    return Raw(path).rows(QStringLiteral("SELECT type || ' ' || name || ': ' || sql FROM sqlite_schema "
                                         "WHERE sql IS NOT NULL ORDER BY type, name"));
}

QStringList backupsBeside(const QString &path)
{
    const QFileInfo file(path);
    return file.absoluteDir().entryList({file.fileName() + QStringLiteral(".bak-*")}, QDir::Files);
}

bool everyTableIsARelease(const QString &)
{
    return true;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList Layouts = {
    QStringLiteral("release-1.0.sql"),          QStringLiteral("release-1.1.sql"),
    QStringLiteral("release-1.2.sql"),          QStringLiteral("release-1.3-exercise.sql"),
    QStringLiteral("release-1.3-own-foods.sql"), QStringLiteral("release-1.3-nutrients.sql"),
};

// The user's tables of the layouts and the columns they had then.
const QStringList UserTables = {QStringLiteral("sp"),         QStringLiteral("yd"),           QStringLiteral("xd"),
                                QStringLiteral("rj"),         QStringLiteral("food_log"),     QStringLiteral("weight_log"),
                                QStringLiteral("profile"),    QStringLiteral("exercise_log"), QStringLiteral("custom_activity"),
                                QStringLiteral("custom_food"), QStringLiteral("custom_food_part"),
                                QStringLiteral("food_log_nutrient")};

} // namespace

class TestFileLayouts : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_template;
    int m_files = 0;
    const Clock m_clock = Clock([] { return QDateTime(QDate(2026, 12, 11), QTime(9, 0)); });

    QString newPath()
    {
        QDir().mkpath(m_dir.filePath(QString::number(++m_files)));
        return m_dir.filePath(QStringLiteral("%1/data.mdb").arg(m_files));
    }

    // The template a release installs: the tables makedb makes, a few foods, stamped.
    QString makeTemplate(double riceProtein)
    {
        const QString path = newPath();
        createDatabaseFile(path);
        Raw db(path);
        db.exec(QStringLiteral(
            "INSERT INTO \"02\" (category) VALUES ('谷薯主食'), ('蔬菜');"
            "INSERT INTO \"01\" (category, food, portion, kcal) VALUES ('谷薯主食', '米饭', '100克', 116), "
            "('谷薯主食', '馒头', '100克', 223), ('蔬菜', '西红柿', '100克', 15), ('蔬菜', '黄瓜', '100克', 16), "
            "('谷薯主食', '燕麦片', '100克', 338);"
            "INSERT INTO food_alias (category, food, alias) VALUES ('蔬菜', '西红柿', '番茄'), ('谷薯主食', '燕麦片', '麦片');"));
        db.exec(QStringLiteral("INSERT INTO food_nutrient (category, food, protein, fat, carbohydrate, alcohol) VALUES "
                               "('谷薯主食', '米饭', %1, 0.2, 25.6, NULL), ('谷薯主食', '馒头', 7.0, 1.1, 47.0, NULL), "
                               "('蔬菜', '西红柿', 0.9, 0.2, 4.0, NULL), ('谷薯主食', '燕麦片', 10.1, 0.2, 77.4, NULL)")
                    .arg(riceProtein));
        ShippedFoods::writeStamp(db.handle(), QString());
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_template = makeTemplate(2.5);
    }

    // Each layout a release wrote, upgraded at the start and by a restore into a current file:
    // the same schema as a new file, the same rows both ways, the user's rows as they were, the
    // template's foods, and the nutrient figures of past entries (the table's where they had none).
    void everyEarlierLayoutComesToToday_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("riceEntryFigures"); // entry 2, 米饭, logged in 1.1
        QTest::newRow("1.0") << Layouts.at(0) << QString();
        QTest::newRow("1.1: log without ranges") << Layouts.at(1) << QStringLiteral("2 | 2.5 | 0.2 | 25.6 | 0.0");
        QTest::newRow("1.2: ranges") << Layouts.at(2) << QStringLiteral("2 | 2.5 | 0.2 | 25.6 | 0.0");
        QTest::newRow("1.3: exercise") << Layouts.at(3) << QStringLiteral("2 | 2.5 | 0.2 | 25.6 | 0.0");
        QTest::newRow("1.3: own foods") << Layouts.at(4) << QStringLiteral("2 | 2.5 | 0.2 | 25.6 | 0.0");
        QTest::newRow("1.3: entries' nutrients") << Layouts.at(5) << QStringLiteral("2 | 2.6 | 0.3 | 25.9 | 0.0");
    }
    void everyEarlierLayoutComesToToday()
    {
        QFETCH(QString, layout);
        QFETCH(QString, riceEntryFigures);

        const QString original = newPath();
        makeFromLayout(layout, original);
        const QStringList before = dump(original);

        // In place, as the first start does it.
        const QString inPlace = newPath();
        QVERIFY(QFile::copy(original, inPlace));
        {
            auto db = openDatabase(inPlace);
            const DataFileUpgrade::Outcome outcome = DataFileUpgrade::atStart(*db, m_template, m_clock, everyTableIsARelease);
            QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
            QVERIFY(outcome.foodsReplaced);
            QVERIFY(!outcome.backup.isEmpty());
        }
        QCOMPARE(backupsBeside(inPlace).size(), 1);
        QCOMPARE(dump(inPlace + QStringLiteral(".bak-20261211-090000")), before); // the copy is the file as it was

        // A second start changes nothing: not a byte, no copy.
        const QByteArray upgraded = bytesOf(inPlace);
        {
            auto db = openDatabase(inPlace);
            const DataFileUpgrade::Outcome again = DataFileUpgrade::atStart(*db, m_template, m_clock, everyTableIsARelease);
            QVERIFY(again.backup.isEmpty());
            QVERIFY(!again.foodsReplaced);
        }
        QCOMPARE(bytesOf(inPlace), upgraded);
        QCOMPARE(backupsBeside(inPlace).size(), 1);

        // By a restore into a file of today's layout.
        const QString restored = newPath();
        QVERIFY(QFile::copy(m_template, restored));
        {
            auto db = openDatabase(restored);
            QVERIFY(!DataFileUpgrade::atStart(*db, m_template, m_clock).backup.isEmpty());
            const PreparedRestore prepared(original, [this](sqlite3 *scratch, const QString &context) {
                QVERIFY(!DataFileUpgrade::prepareRestored(scratch, m_template, context, everyTableIsARelease));
            });
            prepared.replace(*db);
        }
        QCOMPARE(dump(restored), dump(inPlace));
        QCOMPARE(dump(original), before); // the backup is never changed

        // The layout of a new file, whatever the history.
        const QString fresh = newPath();
        QVERIFY(QFile::copy(m_template, fresh));
        {
            auto db = openDatabase(fresh);
            DataFileUpgrade::atStart(*db, m_template, m_clock);
        }
        QCOMPARE(schemaOf(inPlace), schemaOf(fresh));
        Raw after(inPlace);
        QCOMPARE(after.value(QStringLiteral("PRAGMA user_version")).toInt(), DataLayout::layout().version());

        // The user's rows as they were, column by column; the foods are the template's.
        Raw old(original);
        for (const QString &table : UserTables) {
            const QStringList columns = old.rows(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table));
            if (columns.isEmpty())
                continue;
            const QString select = QStringLiteral("SELECT \"%1\" FROM \"%2\" ORDER BY rowid")
                                       .arg(columns.join(QStringLiteral("\", \"")), table);
            if (table == QLatin1String("food_log_nutrient"))
                continue; // compared below: entries without figures get the table's
            QCOMPARE(after.rows(select), old.rows(select));
        }
        for (const QString &table : Schema::shippedTables())
            QCOMPARE(after.rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)),
                     Raw(m_template).rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)));
        QCOMPARE(after.value(QStringLiteral("SELECT * FROM sqlite_sequence WHERE name = 'yd'")), QStringLiteral("yd | 2"));

        // Past entries' figures: kept as logged, the table's for those that had none.
        QCOMPARE(after.value(QStringLiteral("SELECT * FROM food_log_nutrient WHERE entry_id = 2")), riceEntryFigures);
        if (layout == Layouts.last())
            QCOMPARE(after.value(QStringLiteral("SELECT * FROM food_log_nutrient WHERE entry_id = 7")),
                     QStringLiteral("7 | 2.1 | 1.3 | 10.2 | 0.0"));
        // An own food of the time takes protein, fat and carbohydrate now.
        if (layout >= Layouts.at(4))
            QCOMPARE(after.exec(QStringLiteral("UPDATE custom_food SET protein = 5 WHERE id = 1")), SQLITE_OK);
    }

    // The log's first write is the same upgrade: it needs no template and makes one copy.
    void theFirstWriteUpgradesToo()
    {
        const QString path = newPath();
        makeFromLayout(Layouts.at(1), path);
        auto db = openDatabase(path);
        LogSchema schema(*db, DataLayout::layout(), m_clock);
        QVERIFY(!schema.isUpToDate());
        QVERIFY(!schema.ensureTables().isEmpty());
        QVERIFY(schema.isUpToDate());
        QCOMPARE(schema.ensureTables(), QString());
        QCOMPARE(backupsBeside(path).size(), 1);
        QCOMPARE(Raw(path).value(QStringLiteral("PRAGMA user_version")).toInt(), DataLayout::layout().version());
    }

    // A file stamped by a newer release: the start says so with both versions and changes
    // nothing; a write and a restore refuse it.
    void aNewerFileIsNeverChanged()
    {
        const QString path = newPath();
        QVERIFY(QFile::copy(m_template, path));
        const int newer = DataLayout::layout().version() + 1;
        Raw(path).exec(QStringLiteral("PRAGMA user_version = %1").arg(newer));
        const QByteArray bytes = bytesOf(path);
        {
            auto db = openDatabase(path);
            const DataFileUpgrade::Outcome outcome = DataFileUpgrade::atStart(*db, makeTemplate(3.0), m_clock);
            QVERIFY(outcome.newer);
            QVERIFY(outcome.message.contains(QStringLiteral("第 %1 版").arg(newer)));
            QVERIFY(outcome.message.contains(QStringLiteral("第 %1 版").arg(DataLayout::layout().version())));
            LogSchema schema(*db, DataLayout::layout(), m_clock);
            QVERIFY_THROWS_EXCEPTION(DataError, schema.ensureTables());
        }
        auto live = openDatabase(m_template);
        try {
            PreparedRestore(path, [this](sqlite3 *scratch, const QString &context) {
                DataFileUpgrade::prepareRestored(scratch, m_template, context);
            });
            QFAIL("a newer file was prepared for a restore");
        } catch (const DataError &error) {
            QVERIFY(error.message().contains(QStringLiteral("较新版本")));
        }
        QCOMPARE(bytesOf(path), bytes);
        QVERIFY(backupsBeside(path).isEmpty());
    }

    // Food tables: a release's older ones are replaced; ones changed with another tool are kept
    // and said to be; the compiled list knows the tables of the release before this one.
    void shippedFoodsReachEveryFile_data()
    {
        QTest::addColumn<QString>("edit"); // SQL run on a file of the older template
        QTest::addColumn<bool>("replaced");
        QTest::newRow("untouched") << QString() << true;
        QTest::newRow("a figure changed") << QStringLiteral("UPDATE \"01\" SET kcal = 120 WHERE food = '米饭'") << false;
        QTest::newRow("a food added") << QStringLiteral("INSERT INTO \"01\" (category, food, portion, kcal) VALUES ('蔬菜', '苦瓜', '100克', 22)") << false;
        QTest::newRow("a column added") << QStringLiteral("ALTER TABLE food_nutrient ADD COLUMN fibre REAL") << false;
    }
    void shippedFoodsReachEveryFile()
    {
        QFETCH(QString, edit);
        QFETCH(bool, replaced);
        const QString path = newPath();
        QVERIFY(QFile::copy(m_template, path));
        {
            auto db = openDatabase(path);
            DataFileUpgrade::atStart(*db, m_template, m_clock);
        }
        if (!edit.isEmpty())
            QCOMPARE(Raw(path).exec(edit), SQLITE_OK);
        const QStringList own = Raw(path).rows(QStringLiteral("SELECT * FROM \"01\""));
        const QString newer = makeTemplate(2.4);
        auto db = openDatabase(path);
        const DataFileUpgrade::Outcome outcome = DataFileUpgrade::atStart(*db, newer, m_clock);
        QCOMPARE(outcome.foodsReplaced, replaced);
        QCOMPARE(outcome.keptOwnFoods, !replaced);
        QCOMPARE(Raw(path).value(QStringLiteral("SELECT protein FROM food_nutrient WHERE food = '米饭'")),
                 replaced ? QStringLiteral("2.4") : QStringLiteral("2.5"));
        if (!replaced) {
            QCOMPARE(Raw(path).rows(QStringLiteral("SELECT * FROM \"01\"")), own);
            QVERIFY(outcome.backup.isEmpty());
            // The user's choice takes them all the same.
            QVERIFY(!DataFileUpgrade::takeShippedFoods(*db, newer, m_clock).isEmpty());
            QCOMPARE(Raw(path).value(QStringLiteral("SELECT content FROM food_data")), ShippedFoods::templateStamp(newer));
        }
    }
    void theReleaseBeforeIsKnownByItsTables()
    {
        const QString path = newPath();
        QProcess makedb;
        // The food table of the last release that kept no stamp (a frozen copy), made as that
        // release made it: without the fibre and sodium columns that came after, and no stamp.
        makedb.start(QStringLiteral(MAKEDB), {QStringLiteral(LAYOUTS_DIR "/foods-before-stamps.csv"), path});
        QVERIFY(makedb.waitForFinished(60000));
        QCOMPARE(makedb.exitCode(), 0);
        Raw db(path);
        QCOMPARE(ShippedFoods::storedStamp(db.handle(), QString()), ShippedFoods::contentStamp(db.handle(), QString()));
        QCOMPARE(db.exec(QStringLiteral("ALTER TABLE food_nutrient DROP COLUMN fibre")), SQLITE_OK);
        QCOMPARE(db.exec(QStringLiteral("ALTER TABLE food_nutrient DROP COLUMN sodium")), SQLITE_OK);
        QCOMPARE(db.exec(QStringLiteral("DROP TABLE food_data")), SQLITE_OK);
        QCOMPARE(ShippedFoods::judge(db.handle(), QStringLiteral("a later release"), QString()), ShippedFoods::Verdict::Replace);
        QCOMPARE(db.exec(QStringLiteral("UPDATE \"01\" SET kcal = kcal + 1 WHERE id = 1")), SQLITE_OK);
        QCOMPARE(ShippedFoods::judge(db.handle(), QStringLiteral("a later release"), QString()), ShippedFoods::Verdict::KeepOwn);
    }

    // Upgrades that fail again and again keep one copy of the file at that layout, not one each;
    // copies of another layout, or not ours, stay.
    void failedUpgradesKeepOneCopyPerLayout()
    {
        const QString path = newPath();
        makeFromLayout(Layouts.at(2), path);
        // Another tool's view where the exercise table goes: the step's index cannot be made.
        Raw(path).exec(QStringLiteral("CREATE VIEW exercise_log AS SELECT 1 AS day"));
        const QString foreign = path + QStringLiteral(".bak-20250101-000000");
        QVERIFY(QFile::copy(m_template, foreign));
        auto db = openDatabase(path);
        for (int attempt = 0; attempt < 3; ++attempt) {
            const Clock later([attempt] { return QDateTime(QDate(2026, 12, 11), QTime(10, attempt)); });
            LogSchema schema(*db, DataLayout::layout(), later);
            QVERIFY_THROWS_EXCEPTION(DataError, schema.ensureTables());
        }
        QCOMPARE(backupsBeside(path),
                 QStringList({QStringLiteral("data.mdb.bak-20250101-000000"), QStringLiteral("data.mdb.bak-20261211-100200")}));
        QCOMPARE(Raw(path).value(QStringLiteral("PRAGMA user_version")), QStringLiteral("0"));
    }

    // A restore takes the file's write lock before the copy of the current data and holds it until
    // the restored data is in place; another writer holding it makes the restore refuse, nothing
    // copied.
    void aRestoreHoldsTheWriteLock()
    {
        const QString path = newPath();
        QVERIFY(QFile::copy(m_template, path));
        const QString backup = newPath();
        makeFromLayout(Layouts.at(1), backup);
        auto db = openDatabase(path);
        db->setLockWaitLimit(50);
        const PreparedRestore prepared(backup, [this](sqlite3 *scratch, const QString &context) {
            DataFileUpgrade::prepareRestored(scratch, m_template, context);
        });

        Raw other(path);
        sqlite3_busy_timeout(other.handle(), 0);
        QCOMPARE(other.exec(QStringLiteral("BEGIN IMMEDIATE")), SQLITE_OK);
        bool copied = false;
        try {
            prepared.replace(*db, [&] { copied = true; });
            QFAIL("restored while another program held the write lock");
        } catch (const DataError &error) {
            QVERIFY(error.isFileInUse());
        }
        QVERIFY(!copied);
        QCOMPARE(other.exec(QStringLiteral("COMMIT")), SQLITE_OK);

        int otherWrite = SQLITE_OK;
        prepared.replace(*db, [&] {
            otherWrite = other.exec(QStringLiteral("INSERT INTO sp (Name, demo) VALUES ('写在中间', '')"));
        });
        QCOMPARE(otherWrite & 0xff, SQLITE_BUSY);
        QCOMPARE(Raw(path).value(QStringLiteral("SELECT count(*) FROM sp WHERE Name = '写在中间'")), QStringLiteral("0"));
        QCOMPARE(Raw(path).value(QStringLiteral("SELECT count(*) FROM food_log")), QStringLiteral("4"));
    }

    // A backup's own triggers, views and indexes do not come with it, nor stay through an upgrade;
    // a backup whose tables are views is refused before anything is copied.
    void onlyOurOwnObjectsStay_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::newRow("a trigger of its own")
            << QStringLiteral("CREATE TRIGGER wipe AFTER INSERT ON food_log BEGIN DELETE FROM sp; END");
        QTest::newRow("one of our names, another body")
            << QStringLiteral("DROP TRIGGER food_log_in_range_insert; CREATE TRIGGER food_log_in_range_insert AFTER "
                              "INSERT ON food_log BEGIN DELETE FROM sp; END");
        QTest::newRow("a view and an index") << QStringLiteral("CREATE VIEW notes AS SELECT * FROM sp; "
                                                               "CREATE INDEX sp_name ON sp (Name)");
    }
    void onlyOurOwnObjectsStay()
    {
        QFETCH(QString, extra);
        const QString backup = newPath();
        makeFromLayout(Layouts.at(2), backup);
        QCOMPARE(Raw(backup).exec(extra), SQLITE_OK);
        const QString expected = [this] {
            const QString fresh = newPath();
            QFile::copy(m_template, fresh);
            auto db = openDatabase(fresh);
            DataFileUpgrade::atStart(*db, m_template, m_clock);
            return fresh;
        }();
        const auto objects = [](const QString &path) {
            return Raw(path).rows(QStringLiteral("SELECT type, name, sql FROM sqlite_schema WHERE type IN ('trigger', 'view', 'index') ORDER BY name"));
        };

        const QString restored = newPath();
        QVERIFY(QFile::copy(expected, restored));
        {
            auto db = openDatabase(restored);
            PreparedRestore(backup, [this](sqlite3 *scratch, const QString &context) {
                DataFileUpgrade::prepareRestored(scratch, m_template, context);
            }).replace(*db);
        }
        QCOMPARE(objects(restored), objects(expected));

        const QString inPlace = newPath();
        QVERIFY(QFile::copy(backup, inPlace));
        {
            auto db = openDatabase(inPlace);
            LogSchema(*db, DataLayout::layout(), m_clock).ensureTables();
        }
        QCOMPARE(objects(inPlace), objects(expected));
        for (const QString &path : {restored, inPlace}) {
            Raw db(path);
            QCOMPARE(db.exec(QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                                            "VALUES ('2026-12-11', 0, '米饭', '谷薯主食', 100, 116, '2026-12-11 08:00:00')")),
                     SQLITE_OK);
            QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM sp")), QStringLiteral("2"));
        }
    }
    void aBackupWhoseTablesAreViewsIsRefused_data()
    {
        QTest::addColumn<QString>("view");
        QTest::newRow("a notebook table") << QStringLiteral("DROP TABLE sp; CREATE VIEW sp AS SELECT * FROM yd");
        QTest::newRow("a log table") << QStringLiteral("DROP TABLE food_log; CREATE VIEW food_log AS SELECT * FROM weight_log");
        QTest::newRow("a food table") << QStringLiteral("CREATE VIEW food_nutrient AS SELECT 1");
    }
    void aBackupWhoseTablesAreViewsIsRefused()
    {
        QFETCH(QString, view);
        const QString backup = newPath();
        makeFromLayout(Layouts.at(2), backup);
        QCOMPARE(Raw(backup).exec(view), SQLITE_OK);
        try {
            verifyDatabaseFile(backup);
            verifyTablesFit(backup, DataLayout::logStatements());
            QFAIL("a backup with a view for a table was taken");
        } catch (const DataError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("视图")), qPrintable(error.message()));
        }
    }

    // The file's ranges, read back from a new file's triggers, are the one table's: the last value
    // inside each bound is taken, the first outside refused; the typed-amount fields take the same.
    void theTriggersHoldTheBoundsTable_data()
    {
        QTest::addColumn<QString>("insert"); // %1: the value
        QTest::addColumn<double>("inside");
        QTest::addColumn<double>("outside");
        const QString entry = QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                                             "VALUES ('2026-12-11', 0, '米饭', '', %1, 100, 'x')");
        const QString perHundred = QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                                                  "VALUES ('2026-12-11', 0, '米饭', '', 100, %1, 'x')");
        const QString weight = QStringLiteral("INSERT OR REPLACE INTO weight_log (day, kg) VALUES ('2026-12-11', %1)");
        const QString height = QStringLiteral("INSERT OR REPLACE INTO profile (id, sex, birth_year, height_cm, activity, target_kg) "
                                              "VALUES (1, 'F', 1990, %1, 1, 0)");
        const QString exercise = QStringLiteral("INSERT INTO exercise_log (day, activity, category, minutes, met, kcal, created) "
                                                "VALUES ('2026-12-11', '走', '', %1, 3, 10, 'x')");
        const QString met = QStringLiteral("INSERT INTO exercise_log (day, activity, category, minutes, met, kcal, created) "
                                           "VALUES ('2026-12-11', '走', '', 30, %1, 10, 'x')");
        const QString burned = QStringLiteral("INSERT INTO exercise_log (day, activity, category, minutes, met, kcal, created) "
                                              "VALUES ('2026-12-11', '走', '', 30, 3, %1, 'x')");
        const QString ownFood = QStringLiteral("INSERT INTO custom_food (name, kcal_per_100g, created) VALUES ('我的' || random(), %1, 'x')");
        const QString part = QStringLiteral("INSERT INTO custom_food_part (food_id, position, ingredient, kcal_per_100g, grams) "
                                            "VALUES (1, 0, '米饭', 100, %1)");
        QTest::newRow("grams, most") << entry << Bounds::MaxGrams << Bounds::MaxGrams + 0.1;
        QTest::newRow("grams, least") << entry << 0.1 << 0.0;
        QTest::newRow("kcal per 100 g") << perHundred << Bounds::MaxKcalPer100g << Bounds::MaxKcalPer100g + 0.1;
        QTest::newRow("weight, least") << weight << Bounds::MinKg << Bounds::MinKg - 0.1;
        QTest::newRow("weight, most") << weight << Bounds::MaxKg << Bounds::MaxKg + 0.1;
        QTest::newRow("height, least") << height << Bounds::MinHeightCm << Bounds::MinHeightCm - 0.1;
        QTest::newRow("height, most") << height << Bounds::MaxHeightCm << Bounds::MaxHeightCm + 0.1;
        QTest::newRow("minutes") << exercise << Bounds::MaxMinutes << Bounds::MaxMinutes + 0.1;
        QTest::newRow("MET, least") << met << Bounds::MinMet << Bounds::MinMet - 0.1;
        QTest::newRow("MET, most") << met << Bounds::MaxMet << Bounds::MaxMet + 0.1;
        QTest::newRow("exercise kcal") << burned << Bounds::MaxExerciseKcal << Bounds::MaxExerciseKcal + 0.1;
        QTest::newRow("own food kcal") << ownFood << Bounds::MaxKcalPer100g << Bounds::MaxKcalPer100g + 0.1;
        QTest::newRow("recipe part grams") << part << Bounds::MaxGrams << Bounds::MaxGrams + 0.1;
    }
    void theTriggersHoldTheBoundsTable()
    {
        QFETCH(QString, insert);
        QFETCH(double, inside);
        QFETCH(double, outside);
        const QString path = newPath();
        QVERIFY(QFile::copy(m_template, path));
        {
            auto db = openDatabase(path);
            DataFileUpgrade::atStart(*db, m_template, m_clock);
        }
        Raw db(path);
        db.exec(QStringLiteral("INSERT INTO custom_food (id, name, kcal_per_100g, created) VALUES (1, '菜谱', 100, 'x')"));
        QCOMPARE(db.exec(insert.arg(QString::number(inside, 'g', 12))), SQLITE_OK);
        QCOMPARE(db.exec(insert.arg(QString::number(outside, 'g', 12))), SQLITE_CONSTRAINT);
        QCOMPARE(db.exec(insert.arg(QStringLiteral("'viel'"))), SQLITE_CONSTRAINT); // text is no number
    }
    void theTypedFieldsTakeTheBoundsTable()
    {
        QCOMPARE(AmountText::Height.min, Bounds::MinHeightCm);
        QCOMPARE(AmountText::Height.max, Bounds::MaxHeightCm);
        QCOMPARE(AmountText::Weight.min, Bounds::MinKg);
        QCOMPARE(AmountText::Weight.max, Bounds::MaxKg);
        QCOMPARE(AmountText::Grams.max, Bounds::MaxGrams);
        QCOMPARE(AmountText::Minutes.max, Bounds::MaxMinutes);
        QCOMPARE(AmountText::KcalPer100g.max, Bounds::MaxKcalPer100g);
        QCOMPARE(AmountText::Met.min, Bounds::MinMet);
        QCOMPARE(AmountText::Met.max, Bounds::MaxMet);
        QVERIFY(AmountText::Grams.min > 0 && AmountText::Minutes.min > 0);
    }
};

QTEST_GUILESS_MAIN(TestFileLayouts)
#include "test_file_layouts.moc"
