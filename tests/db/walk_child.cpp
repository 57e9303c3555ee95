// SPDX-License-Identifier: GPL-3.0-or-later
// Helper process for the read-ahead memory test, and for measuring by hand
// under GNU time:
//
//   data_walk_child make  <data.mdb> [big MB] [rows]  a file whose sp holds one row with a
//                                                     body of `big MB` (10), then `rows`
//                                                     (5000) small ones
//   data_walk_child floor <data.mdb>                  reads both fields of the large row only
//   data_walk_child walk  <data.mdb> [room MB]        reads both fields of every row; with
//                                                     `room MB`, the process may take only that
//                                                     much more address space (Linux), so that
//                                                     running out of memory can be seen
//
// floor and walk print "read <characters>" and "peak <resident KB> <virtual KB>"
// (virtual 0 where the system does not tell it), or the DataError's message on
// standard error and exit 1.
//
//   /usr/bin/time -v data_walk_child walk data.mdb    # "Maximum resident set size"
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <sqlite3.h>
#if defined(Q_OS_UNIX)
#include <sys/resource.h>
#endif

namespace {

void make(const QString &path, int bigMegabytes, int rows)
{
    createDatabaseFile(path);
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO sp (Name, demo) VALUES (?, ?)", -1, &insert, nullptr);
    const QByteArray big(qsizetype(bigMegabytes) * 1024 * 1024, 'x');
    sqlite3_bind_text(insert, 1, "big", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, big.constData(), int(big.size()), SQLITE_STATIC);
    sqlite3_step(insert);
    sqlite3_reset(insert);
    const QByteArray body = QByteArray("一二三四五六七八九十").repeated(10);
    for (int i = 0; i < rows; ++i) {
        const QByteArray name = "row" + QByteArray::number(i);
        sqlite3_bind_text(insert, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, body.constData(), int(body.size()), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// A line of /proc/self/status in KB ("VmPeak", "VmSize"), or 0.
long statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void limitAddressSpace(long roomMegabytes)
{
#if defined(Q_OS_LINUX)
    const rlim_t bytes = rlim_t(statusKilobytes("VmSize") + roomMegabytes * 1024) * 1024;
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_AS, &limit);
#else
    Q_UNUSED(roomMegabytes);
#endif
}

// Reads both fields of every row, or of the first only.
qint64 read(const QString &path, bool wholeTable)
{
    auto database = openDatabase(path);
    auto rs = database->openRecordset(QStringLiteral("sp"));
    qint64 characters = 0;
    for (; !rs->isEOF(); rs->moveNext()) {
        characters += rs->field(QStringLiteral("Name")).text().size();
        characters += rs->field(QStringLiteral("demo")).text().size();
        if (!wholeTable)
            break;
    }
    return characters;
}

long peakResidentKilobytes()
{
#if defined(Q_OS_UNIX)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return long(usage.ru_maxrss); // KB on Linux
#else
    return 0;
#endif
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString &mode = args.at(1);
    const QString &path = args.at(2);
    try {
        if (mode == QLatin1String("make")) {
            make(path, args.size() > 3 ? args.at(3).toInt() : 10,
                 args.size() > 4 ? args.at(4).toInt() : 5000);
            return 0;
        }
        if (mode != QLatin1String("walk") && mode != QLatin1String("floor"))
            return 2;
        if (args.size() > 3)
            limitAddressSpace(args.at(3).toLong());
        const qint64 characters = read(path, mode == QLatin1String("walk"));
        std::printf("read %lld\npeak %ld %ld\n", static_cast<long long>(characters),
                    peakResidentKilobytes(), statusKilobytes("VmPeak"));
    } catch (const DataError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
