// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/MainWindow.h"

#include "db/DailyBackup.h"
#include "db/Database.h"
#include "db/ProgramPresence.h"
#include "db/DataError.h"
#include "db/ShippedFoods.h"
#include "datafile/DataFileUpgrade.h"
#include "datafile/DataLayout.h"
#include "foodlog/ui/FoodLogSection.h"
#include "foods/ui/CaloriePanel.h"
#include "notebook/NotebookSections.h"
#include "ownfoods/ui/OwnFoodEditor.h"
#include "notebook/ui/NoteExports.h"
#include "notebook/ui/NotebookController.h"
#include "report/ui/ReportExports.h"
#include "shell/AboutPage.h"
#include "shell/DataCommands.h"
#include "shell/ExerciseTab.h"
#include "skin/ui/SkinCaptions.h"
#include "shell/StartupBackup.h"
#include "skin/ui/SkinButton.h"
#include "widgets/AfterFirstPaint.h"
#include "widgets/ApplicationTitle.h"
#include "widgets/AutoSizeLabel.h"
#include "widgets/ExportFile.h"
#include "widgets/ImageButton.h"
#include "widgets/ListKeys.h"
#include "widgets/MessageBox.h"
#include "widgets/PictureBox.h"
#include "widgets/UrlOpener.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QApplication>
#include <QContextMenuEvent>
#include <QPointer>
#include <QMenu>
#include <QShortcut>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>
#include <QTreeView>

namespace {

// The notebook's sections as the skin's column shows them.
QList<SkinCaption> notebookCaptions()
{
    QList<SkinCaption> captions;
    for (const NotebookSection &section : NotebookSections::all())
        captions.append({section.skinObject, section.caption});
    return captions;
}

// The first control inside `container` that Tab would reach, or the container itself.
QWidget *firstInTabOrder(QWidget *container)
{
    for (QWidget *w = container->nextInFocusChain(); w && w != container; w = w->nextInFocusChain()) {
        if (container->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(container))
            return w;
    }
    return container;
}

} // namespace

MainWindow::MainWindow(const QString &programDir, QWidget *parent)
    : MainWindow(ProgramFiles::inFolder(programDir), parent)
{
}

MainWindow::MainWindow(const ProgramFiles &files, QWidget *parent, Clock clock)
    : QWidget(parent), m_files(files), m_clock(std::move(clock)), m_foods(files.dataFile)
{
    m_skin = new SkinEngine(this);
    m_skin->setObjectName(QStringLiteral("skn"));
    m_form.setupForm(this);

    // The shared foods are read afresh first, before any feature reads them again.
    connect(&m_dataReplaced, &DataReplaced::replaced, this, [this] { m_foods.forget(); });
    CaloriePanel::Parts panel;
    panel.dataFile = m_files.dataFile;
    panel.lookup.categoryList = m_form.categoryList;
    panel.lookup.foodTree = m_form.foodTree;
    panel.lookup.treeIcons = m_form.treeIcons;
    panel.lookup.titleView = m_form.titleView;
    panel.lookup.foodNameBox = m_form.foodNameBox;
    panel.lookup.kcalFigure = m_form.kcalFigure;
    panel.panel = m_form.caloriePanel;
    panel.kcalUnit = m_form.kcalUnit;
    panel.foods = &m_foods;
    // 记一笔: the food on show and its amount, into today's food log.
    panel.log = [this](const FoodChoice &food, int grams) { return m_foodLog && m_foodLog->logToday(food, grams); };
    // The foods the user logs, first in the panel's search too.
    panel.preferredFoods = [this] { return m_foodLog ? m_foodLog->recentFoods() : QStringList(); };
    m_calorie = new CaloriePanel(std::move(panel), searchOptions(), this);

    // In the Tab order between the tree and the name of the food on show.
    QWidget *previous = m_form.foodTree;
    for (QWidget *next : m_calorie->tabOrder() + QList<QWidget *>{m_form.foodNameBox}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }

    // Ctrl+F anywhere in the window: the calorie panel, the focus in the search.
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &MainWindow::openFoodSearch);
}

