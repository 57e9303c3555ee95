// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds its files: a portable folder, an installed program with its
// share/pellomir beside it, the user's data file made from the template on first start.
#include "db/Database.h"
#include "notebook/ui/NotebookController.h"
#include "shell/AboutPage.h"
#include "shell/DataLocation.h"
#include "shell/FatalError.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"
#include "widgets/UrlOpener.h"
#include "support/WindowParts.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

const QString BinDir = QStringLiteral(PELLOMIR_BIN_DIR);

void writeFile(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Every file and folder under `root`, relative to it, sorted.
QStringList tree(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(root).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

// A throw-away root with an installed-style layout:
//   root/prefix/bin/            the program's folder
//   root/prefix/share/pellomir/ Skin1.dat and the template data.mdb
//   root/home/.local/share/pellomir/  the user's data folder
struct Layout
{
    QTemporaryDir root;
    QString programDir() const { return root.filePath(QStringLiteral("prefix/bin")); }
    QString sharedDir() const { return root.filePath(QStringLiteral("prefix/share/pellomir")); }
    QString userDir() const { return root.filePath(QStringLiteral("home/.local/share/pellomir")); }
};

} // namespace

class TestDataLocation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void resolve_data();
    void resolve();
    void installedWithoutUserFolder();
    void aboutPage_data();
    void aboutPage();
    void installedFirstStartOpensTheWindow();
    void installedLoadFailureNamesEveryPlace();
    void portableWithoutDataMakesNothing();
    void userFolderFollowsXdgDataHome_data();
    void userFolderFollowsXdgDataHome();

private:
    QStringList m_fatalMessages;
};

void TestDataLocation::initTestCase()
{
    FatalError::setHandler([this](const QString &text) { m_fatalMessages << text; });
}

void TestDataLocation::userFolderFollowsXdgDataHome_data()
{
    // XDG_DATA_HOME as set (null: not set at all), and the folder expected under the fake home
    // ("~") or as given. A relative value is ignored, as the XDG Base Directory rules say, never
    // resolved against the folder the program was started in.
    QTest::addColumn<QByteArray>("xdgDataHome");
    QTest::addColumn<QString>("expected");
    QTest::newRow("not set") << QByteArray() << "~/.local/share/pellomir";
    QTest::newRow("empty") << QByteArray("") << "~/.local/share/pellomir";
    QTest::newRow("absolute") << QByteArray("/srv/data") << "/srv/data/pellomir";
    QTest::newRow("relative") << QByteArray("relative/share") << "~/.local/share/pellomir";
    QTest::newRow("dot") << QByteArray("./share") << "~/.local/share/pellomir";
}

void TestDataLocation::userFolderFollowsXdgDataHome()
{
    QFETCH(QByteArray, xdgDataHome);
    QFETCH(QString, expected);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QByteArray oldHome = qgetenv("HOME");
    const bool hadXdg = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        if (hadXdg)
            qputenv("XDG_DATA_HOME", oldXdg);
        else
            qunsetenv("XDG_DATA_HOME");
    });
    qputenv("HOME", QFile::encodeName(home.path()));
    if (xdgDataHome.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", xdgDataHome);
    expected.replace(QLatin1Char('~'), home.path());
    QCOMPARE(DataLocation::defaultUserDataDir(), expected);
}

void TestDataLocation::resolve_data()
{
    // What lies where before the start ("program/…", "shared/…", "user/…"; "user" alone makes
    // the user's data folder a plain file, so nothing can be written there).
    QTest::addColumn<QStringList>("present");
    // Expected: which data file and skin are used (as "program/…" etc.), or the error's start.
    QTest::addColumn<QString>("dataFile");
    QTest::addColumn<QString>("skinFile");
    QTest::addColumn<QString>("error");

    QTest::newRow("portable with data.mdb")
        << QStringList{"program/data.mdb", "program/Skin1.dat"} << "program/data.mdb"
        << "program/Skin1.dat" << "";
    // A data.mdb of its own keeps a program portable even when share/pellomir is beside it.
    QTest::newRow("portable beside a shared folder")
        << QStringList{"program/data.mdb", "program/Skin1.dat", "shared/data.mdb",
                       "shared/Skin1.dat"}
        << "program/data.mdb" << "program/Skin1.dat" << "";
    // Without data.mdb and without a shared folder: the same files, which the load step then
    // reports missing.
    QTest::newRow("portable without data.mdb")
        << QStringList{"program/Skin1.dat"} << "program/data.mdb" << "program/Skin1.dat" << "";
    QTest::newRow("installed, first start")
        << QStringList{"shared/data.mdb", "shared/Skin1.dat"} << "user/data.mdb"
        << "shared/Skin1.dat" << "";
    QTest::newRow("installed, user file exists")
        << QStringList{"shared/data.mdb", "shared/Skin1.dat", "user/data.mdb"} << "user/data.mdb"
        << "shared/Skin1.dat" << "";
    QTest::newRow("installed, own skin beside the program")
        << QStringList{"program/Skin1.dat", "shared/data.mdb", "shared/Skin1.dat"}
        << "user/data.mdb" << "program/Skin1.dat" << "";
    QTest::newRow("installed, user file exists, template missing")
        << QStringList{"shared/Skin1.dat", "user/data.mdb"} << "user/data.mdb"
        << "shared/Skin1.dat" << "";
    QTest::newRow("installed, template missing")
        << QStringList{"shared/Skin1.dat"} << "" << ""
        << "找不到数据文件 data.mdb，也找不到用来新建它的模板";
    QTest::newRow("installed, unwritable home")
        << QStringList{"shared/data.mdb", "shared/Skin1.dat", "user"} << "" << ""
        << "无法在";
}

