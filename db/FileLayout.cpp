// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FileLayout.h"

#include "db/DataError.h"
#include "db/Query.h"
#include "db/Schema.h"

#include <QDir>
#include <sqlite3.h>

FileLayout::FileLayout(QList<LayoutStep> steps, QStringList ownObjects)
    : m_steps(std::move(steps)), m_ownObjects(std::move(ownObjects))
{
}

int FileLayout::stampOf(sqlite3 *db, const QString &context)
{
    Query q(db, "PRAGMA user_version", context);
    return q.next() ? int(q.integer(0)) : 0;
}

QString FileLayout::newerMessage(const QString &file, int stamp) const
{
    const QString named = file.isEmpty() ? QStringLiteral("这个数据文件")
                                         : QStringLiteral("数据文件“%1”").arg(QDir::toNativeSeparators(file));
    return QStringLiteral("%1由较新版本的 Pellomir 写成（文件格式第 %2 版），"
                          "这个版本的 Pellomir（%3）只认识到第 %4 版。为了不损坏它，本程序只读取这个文件，"
                          "不会作任何改动；要记录新的内容，请使用较新版本的 Pellomir。")
        .arg(named)
        .arg(stamp)
        .arg(QStringLiteral(PELLOMIR_VERSION))
        .arg(version());
}

void FileLayout::bringUpToDate(sqlite3 *db, const QString &context) const
{
    const int stamp = stampOf(db, context);
    if (stamp > version())
        throw DataError(context + QStringLiteral("：") + newerMessage(QString(), stamp),
                        SQLITE_READONLY);
    for (const LayoutStep &step : m_steps) {
        if (step.version <= stamp)
            continue;
        for (const QString &statement : step.statements)
            execute(db, statement.toUtf8().constData(), context);
        if (step.after)
            step.after(db, context);
    }
    keepOwnObjectsOnly(db, context);
    execute(db, QStringLiteral("PRAGMA user_version = %1").arg(version()).toUtf8().constData(), context);
}

void FileLayout::keepOwnObjectsOnly(sqlite3 *db, const QString &context)  const
{
    // Ours are made afresh from our statements below: one of our names may carry another body.
    // The shipped food tables' indexes are the template's, made with them (ShippedFoods).
    QList<QPair<QString, QString>> found;
    {
        Query objects(db,
                      "SELECT type, name, tbl_name FROM sqlite_schema WHERE type IN ('trigger', 'view', 'index') "
                      "AND name NOT LIKE 'sqlite_autoindex_%'",
                      context);
        while (objects.next())
            if (objects.text(0) != QLatin1String("index") || !Schema::shippedTables().contains(objects.text(2)))
                found << qMakePair(objects.text(0), objects.text(1));
    }
    for (const auto &[type, name] : std::as_const(found)) {
        const QString quoted = QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\""));
        execute(db, QStringLiteral("DROP %1 IF EXISTS \"%2\"").arg(type.toUpper(), quoted).toUtf8().constData(),
                context);
    }
    for (const QString &statement : m_ownObjects)
        execute(db, statement.toUtf8().constData(), context);
}