void MainWindow::openFoodSearch()
{
    if (!m_notebook)
        return; // not loaded: the window is not on show
    hotSpotClicked(skinObjectOf(SkinView::Calories));
    m_calorie->focusSearch();
}

MainWindow::~MainWindow()
{
    // A copy still being made is finished, not cut off: a half-made copy would only be removed
    // at the next start.
    if (m_backupThread)
        m_backupThread->wait();
}

void MainWindow::loadStartupSkin()
{
    m_skin->loadSkin(m_files.skinFile);
    m_skin->applySkin(this, QStringLiteral("Simple"));
    makeSkinButtons();
}

void MainWindow::makeSkinButtons()
{
    // After the window's own controls in the Tab order, so Tab from the title reaches the
    // section buttons at once.
    QWidget *previous = m_form.foodNameBox;
    for (const SkinCaption &entry : skinCaptions(notebookCaptions())) {
        const SkinObject *object = m_skin->object(entry.object);
        if (!object)
            continue;
        auto *button = new SkinButton(*m_skin, *object, entry.caption, this);
        button->show();
        QWidget::setTabOrder(previous, button);
        previous = button;
    }
}

void MainWindow::load()
{
    loadStartupSkin();

    for (QWidget *button : {m_form.previousButton, m_form.nextButton, m_form.newButton, m_form.deleteButton, m_form.saveButton})
        button->hide();
    m_form.bodyView->show();
    m_form.titleEdit->hide();
    m_form.bodyEdit->hide();
    m_form.caloriePanel->hide();

    // The temporaries of copies that a killed copy of the program left go at once when no other
    // copy runs; this one begins none before this.
    m_presence = std::make_unique<ProgramPresence>(m_files.dataFile, [this] {
        DailyBackup(m_files.dataFile).removeTemporaries(DailyBackup::Others::NoneCopying);
    });
    m_database = openDatabase(m_files.dataFile, OpenMode::ReadWrite, m_lockWaitMs);
    upgradeDataFile();

    NotebookControls notebookControls;
    notebookControls.window = this;
    notebookControls.previousButton = m_form.previousButton;
    notebookControls.nextButton = m_form.nextButton;
    notebookControls.newButton = m_form.newButton;
    notebookControls.deleteButton = m_form.deleteButton;
    notebookControls.saveButton = m_form.saveButton;
    notebookControls.otherViews = {m_form.welcomePicture, m_form.caloriePanel};
    notebookControls.titleView = m_form.titleView;
    notebookControls.bodyView = m_form.bodyView;
    notebookControls.titleEdit = m_form.titleEdit;
    notebookControls.bodyEdit = m_form.bodyEdit;
    notebookControls.backCommand = m_form.backCommand;
    notebookControls.forwardCommand = m_form.forwardCommand;
    notebookControls.addCommand = m_form.addCommand;
    notebookControls.deleteCommand = m_form.deleteCommand;
    m_notebook = std::make_unique<NotebookController>(*m_database, notebookControls);
    m_notebook->follow(m_dataReplaced);

    m_foodLog = std::make_unique<FoodLogSection>(
        *m_database, this, m_form.leftPanelControls(), MainForm::leftPanelArea(), m_clock, [this] { return FoodChoices(m_foods.index(), searchOptions()); });
    m_foodLog->follow(m_dataReplaced);
    OwnFoodEditor::Parts ownFoods;
    ownFoods.window = this;
    ownFoods.schema = [this]() -> LogSchema & { return m_foodLog->schema(); };
    ownFoods.foods = [this] { return m_foodLog->foods(); };
    ownFoods.changed = [this](const QString &saved) { m_dataReplaced.announce(DataReplaced::Part::OwnFoods, saved); };
    m_ownFoods = std::make_unique<OwnFoodEditor>(std::move(ownFoods));
    // The log's view, once made, shows 运动 as a tab and asks for an own food it cannot find.
    m_foodLog->setViewMade([this](FoodLogView &view) {
        addExerciseTab(view, m_foodLog->schema());
        connect(&view, &FoodLogView::ownFoodAsked, this, [this](const QString &typed) { m_ownFoods->edit(QString(), typed); });
    });
    connect(m_calorie, &CaloriePanel::ownFoodAsked, this, [this](const QString &typed) { m_ownFoods->edit(QString(), typed); });
    connect(m_calorie, &CaloriePanel::ownFoodEditAsked, this, [this](const QString &name) { m_ownFoods->edit(name); });

    m_calorie->load(*m_database, m_dataReplaced);
    connectEvents();
    makeWindowMenu();
    addShortcuts();
}

