// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Startup.h"
#include "widgets/TextFonts.h"

#include "db/DataError.h"
#include "resources/Pictures.h"
#include "shell/DataLocation.h"
#include "shell/FatalError.h"
#include "shell/MainWindow.h"
#include "skin/SkinFile.h"
#include "widgets/LabelledComboBox.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QTranslator>

namespace {

// The main window is a plain widget, which screen readers would take for an unnamed part of
// something else; it is the program's window.
QAccessibleInterface *mainWindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("MainWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void Startup::prepareApplication(QApplication &app)
{
    QAccessible::installFactory(mainWindowAccessible);
    QAccessible::installFactory(LabelledComboBox::accessible);

    // The name serves as the display name too. Setting a display name of its own would make
    // the platform append " — Pellomir" to every window title that does not end in it
    // ("Pellomir1.0", "：：Pellomir：：").
    QApplication::setApplicationName(QStringLiteral("Pellomir"));
    // Ties the windows to the installed launcher (its icon and name in task bars).
    QApplication::setDesktopFileName(QStringLiteral(PELLOMIR_APP_ID));
    QApplication::setWindowIcon(Pictures::windowIcon());

    QApplication::setFont(TextFonts::application());

    // The interface is Chinese whatever the environment's language: numbers, sizes and dates
    // too ("144 字节", "2026/12/10"), and Qt's own texts in its dialogs.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    installChineseTranslation(app);
}

bool Startup::installChineseTranslation(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

std::unique_ptr<MainWindow> Startup::openMainWindow(const QString &programDir, int lockWaitMs)
{
    return openMainWindow(DataLocation(programDir, DataLocation::defaultUserDataDir()), lockWaitMs);
}

std::unique_ptr<MainWindow> Startup::openMainWindow(const DataLocation &location, int lockWaitMs)
{
    ProgramFiles files;
    try {
        files = location.resolve();
    } catch (const DataLocationError &error) {
        FatalError::report(FatalError::installedStartupFailed(error.message()));
        return nullptr;
    }

    QString cause;
    bool inUse = false;
    {
        // Loading may wait for another program that holds data.mdb locked.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto cursorBack = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        try {
            auto window = std::make_unique<MainWindow>(files);
            window->setLockWaitLimit(lockWaitMs);
            window->load();
            return window;
        } catch (const SkinError &error) {
            cause = error.message();
        } catch (const DataError &error) {
            cause = error.message();
            inUse = error.isFileInUse();
        } catch (const std::exception &error) {
            cause = QString::fromLocal8Bit(error.what());
        }
    }
    if (inUse) {
        FatalError::report(FatalError::dataFileInUse(cause));
        return nullptr;
    }
    // An installed program looks in several places; a portable one only in its own folder,
    // which the cause names already.
    if (files.isInstalled())
        FatalError::report(FatalError::installedStartupFailed(cause + QLatin1Char('\n')
                                                              + files.searchedText()));
    else
        FatalError::report(FatalError::startupFailed(cause));
    return nullptr;
}
