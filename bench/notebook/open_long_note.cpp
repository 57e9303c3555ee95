// SPDX-License-Identifier: GPL-3.0-or-later
// Opens 瘦身食谱 in the real window on a copy of data.mdb whose first record has a title and a
// body of the given size (10 MB by default), shows it, and prints how long the opening took.
// Peak memory comes from GNU time around it:
//   /usr/bin/time -v bench/notebook/open_long_note 10000000 [title|body|both]
#include "shell/MainWindow.h"
#include "shell/Startup.h"
#include "skin/ui/SkinEngine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const qsizetype size = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10'000'000;
    // "title" or "body" makes only that one long, the other a few words.
    const QByteArray which = argc > 2 ? QByteArray(argv[2]) : QByteArray("both");
    QTemporaryDir dir;
    for (const char *name : {"data.mdb", "Skin1.dat", "about.html"})
        QFile::copy(QStringLiteral(PELLOMIR_BIN_DIR "/") + QLatin1String(name), dir.filePath(QLatin1String(name)));
    {
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(dir.filePath(QStringLiteral("data.mdb"))).constData(), &db);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_exec(db, "DELETE FROM sp", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO sp(Name, demo) VALUES (?1, ?2)", -1, &stmt, nullptr);
        // Words of Chinese and Latin letters with spaces: text a person might paste.
        QByteArray text;
        const QByteArray piece = QByteArray("瘦身食谱 low fat 少油少盐 ");
        while (text.size() < size)
            text += piece;
        text.truncate(size);
        const QByteArray title = which == "body" ? piece : text;
        const QByteArray body = which == "title" ? piece : text;
        sqlite3_bind_text(stmt, 1, title.constData(), int(title.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, body.constData(), int(body.size()), SQLITE_TRANSIENT);
        sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    auto window = Startup::openMainWindow(dir.path());
    if (!window)
        return 1;
    window->show();
    app.processEvents();
    QElapsedTimer timer;
    timer.start();
    // The skin engine (object skn) as a click on the skin reaches it.
    window->findChild<SkinEngine *>(QStringLiteral("skn"))->clickObject(QStringLiteral("a")); // 瘦身食谱
    window->repaint();
    app.processEvents();
    std::printf("opened a section with a %lld-byte title and body in %lld ms\n", static_cast<long long>(size),
                static_cast<long long>(timer.elapsed()));
    return 0;
}