void MainWindow::finishStartAfterFirstFrame()
{
    new AfterFirstPaint(this, [this] { startDailyBackup(); });
    // The window may stay open over midnight: once a minute the day is looked at again, from
    // the clock every reader of today's date uses.
    auto *dayChange = new QTimer(this);
    dayChange->setObjectName(QStringLiteral("backupDayTimer"));
    dayChange->setInterval(60 * 1000);
    connect(dayChange, &QTimer::timeout, this, &MainWindow::backUpNewDay);
    dayChange->start();
}

void MainWindow::backUpNewDay()
{
    if (m_backupDay.isValid() && m_clock.today() != m_backupDay && !isBackupRunning())
        startDailyBackup();
}

namespace {

// The program's settings, where the user's choices and what was told are remembered.
QSettings settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Pellomir"),
                     QStringLiteral("Pellomir"));
}

} // namespace

FoodSearchIndex::Options MainWindow::searchOptions()
{
    FoodSearchIndex::Options options;
    options.fuzzySounds = settings().value(QStringLiteral("search/fuzzySounds"), true).toBool();
    return options;
}

void MainWindow::startDailyBackup()
{
    // The copy and its check read the whole file: on a thread of their own, with connections of
    // their own, so the window answers throughout. What to tell is decided back here.
    const QString dataFile = m_files.dataFile;
    const QDate today = m_clock.today();
    m_backupDay = today;
    auto cause = std::make_shared<QString>();
    m_backupThread.reset(QThread::create([dataFile, today, cause] {
        *cause = StartupBackup::copyToday(dataFile, today);
    }));
    m_backupThread->setObjectName(QStringLiteral("dailyBackup"));
    connect(m_backupThread.get(), &QThread::finished, this, [this, today, cause] {
        QSettings memory = settings();
        m_backupNotice = StartupBackup::noticeFor(*cause, today, memory);
        showStartupNotices();
    });
    m_backupThread->start(QThread::LowPriority);
}

bool MainWindow::isBackupRunning() const
{
    return m_backupThread && m_backupThread->isRunning();
}

void MainWindow::runDailyBackup()
{
    // Only a file the program could start with is copied, and the copy never stops it.
    QSettings memory = settings();
    m_backupNotice = StartupBackup::run(m_files.dataFile, m_clock.today(), memory);
}

void MainWindow::upgradeDataFile()
{
    const DataFileUpgrade::Outcome outcome = DataFileUpgrade::atStart(*m_database, m_files.templateFile, m_clock);
    if (outcome.newer) {
        // Every start says it: whatever is written now would be lost to the newer release's rules.
        m_database = openDatabase(m_files.dataFile, OpenMode::ReadOnly, m_lockWaitMs);
        m_upgradeNotice = outcome.message;
        return;
    }
    if (!outcome.failure.isEmpty())
        qWarning("%s", qUtf8Printable(outcome.failure)); // used as it is; tried again at the next start
    // Said once for each food table a release ships.
    const QString toldKey = QStringLiteral("foods/keptOwnTablesTold");
    QSettings memory = settings();
    if (outcome.keptOwnFoods) {
        const QString shipped = ShippedFoods::templateStamp(m_files.templateFile);
        if (memory.value(toldKey).toString() != shipped) {
            memory.setValue(toldKey, shipped);
            m_upgradeNotice = DataFileUpgrade::keptOwnFoodsText();
        }
    } else if (memory.contains(toldKey)) {
        memory.remove(toldKey);
    }
}