void TestDataLocation::resolve()
{
    QFETCH(QStringList, present);
    QFETCH(QString, dataFile);
    QFETCH(QString, skinFile);
    QFETCH(QString, error);

    Layout layout;
    QVERIFY(layout.root.isValid());
    QVERIFY(QDir().mkpath(layout.programDir()));
    const auto place = [&layout](const QString &name) {
        const QString folder = name.section(QLatin1Char('/'), 0, 0);
        const QString rest = name.mid(folder.size());
        if (folder == QLatin1String("program"))
            return layout.programDir() + rest;
        return (folder == QLatin1String("shared") ? layout.sharedDir() : layout.userDir()) + rest;
    };
    // Each file holds its own name, so a copy shows where it came from.
    for (const QString &name : present)
        writeFile(place(name), name.toUtf8());
    const QStringList before = tree(layout.root.path());

    const DataLocation location(layout.programDir(), layout.userDir());
    if (!error.isEmpty()) {
        try {
            location.resolve();
            QFAIL("no error");
        } catch (const DataLocationError &failure) {
            const QString message = failure.message();
            QVERIFY2(message.startsWith(error), qPrintable(message));
            // Every place looked at is named.
            for (const QString &file : {QStringLiteral("program/data.mdb"),
                                        QStringLiteral("user/data.mdb"),
                                        QStringLiteral("shared/data.mdb")})
                QVERIFY2(message.contains(QDir::toNativeSeparators(place(file))), qPrintable(message));
        }
        // Nothing made anywhere, no temporary file left behind.
        QCOMPARE(tree(layout.root.path()), before);
        return;
    }

    const ProgramFiles files = location.resolve();
    QCOMPARE(files.dataFile, place(dataFile));
    QCOMPARE(files.skinFile, place(skinFile));
    QCOMPARE(files.programDir, layout.programDir());
    QCOMPARE(files.isInstalled(), dataFile.startsWith(QStringLiteral("user")));
    if (files.isInstalled())
        QCOMPARE(files.sharedDir, layout.sharedDir());

    QStringList expected = before;
    if (!present.contains(dataFile) && dataFile.startsWith(QStringLiteral("user"))) {
        // First start: the template, byte for byte, under the user's name, and nothing else.
        QCOMPARE(readFile(files.dataFile), QByteArray("shared/data.mdb"));
        for (const char *made : {"home", "home/.local", "home/.local/share",
                                    "home/.local/share/pellomir",
                                    "home/.local/share/pellomir/data.mdb"})
            if (!expected.contains(made))
                expected << made;
        expected.sort();
    } else if (present.contains(dataFile)) {
        // An existing file is used as it is.
        QCOMPARE(readFile(files.dataFile), dataFile.toUtf8());
    }
    QCOMPARE(tree(layout.root.path()), expected);

    // A second start finds the same files and changes nothing.
    const QStringList afterFirst = tree(layout.root.path());
    const QByteArray userBytes = readFile(files.dataFile);
    QCOMPARE(location.resolve().dataFile, files.dataFile);
    QCOMPARE(tree(layout.root.path()), afterFirst);
    QCOMPARE(readFile(files.dataFile), userBytes);
}

// A system that names no data folder: refused with a message, and nothing is made anywhere
// (in particular not beside the root folder, where an empty folder name would lead).
void TestDataLocation::installedWithoutUserFolder()
{
    Layout layout;
    writeFile(layout.sharedDir() + QStringLiteral("/data.mdb"), "template");
    QVERIFY(QDir().mkpath(layout.programDir()));
    const QStringList before = tree(layout.root.path());
    try {
        DataLocation(layout.programDir(), QString()).resolve();
        QFAIL("no error");
    } catch (const DataLocationError &failure) {
        QVERIFY2(failure.message().contains(QStringLiteral("存放用户数据的文件夹")),
                 qPrintable(failure.message()));
    }
    QCOMPARE(tree(layout.root.path()), before);
}

