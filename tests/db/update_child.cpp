// SPDX-License-Identifier: GPL-3.0-or-later
// Helper process for the data tests. Adds one row to a notebook table through
// the data layer, prints "done" once Update has returned, then waits to be
// killed:  data_update_child <data.mdb> <table> <Name> <demo>
#include "db/Database.h"
#include "db/Recordset.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    try {
        auto database = openDatabase(args.at(1));
        auto rs = database->openRecordset(args.at(2));
        rs->addNew();
        rs->setField(QStringLiteral("Name"), args.at(3));
        rs->setField(QStringLiteral("demo"), args.at(4));
        rs->update();
        std::fputs("done\n", stdout);
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1); // connection and cursor stay open until the kill
    } catch (const DataError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