void MainWindow::showStartupNotices()
{
    if (!m_upgradeNotice.isEmpty())
        MessageBox::information(this, QString::fromUtf8(ApplicationTitle), m_upgradeNotice);
    m_upgradeNotice.clear();
    if (!m_backupNotice.isEmpty())
        MessageBox::information(this, QString::fromUtf8(ApplicationTitle), m_backupNotice);
    m_backupNotice.clear();
}

void MainWindow::hotSpotClicked(const QString &objectName)
{
    switch (skinViewOf(objectName)) {
    case SkinView::FoodLog:
        m_foodLog->enter();
        break;
    case SkinView::Calories:
        m_foodLog->leave();
        showCaloriePanel();
        break;
    case SkinView::HomePage:
        openAboutPage();
        break;
    case SkinView::Other:
        if (NotebookSections::forSkinObject(objectName)) {
            m_foodLog->leave();
            m_notebook->openSectionForSkinObject(objectName);
        }
        break;
    }
}

void MainWindow::showCaloriePanel()
{
    m_form.caloriePanel->show();
    // The notebook hides its controls; a keyboard focus among them goes into the panel.
    m_notebook->leave(firstInTabOrder(m_form.caloriePanel));
    m_form.welcomePicture->hide();
    m_calorie->showTitle();
}

void MainWindow::openAboutPage()
{
    const QString file = AboutPage::file(m_files);
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        MessageBox::information(this, QString::fromUtf8(ApplicationTitle),
                                QStringLiteral("找不到关于页面：") + QDir::toNativeSeparators(file));
        return;
    }
    if (!UrlOpener::open(QUrl::fromLocalFile(file)))
        MessageBox::information(this, QString::fromUtf8(ApplicationTitle),
                                QStringLiteral("没有能打开关于页面的浏览器。请用浏览器打开这个文件：")
                                    + QDir::toNativeSeparators(file));
}

void MainWindow::addShortcuts()
{
    // Ctrl+1 … Ctrl+6: the skin's buttons down the right-hand column, in order. They work
    // whether or not the skin draws the button (an older skin has no `f`).
    const QList<SkinCaption> column = sectionButtons(notebookCaptions());
    for (int i = 0; i < column.size(); ++i) {
        const QString name = column.at(i).object;
        auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)), this);
        shortcut->setObjectName(QStringLiteral("shortcut_%1").arg(name));
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, name] {
            hotSpotClicked(name);
            // As Ctrl+F does in the calorie panel: the keyboard where the log is typed into.
            if (skinViewOf(name) == SkinView::FoodLog)
                m_foodLog->focusSearch();
        });
    }
}

void MainWindow::connectEvents()
{
    connect(m_skin, &SkinEngine::clicked, this,
            [this](const SkinObject &object) { hotSpotClicked(object.name()); });

    // The food tree's clicks and keyboard moves are wired by the calorie lookup itself, as it
    // builds it; the notebook's buttons by the notebook.
}

