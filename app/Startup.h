#pragma once

#include <QString>
#include <memory>

class QApplication;
class QCoreApplication;
class MainWindow;

// The program's start, shared by the program itself and the start-up benchmark.
namespace Startup {

// Names the application, gives it its icon and its CJK default font, and loads Qt's Chinese
// texts for the standard buttons.
void prepareApplication(QApplication &app);

// Loads Qt's own simplified-Chinese translation (确定, 取消, ...). False if it is not installed.
bool installChineseTranslation(QCoreApplication &app);

// Creates the main window for the program in `programDir` and runs its load step. When the
// skin or the database cannot be used, reports it (FatalError) and returns null; the window
// is never shown then.
std::unique_ptr<MainWindow> openMainWindow(const QString &programDir);

} // namespace Startup
