// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fixture of the tests that start the program's window (test_app*.cpp): the application set up
// as main() sets it up, start-up failures caught instead of shown, copies of the program's
// directory as the build lays it out, and the few looks into a data file those tests share.
// The test target defines PELLOMIR_BIN_DIR (the build's program directory).

#include "shell/FatalError.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"
#include "support/WindowParts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace AppFixture {

// Sets the application up as main() does; a start-up failure's message is added to
// `fatalMessages` instead of shown.
inline void prepareApplication(QStringList &fatalMessages)
{
    Startup::prepareApplication(*qApp);
    FatalError::setHandler([&fatalMessages](const QString &text) { fatalMessages << text; });
}

// Copies the program's directory (data.mdb, Skin1.dat, about.html) into `dir`, so that no test
// can touch the build's files; returns the copy's path.
inline QString copyProgram(QTemporaryDir &dir)
{
    for (const char *name : {"data.mdb", "Skin1.dat", "about.html"}) {
        const QString source = QStringLiteral(PELLOMIR_BIN_DIR "/") + QLatin1String(name);
        if (!QFile::copy(source, dir.filePath(QLatin1String(name))))
            qFatal("cannot copy %s: build the program first", qPrintable(source));
    }
    return dir.path();
}

// Names, sizes and times of the files in a folder: what "nothing created or changed" compares.
inline QStringList listing(const QString &dir)
{
    QStringList entries;
    const auto infos = QDir(dir).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                               QDir::Name);
    for (const QFileInfo &info : infos)
        entries << QStringLiteral("%1 %2 %3").arg(info.fileName()).arg(info.size()).arg(
            info.lastModified().toMSecsSinceEpoch());
    return entries;
}

// Runs a statement on the file at `path` with a connection of its own.
inline void execOn(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QVERIFY(sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK);
    sqlite3_busy_timeout(db, 5000);
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

// The Name column of a notebook table on the file at `path`, in the order of its ids.
inline QStringList titlesOn(const QString &path, const char *table)
{
    sqlite3 *db = nullptr;
    QStringList titles;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, QByteArray("SELECT Name FROM ").append(table).append(" ORDER BY id").constData(),
                           -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            titles << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return titles;
}

// The window menu's command of that object name (exportNotes, restoreBackup…).
inline QAction *menuAction(MainWindow &w, const char *name)
{
    return windowMenuOf(w)->findChild<QAction *>(QLatin1String(name));
}

} // namespace AppFixture
