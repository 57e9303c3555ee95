// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Database.h"

#include <QString>
#include <memory>

class DataLocation;
class QApplication;
class QCoreApplication;
class MainWindow;

// The program's start, shared by the program itself and the start-up benchmark.
namespace Startup {

// Names the application, gives it its icon and its font (TextFonts::application), makes simplified Chinese
// (China) the default locale whatever LANG says, and loads Qt's Chinese texts for its standard
// buttons and dialogs.
void prepareApplication(QApplication &app);

// Loads Qt's own simplified-Chinese translation (确定, 取消, ...). False if it is not installed.
bool installChineseTranslation(QCoreApplication &app);

// Settles where the files are (DataLocation), creates the main window on them and runs its load
// step. When the data file cannot be found or made, or the skin or the database cannot be used,
// reports it (FatalError; for an installed program with every place looked at) and returns
// null; the window is never shown then. Another program's lock on the data file is waited for up
// to `lockWaitMs`.
std::unique_ptr<MainWindow> openMainWindow(const DataLocation &location, int lockWaitMs = DefaultLockWaitMs);

// The same for the program in `programDir`, with the user's data folder of this account.
std::unique_ptr<MainWindow> openMainWindow(const QString &programDir, int lockWaitMs = DefaultLockWaitMs);

} // namespace Startup
