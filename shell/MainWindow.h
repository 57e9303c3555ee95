// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"
#include "db/DataReplaced.h"
#include "db/Database.h"
#include "foods/SharedFoodIndex.h"
#include "shell/DataLocation.h"
#include "skin/ui/MainForm.h"
#include "skin/ui/SkinEngine.h"

#include <QWidget>
#include <memory>

class QThread;

class DataCommands;
class ProgramPresence;
class Database;
class QMenu;
class FoodLogSection;
class NotebookController;
class CaloriePanel;
class OwnFoodEditor;
class NoteExports;
class ReportExports;

// The program's only window. It places the features: each is made with the form's controls
// (MainForm) and handed what it needs of the others as functions; the window switches the left
// panel between them by the view a skin object opens, holds the window menu and the keys that
// reach across them, and says DataReplaced after a restore or an import. Start-up's steps (the
// load step, the one upgrade, the daily backup) are run from here too.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // `files` names the data.mdb and Skin1.dat to use (DataLocation settles them). `clock`
    // says what day it is to the food log, the daily backup and the data commands.
    explicit MainWindow(const ProgramFiles &files, QWidget *parent = nullptr, Clock clock = Clock());
    // A program folder that holds data.mdb and Skin1.dat side by side.
    explicit MainWindow(const QString &programDir, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The load step, run once before the window is shown. Throws SkinError or DataError when
    // the skin or the database cannot be used; the window must not be shown then.
    void load();
    // How long the load step and the data steps wait for another program that holds the data
    // file locked (DefaultLockWaitMs unless set); set before load().
    void setLockWaitLimit(int milliseconds) { m_lockWaitMs = milliseconds; }
    // The start's last steps, run once the window's first frame is on screen, so that the
    // user does not wait for them to see the window: today's backup on a worker thread, then
    // what the start had to say (showStartupNotices). Call before the window is first painted.
    void finishStartAfterFirstFrame();
    // True while today's backup started by finishStartAfterFirstFrame is being made.
    bool isBackupRunning() const;
    // Makes today's backup of the data file if there is none yet; keeps what the user must be
    // told of a failure for showStartupNotices.
    void runDailyBackup();
    // Tells what the start had to say once the window is on show: today's backup failed.
    void showStartupNotices();

    // The data.mdb in use: beside the program, or the user's own file of an installed program.
    const QString &dataFile() const { return m_files.dataFile; }

    // The window's connection to the data file; null until the load step has run.
    Database *database() const { return m_database.get(); }
    // The foods every search of the window shares (how often they were read, for a test).
    const SharedFoodIndex &sharedFoods() const { return m_foods; }

    // A skin button, clicked or chosen by its shortcut: `f` shows the food log in the left
    // panel, `c` the calorie panel, a notebook section (a, b, d, e) its records; `logo` opens
    // the About page. Other names change nothing.
    void hotSpotClicked(const QString &objectName);

    // Opens the window menu (right click, the Menu key, Shift+F10; object windowMenu, made by
    // the load step) where the keyboard focus is.
    void popUpWindowMenu();

protected:
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadStartupSkin();
    void makeSkinButtons();
    void connectEvents();
    void makeWindowMenu();
    // The one upgrade at start: the layout and the shipped food tables (DataFileUpgrade); a file
    // of a newer release is opened again read-only.
    void upgradeDataFile();
    void startDailyBackup();
    // Once a minute: a new day (the window stayed open over midnight) gets its backup.
    void backUpNewDay();
    // How both searches read what is typed (the fuzzy sounds, as the window menu sets them).
    static FoodSearchIndex::Options searchOptions();
    void addShortcuts();
    void openFoodSearch();
    void showCaloriePanel();
    void openAboutPage();

    ProgramFiles m_files;
    Clock m_clock;
    int m_lockWaitMs = DefaultLockWaitMs;
    // The foods every search of the window shares: read once, again after a restore.
    SharedFoodIndex m_foods;
    // Said after a restore or an import; every feature follows it.
    DataReplaced m_dataReplaced;
    MainForm m_form;
    SkinEngine *m_skin; // object skn
    std::unique_ptr<Database> m_database;
    CaloriePanel *m_calorie = nullptr;
    std::unique_ptr<NotebookController> m_notebook;
    std::unique_ptr<FoodLogSection> m_foodLog;
    std::unique_ptr<OwnFoodEditor> m_ownFoods;
    QString m_backupNotice;
    QString m_upgradeNotice; // a newer release's file, or food tables kept as they were changed
    std::unique_ptr<QThread> m_backupThread;
    QDate m_backupDay; // the day of the last backup begun, to begin the next day's after midnight
    std::unique_ptr<ProgramPresence> m_presence;
    std::unique_ptr<DataCommands> m_commands;
    std::unique_ptr<NoteExports> m_noteExports;
    std::unique_ptr<ReportExports> m_reportExports;
    QMenu *m_menu = nullptr;
};