void TestDataLocation::aboutPage_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("expected");
    QTest::newRow("portable") << QStringList{"program/data.mdb", "program/about.html"}
                              << "program/about.html";
    // A portable folder without the page names it beside the program all the same.
    QTest::newRow("portable without the page") << QStringList{"program/data.mdb"}
                                               << "program/about.html";
    QTest::newRow("installed") << QStringList{"shared/data.mdb", "shared/about.html"}
                               << "shared/about.html";
    QTest::newRow("installed, own page beside the program")
        << QStringList{"shared/data.mdb", "shared/about.html", "program/about.html"}
        << "program/about.html";
}

void TestDataLocation::aboutPage()
{
    QFETCH(QStringList, present);
    QFETCH(QString, expected);
    Layout layout;
    QVERIFY(QDir().mkpath(layout.programDir()));
    const auto place = [&layout](const QString &name) {
        return (name.startsWith(QLatin1String("program/")) ? layout.programDir() : layout.sharedDir())
            + name.mid(name.indexOf(QLatin1Char('/')));
    };
    for (const QString &name : present)
        writeFile(place(name), name.toUtf8());
    const ProgramFiles files = DataLocation(layout.programDir(), layout.userDir()).resolve();
    QCOMPARE(AboutPage::file(files), place(expected));
}

void TestDataLocation::installedFirstStartOpensTheWindow()
{
    Layout layout;
    QVERIFY(QDir().mkpath(layout.programDir()));
    QVERIFY(QDir().mkpath(layout.sharedDir()));
    for (const char *name : {"data.mdb", "Skin1.dat", "about.html"})
        QVERIFY(QFile::copy(BinDir + QLatin1Char('/') + QLatin1String(name),
                            layout.sharedDir() + QLatin1Char('/') + QLatin1String(name)));
    m_fatalMessages.clear();

    const auto window = Startup::openMainWindow(DataLocation(layout.programDir(), layout.userDir()));

    QVERIFY2(window, qPrintable(m_fatalMessages.join('\n')));
    const QString userFile = layout.userDir() + QStringLiteral("/data.mdb");
    QCOMPARE(window->dataFile(), userFile);
    QCOMPARE(window->database()->path(), userFile);
    QVERIFY(formOf(*window).foodTree->model()->rowCount(formOf(*window).foodTree->model()->index(0, 0)) > 0);
    // The mascot opens the About page installed in share/pellomir.
    UrlOpener::Recorder urls;
    window->hotSpotClicked(QStringLiteral("logo"));
    QCOMPARE(urls.asked(),
             QList<QUrl>{QUrl::fromLocalFile(layout.sharedDir() + QStringLiteral("/about.html"))});
    // The program's folder stays empty; an installed program writes only in the user's folder.
    QCOMPARE(tree(layout.programDir()), QStringList());
}

void TestDataLocation::installedLoadFailureNamesEveryPlace()
{
    Layout layout;
    QVERIFY(QDir().mkpath(layout.programDir()));
    QVERIFY(QDir().mkpath(layout.sharedDir()));
    QVERIFY(QFile::copy(BinDir + QStringLiteral("/Skin1.dat"),
                        layout.sharedDir() + QStringLiteral("/Skin1.dat")));
    writeFile(layout.userDir() + QStringLiteral("/data.mdb"),
              QByteArray("This is not a database.\n").repeated(100));
    m_fatalMessages.clear();

    const auto window = Startup::openMainWindow(DataLocation(layout.programDir(), layout.userDir()));

    QVERIFY(!window);
    QCOMPARE(m_fatalMessages.size(), 1);
    const QString &message = m_fatalMessages.first();
    QVERIFY2(message.startsWith(QStringLiteral("Pellomir 无法启动。")), qPrintable(message));
    for (const QString &file : {layout.programDir() + QStringLiteral("/Skin1.dat"),
                                layout.sharedDir() + QStringLiteral("/Skin1.dat"),
                                layout.programDir() + QStringLiteral("/data.mdb"),
                                layout.userDir() + QStringLiteral("/data.mdb")})
        QVERIFY2(message.contains(QDir::toNativeSeparators(file)), qPrintable(message));
    // The advice points to those places, not to the program's folder alone.
    QVERIFY2(message.contains(QStringLiteral("上面列出的位置")), qPrintable(message));
}

void TestDataLocation::portableWithoutDataMakesNothing()
{
    Layout layout;
    QVERIFY(QDir().mkpath(layout.programDir()));
    QVERIFY(QFile::copy(BinDir + QStringLiteral("/Skin1.dat"),
                        layout.programDir() + QStringLiteral("/Skin1.dat")));
    const QStringList before = tree(layout.root.path());
    m_fatalMessages.clear();

    const auto window = Startup::openMainWindow(DataLocation(layout.programDir(), layout.userDir()));

    QVERIFY(!window);
    QCOMPARE(m_fatalMessages.size(), 1);
    const QString &message = m_fatalMessages.first();
    QVERIFY2(message.contains(layout.programDir() + QStringLiteral("/data.mdb")), qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("查找过的位置")), qPrintable(message));
    QCOMPARE(tree(layout.root.path()), before);
}

QTEST_MAIN(TestDataLocation)
#include "test_data_location.moc"
