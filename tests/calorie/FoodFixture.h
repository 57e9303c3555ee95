#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantList>

#include <sqlite3.h>

// A food database in a temporary folder, written with plain SQL so that tests
// can set up (and later change) exactly the rows they need. A null QVariant
// stores NULL.
class FoodFixture
{
public:
    FoodFixture() : m_path(m_dir.filePath(QStringLiteral("data.mdb")))
    {
        exec("CREATE TABLE \"02\" (id INTEGER PRIMARY KEY, category TEXT);"
             "CREATE TABLE \"01\" (id INTEGER PRIMARY KEY, category TEXT, food TEXT,"
             " portion TEXT, kcal NUMERIC);");
    }
    ~FoodFixture() { sqlite3_close(m_db); }
    FoodFixture(const FoodFixture &) = delete;
    FoodFixture &operator=(const FoodFixture &) = delete;

    const QString &path() const { return m_path; }

    void addCategories(const QVariantList &names)
    {
        exec("BEGIN");
        for (const QVariant &name : names)
            run("INSERT INTO \"02\" (category) VALUES (?)", {name});
        exec("COMMIT");
    }

    // Each row: category, food, kcal.
    void addFoods(const QList<QVariantList> &rows)
    {
        exec("BEGIN");
        for (const QVariantList &row : rows)
            run("INSERT INTO \"01\" (category, food, portion, kcal) VALUES (?, ?, '100克', ?)",
                {row.value(0), row.value(1), row.value(2)});
        exec("COMMIT");
    }

    void exec(const char *sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(db(), sql, nullptr, nullptr, &error) != SQLITE_OK) {
            qFatal("fixture SQL failed: %s (%s)", error, sql);
        }
    }

    void run(const char *sql, const QVariantList &values)
    {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db(), sql, -1, &statement, nullptr) != SQLITE_OK)
            qFatal("fixture SQL failed: %s (%s)", sqlite3_errmsg(db()), sql);
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &value = values.at(i);
            if (value.isNull()) {
                sqlite3_bind_null(statement, i + 1);
            } else if (value.typeId() == QMetaType::Double) {
                sqlite3_bind_double(statement, i + 1, value.toDouble());
            } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(statement, i + 1, value.toLongLong());
            } else {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()),
                                  SQLITE_TRANSIENT);
            }
        }
        if (sqlite3_step(statement) != SQLITE_DONE)
            qFatal("fixture SQL failed: %s (%s)", sqlite3_errmsg(db()), sql);
        sqlite3_finalize(statement);
    }

private:
    sqlite3 *db()
    {
        if (!m_db && sqlite3_open(m_path.toUtf8().constData(), &m_db) != SQLITE_OK)
            qFatal("cannot create fixture %s", qPrintable(m_path));
        return m_db;
    }

    QTemporaryDir m_dir;
    QString m_path;
    sqlite3 *m_db = nullptr;
};
