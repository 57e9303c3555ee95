// SPDX-License-Identifier: GPL-3.0-or-later
// Helper process for the data tests: another program writing to the file
// while the test's cursor walks it. Works through the data layer on a notebook
// table; reads one command per line from standard input and answers each with
// "done" (or "error <message>") once the change is committed:
//
//   data_writer_child <data.mdb> <table>
//     add <Name>       adds a row with that Name (demo "<Name>-body")
//     delete <Name>    deletes the first row with that Name
//
// Prints "ready" when the file is open; ends at the end of its input.
#include "db/Database.h"
#include "db/Recordset.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

void answer(const QString &text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

void add(Recordset &rs, const QString &name)
{
    rs.addNew();
    rs.setField(QStringLiteral("Name"), name);
    rs.setField(QStringLiteral("demo"), name + QStringLiteral("-body"));
    rs.update();
}

void remove(Recordset &rs, const QString &name)
{
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        if (rs.field(QStringLiteral("Name")).textOrEmpty() == name) {
            rs.deleteCurrent();
            return;
        }
    }
    throw DataError(QStringLiteral("no row named ") + name);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    try {
        auto database = openDatabase(args.at(1));
        auto rs = database->openRecordset(args.at(2));
        answer(QStringLiteral("ready"));
        std::string line;
        while (std::getline(std::cin, line)) {
            const QString command = QString::fromStdString(line);
            const QString verb = command.section(QLatin1Char(' '), 0, 0);
            const QString name = command.section(QLatin1Char(' '), 1);
            try {
                if (verb == QLatin1String("add"))
                    add(*rs, name);
                else if (verb == QLatin1String("delete"))
                    remove(*rs, name);
                else
                    throw DataError(QStringLiteral("unknown command ") + verb);
                answer(QStringLiteral("done"));
            } catch (const DataError &error) {
                answer(QStringLiteral("error ") + error.message());
            }
        }
    } catch (const DataError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