void MainWindow::makeWindowMenu()
{
    DataCommands::Parts parts;
    parts.window = this;
    parts.dataFile = m_files.dataFile;
    parts.db = m_database.get();
    parts.notebook = m_notebook.get();
    parts.showRestoredData = [this] { m_dataReplaced.announce(DataReplaced::Part::WholeFile); };
    parts.clock = m_clock;
    parts.templateFile = m_files.templateFile;
    m_commands = std::make_unique<DataCommands>(parts);
    const ExportFile exportFile(this, m_files.dataFile);
    // 报告 and the log's CSV read the file through the log's store, on the file's layout.
    m_reportExports = std::make_unique<ReportExports>(
        ReportExports::Parts{exportFile, m_database.get(), &DataLayout::layout(), m_clock});
    // The log's CSV is offered in the notes' chooser, under its own filter.
    NoteExports::Parts notes{exportFile, m_database.get(), m_clock, {}, {}};
    notes.tableOnShow = [this] { return m_foodLog->isShown() ? QString() : m_notebook->tableOnShow(); };
    notes.offered = {ReportExports::logFilter(), [this](const QString &chosen) { m_reportExports->exportLog(chosen); }};
    m_noteExports = std::make_unique<NoteExports>(std::move(notes));

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("windowMenu"));
    m_menu->setAccessibleName(QStringLiteral("窗口菜单"));
    const auto add = [this](const char *name, const QString &text, void (DataCommands::*command)()) {
        QAction *action = m_menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, command] { (m_commands.get()->*command)(); });
    };
    m_noteExports->addMenuItems(*m_menu);
    m_reportExports->addMenuItems(*m_menu);
    add("backupData", QStringLiteral("备份数据…"), &DataCommands::backupData);
    add("restoreData", QStringLiteral("从备份恢复…"), &DataCommands::restoreData);
    // Where a template is installed beside the program.
    if (!m_files.templateFile.isEmpty())
        add("takeShippedFoods", QStringLiteral("换用随附的食物表…"), &DataCommands::takeShippedFoods);
    m_menu->addSeparator();
    // The user's own foods: the one on show in the calorie panel is the one 修改 changes.
    OwnFoodEditor::MenuParts ownFoods;
    ownFoods.foodOnShow = [this] { return m_calorie->lookup().ownFoodOnShow(); };
    ownFoods.changeOffered = [this] {
        return m_form.caloriePanel->isVisible() && !m_calorie->lookup().ownFoodOnShow().isEmpty();
    };
    ownFoods.dataFile = m_files.dataFile;
    ownFoods.clock = m_clock;
    m_ownFoods->addMenuItems(*m_menu, std::move(ownFoods));
    m_menu->addSeparator();
    // 模糊音 for both searches, remembered between starts.
    QAction *fuzzy = m_menu->addAction(QStringLiteral("搜索时使用模糊音（z/zh、c/ch、s/sh、n/l、h/f、r/l、an/ang、en/eng、in/ing）"));
    fuzzy->setObjectName(QStringLiteral("fuzzySounds"));
    fuzzy->setCheckable(true);
    fuzzy->setChecked(searchOptions().fuzzySounds);
    connect(fuzzy, &QAction::toggled, this, [this](bool on) {
        settings().setValue(QStringLiteral("search/fuzzySounds"), on);
        m_calorie->setSearchOptions(searchOptions());
        // The log's search takes it at its next opening; one on show now, at once.
        if (m_foodLog->isShown()) {
            m_foodLog->leave();
            m_foodLog->enter();
        }
    });
    m_menu->addSeparator();
    add("about", QStringLiteral("关于 Pellomir"), &DataCommands::about);

    // The keys that open a context menu open this one wherever the focus is, the text boxes
    // included (their own edit menus stay on the right mouse button). The platform turns the
    // Menu key into a context-menu event for the control with the focus; Shift+F10 and the key
    // itself, where no such event comes, are shortcuts.
    for (QWidget *control : findChildren<QWidget *>())
        if (control->focusPolicy() != Qt::NoFocus)
            control->installEventFilter(this);
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &MainWindow::popUpWindowMenu);
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu && m_menu
        && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        popUpWindowMenu();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::popUpWindowMenu()
{
    if (!m_menu || m_menu->isVisible())
        return;
    // A list with a menu of its own (the food log's entries) gets the keys that open one.
    if (QWidget *owner = focusWidget(); owner && ListKeys::hasOwnMenu(owner)) {
        const QPoint centre = owner->rect().center();
        QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, centre, owner->mapToGlobal(centre));
        QCoreApplication::sendEvent(owner, &keyboard);
        return;
    }
    const QWidget *focus = focusWidget();
    const QWidget *anchor = focus && focus->isVisible() ? focus : this;
    m_menu->popup(anchor->mapToGlobal(anchor->rect().center()));
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_menu) {
        event->ignore();
        return;
    }
    if (event->reason() == QContextMenuEvent::Keyboard)
        popUpWindowMenu();
    else
        m_menu->popup(event->globalPos());
    event->accept();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A record being written is not thrown away without asking.
    if (m_notebook && !m_notebook->mayClose()) {
        event->ignore();
        return;
    }
    event->accept();
}
