// SPDX-License-Identifier: GPL-3.0-or-later
#include "notebook/ui/NotebookController.h"

#include "db/DataReplaced.h"
#include "db/Database.h"
#include "db/DataError.h"
#include "db/Recordset.h"
#include "notebook/NotebookSections.h"
#include "widgets/ApplicationTitle.h"
#include "widgets/LongLines.h"
#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTextBoundaryFinder>
#include <QTextEdit>
#include <QWidget>

#include <limits>

namespace {

const QString NameField = QStringLiteral("Name");
const QString BodyField = QStringLiteral("demo");

// Leading and trailing spaces removed; other white space (tabs, line breaks)
// belongs to the text.
QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

// Runs a cursor step whose failure the caller does not act on. A failure
// because another program holds the file goes on to the user action, which
// says so (NotebookController::userAction).
template <typename Step>
bool tryStep(Step step)
{
    try {
        step();
        return true;
    } catch (const DataError &error) {
        if (error.isFileInUse())
            throw;
        return false;
    }
}

// The same for the steps that show what a write did, once the write has
// succeeded: nothing may take back its report, so no failure goes further.
template <typename Step>
bool tryStepAfterWrite(Step step)
{
    try {
        step();
        return true;
    } catch (const DataError &) {
        return false;
    }
}

void setVisible(const QList<QWidget *> &widgets, bool visible)
{
    for (QWidget *widget : widgets) {
        if (widget)
            widget->setVisible(visible);
    }
}

} // namespace

NotebookController::NotebookController(Database &database, NotebookControls controls)
    : m_db(database), m_c(std::move(controls))
{
    // Titles are shown and typed whole, however long.
    m_c.titleView->setMaxLength(std::numeric_limits<int>::max());
    m_c.titleEdit->setMaxLength(std::numeric_limits<int>::max());
    wireButtons();
}

void NotebookController::wireButtons()
{
    const auto wire = [this](QWidget *control, void (NotebookController::*operation)()) {
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            QObject::connect(button, &QAbstractButton::clicked, button, [this, operation] { (this->*operation)(); });
    };
    wire(m_c.previousButton, &NotebookController::onPreviousClicked);
    wire(m_c.nextButton, &NotebookController::onNextClicked);
    wire(m_c.newButton, &NotebookController::onNewClicked);
    wire(m_c.deleteButton, &NotebookController::onDeleteClicked);
    wire(m_c.saveButton, &NotebookController::onSaveClicked);
    wire(m_c.backCommand, &NotebookController::showPreviousRecord);
    wire(m_c.forwardCommand, &NotebookController::showNextRecord);
    wire(m_c.addCommand, &NotebookController::saveNewRecord);
    wire(m_c.deleteCommand, &NotebookController::deleteRecordOnShow);
}

NotebookController::~NotebookController()
{
    QObject::disconnect(m_following);
}

void NotebookController::follow(DataReplaced &replaced)
{
    m_following = QObject::connect(&replaced, &DataReplaced::replaced, &replaced, [this](DataReplaced::Part part) {
        if (part == DataReplaced::Part::WholeFile)
            reload();
    });
}

void NotebookController::openSectionForSkinObject(const QString &skinObject)
{
    if (const NotebookSection *section = NotebookSections::forSkinObject(skinObject))
        openSection(*section);
}

void NotebookController::leave(QWidget *focusTarget)
{
    m_c.titleView->setText(QString());
    switchControls({}, {m_c.previousButton, m_c.nextButton, m_c.newButton, m_c.deleteButton}, focusTarget);
    m_shown = false;
}

void NotebookController::switchControls(const QList<QWidget *> &shown, const QList<QWidget *> &hidden,
                                        QWidget *focusTarget)
{
    setVisible(shown, true);
    // Qt hands the focus of a control being hidden to the next one in the tab order, and a
    // window that gets active again does the same for a control hidden meanwhile. The next
    // one can be − (delete), where two more presses of Return would delete the record on
    // show. So the focus moves to a harmless control first.
    QWidget *focus = m_c.window ? m_c.window->focusWidget() : nullptr;
    bool focusHidden = focus && !focus->isVisibleTo(m_c.window);
    for (QWidget *widget : hidden)
        focusHidden = focusHidden || (widget && focus && (widget == focus || widget->isAncestorOf(focus)));
    if (focusHidden && focusTarget)
        focusTarget->setFocus(Qt::OtherFocusReason);
    setVisible(hidden, false);
}

template <typename Steps>
void NotebookController::userAction(const QString &failed, Steps steps)
{
    LockWaitAction action(m_db, [this] { showBusyCursor(); });
    const auto cursorBack = qScopeGuard([this] { hideBusyCursor(); });
    try {
        steps();
    } catch (const DataError &error) {
        if (!error.isFileInUse())
            throw;
        inform(NotebookBoxTitle, failed + error.message());
    }
}

void NotebookController::showBusyCursor()
{
    if (!m_busyCursor) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_busyCursor = true;
    }
}

void NotebookController::hideBusyCursor()
{
    if (m_busyCursor) {
        QGuiApplication::restoreOverrideCursor();
        m_busyCursor = false;
    }
}

void NotebookController::openSection(const NotebookSection &section)
{
    userAction(QString(), [&] { openSectionSteps(section); });
}

void NotebookController::openSectionSteps(const NotebookSection &section)
{
    // Open and read first, change the window after: a section that cannot be
    // read leaves the window and the section on show as they were.
    std::unique_ptr<Recordset> opened;
    QString title;
    QString body = section.emptyHint;
    try {
        opened = m_db.openRecordset(section.table);
        if (!opened->isEOF()) {
            opened->moveFirst();
            title = opened->field(section.firstTitleField).textOrEmpty();
            body = opened->field(BodyField).textOrEmpty();
        }
    } catch (const DataError &error) {
        inform(NotebookBoxTitle, QStringLiteral("无法打开%1：").arg(section.caption) + error.message());
        return;
    }

    QWidget *reader = m_c.bodyView->isHidden() ? static_cast<QWidget *>(m_c.titleEdit) : m_c.bodyView;
    switchControls({m_c.previousButton, m_c.nextButton, m_c.newButton, m_c.deleteButton}, m_c.otherViews, reader);
    m_records = std::move(opened);
    m_section = &section;
    m_shown = true;
    showTexts(title, body);
}

void NotebookController::onPreviousClicked()
{
    switchControls({m_c.titleView, m_c.bodyView}, {m_c.titleEdit, m_c.bodyEdit}, m_c.bodyView);
    showPreviousRecord();
}

void NotebookController::onNextClicked()
{
    switchControls({m_c.titleView, m_c.bodyView}, {m_c.titleEdit, m_c.bodyEdit}, m_c.bodyView);
    showNextRecord();
}

void NotebookController::onNewClicked()
{
    showEntryView();
    clearInputs();
    m_c.titleEdit->setFocus();
    m_writing = true;
}

void NotebookController::onDeleteClicked()
{
    deleteRecordOnShow();
}

void NotebookController::onSaveClicked()
{
    saveNewRecord();
}

void NotebookController::showPreviousRecord()
{
    if (!m_records)
        return;
    userAction(QStringLiteral("无法显示上一条信息："), [&] {
        // In an empty section the move fails and both end flags stay set.
        tryStep([&] { m_records->movePrevious(); });
        if (m_records->isBOF()) {
            inform(NotebookBoxTitle, QStringLiteral("已经是第一条信息了！"));
            tryStep([&] { m_records->moveFirst(); });
            return;
        }
        showCurrentRecord();
    });
}

void NotebookController::showNextRecord()
{
    if (!m_records)
        return;
    userAction(QStringLiteral("无法显示下一条信息："), [&] {
        tryStep([&] { m_records->moveNext(); });
        if (m_records->isEOF()) {
            inform(NotebookBoxTitle, QStringLiteral("已经是最后一条信息了！"));
            tryStep([&] { m_records->moveLast(); });
            return;
        }
        showCurrentRecord();
    });
}

void NotebookController::saveNewRecord()
{
    const QString typedTitle = m_c.titleEdit->text();
    const QString typedBody = LongLines::plainText(m_c.bodyEdit->document());
    if (typedTitle.isEmpty() || typedBody.isEmpty()) {
        inform(ApplicationTitle, QStringLiteral("都没写呢就要保存了啊？"));
        // The inputs may have been hidden by browsing: bring them back so the
        // focus has somewhere to go.
        showEntryView();
        m_c.titleEdit->setFocus();
        return;
    }
    if (!m_records) {
        inform(ApplicationTitle, QStringLiteral("没有保存：还没有打开任何栏目。"));
        showEntryView();
        return;
    }

    userAction(QStringLiteral("没有保存："), [&] { saveTyped(typedTitle, typedBody); });
}

void NotebookController::saveTyped(const QString &typedTitle, const QString &typedBody)
{
    const QString title = trimSpaces(typedTitle);
    const QString body = trimSpaces(typedBody);
    bool sectionShowedRecord = false;
    try {
        sectionShowedRecord = hasCurrentRecord();
        m_records->addNew();
        m_records->setField(NameField, title);
        m_records->setField(BodyField, body);
        m_records->update();
    } catch (const DataError &error) {
        tryStepAfterWrite([&] { m_records->cancelUpdate(); });
        inform(ApplicationTitle, QStringLiteral("没有保存：") + error.message());
        showEntryView();
        return;
    }

    // The title is the user's, and may be any length: it is cut short, the words
    // that say the record was saved never are.
    inform(ApplicationTitle, MessageBox::quote(title) + QStringLiteral(" 已增加！"));
    clearInputs();
    m_writing = false;
    showBrowseView();
    // A section that showed its "still empty" hint shows its new record, which
    // browsing could otherwise never bring on show.
    if (!sectionShowedRecord)
        tryStepAfterWrite([&] {
            m_records->moveLast();
            showCurrentRecord();
        });
}

void NotebookController::deleteRecordOnShow()
{
    userAction(QStringLiteral("删除失败："), [&] { deleteShown(); });
}

void NotebookController::deleteShown()
{
    if (!hasCurrentRecord()) {
        inform(NotebookBoxTitle, QStringLiteral("没有可删除的信息。"));
        return;
    }
    hideBusyCursor();
    // Return alone must not delete: Cancel is the default.
    if (MessageBox::question(m_c.window, QString::fromUtf8(NotebookBoxTitle),
                             QStringLiteral("你确定要删除吗？"), MessageBox::Cancel)
        != MessageBox::Ok)
        return;
    try {
        m_records->deleteCurrent();
    } catch (const DataError &error) {
        inform(NotebookBoxTitle, QStringLiteral("删除失败：") + error.message());
        return;
    }
    tryStepAfterWrite([&] { showRecordAfterDelete(); });
    inform(NotebookBoxTitle, QStringLiteral("信息已删除！"));
}

bool NotebookController::mayClose()
{
    if (!m_writing || (m_c.titleEdit->text().isEmpty() && m_c.bodyEdit->document()->isEmpty()))
        return true;
    // Return alone must not throw the text away: Cancel is the default here.
    return MessageBox::question(m_c.window, QString::fromUtf8(NotebookBoxTitle),
                                QStringLiteral("新资料还没有保存，确定要放弃吗？"), MessageBox::Cancel)
        == MessageBox::Ok;
}

QString NotebookController::tableOnShow() const
{
    if (!m_section || !m_records || !m_shown)
        return QString();
    return m_section->table;
}

void NotebookController::reload()
{
    const bool sectionOnShow = !tableOnShow().isEmpty();
    m_records.reset();
    m_writing = false;
    clearInputs();
    if (!sectionOnShow)
        return;
    showBrowseView();
    openSection(*m_section);
}

void NotebookController::showBrowseView()
{
    switchControls({m_c.titleView, m_c.bodyView, m_c.deleteButton}, {m_c.titleEdit, m_c.bodyEdit, m_c.saveButton}, m_c.bodyView);
}

void NotebookController::showEntryView()
{
    switchControls({m_c.titleEdit, m_c.bodyEdit, m_c.saveButton}, {m_c.titleView, m_c.bodyView, m_c.deleteButton}, m_c.titleEdit);
}

void NotebookController::clearInputs()
{
    m_c.titleEdit->setText(QString());
    m_c.bodyEdit->setPlainText(QString());
}

void NotebookController::showTexts(const QString &title, const QString &body)
{
    m_c.titleView->setText(shownTitle(title));
    m_c.titleView->setCursorPosition(0);
    // A body with lines of any length shows at once (LongLines). The view's cursor stays at the
    // start while the text goes in: left at the end and moved back, it would have the view lay
    // out the whole text to find where the end is (seconds and hundreds of megabytes for a
    // body of megabytes); as it is, only the first screen is laid out.
    m_c.bodyView->setPlainText(QString());
    QTextCursor start = m_c.bodyView->textCursor();
    start.setKeepPositionOnInsert(true);
    m_c.bodyView->setTextCursor(start);
    LongLines::setText(m_c.bodyView->document(), body);
    start = m_c.bodyView->textCursor();
    start.setKeepPositionOnInsert(false);
    m_c.bodyView->setTextCursor(start);
}

QString NotebookController::shownTitle(const QString &title)
{
    if (title.size() <= MaxShownTitleChars)
        return title;
    // Never in the middle of a character (an emoji, a letter with its accents).
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, title);
    characters.setPosition(MaxShownTitleChars);
    const qsizetype end = characters.isAtBoundary() ? MaxShownTitleChars : characters.toPreviousBoundary();
    return title.left(qMax<qsizetype>(end, 0)) + QChar(0x2026);
}

bool NotebookController::showCurrentRecord()
{
    QString title;
    QString body;
    const bool read = tryStep([&] {
        title = m_records->field(NameField).textOrEmpty();
        body = m_records->field(BodyField).textOrEmpty();
    });
    if (read)
        showTexts(title, body);
    return read;
}

void NotebookController::showRecordAfterDelete()
{
    // Delete leaves the cursor on the removed row; the next move leaves it.
    bool onRecord = tryStep([&] { m_records->moveNext(); }) && !m_records->isEOF();
    if (!onRecord)
        onRecord = tryStep([&] { m_records->moveLast(); });
    if (onRecord) {
        if (!showCurrentRecord())
            showTexts(QString(), QString());
    } else {
        showTexts(QString(), m_section ? m_section->emptyHint : QString());
    }
}

bool NotebookController::hasCurrentRecord() const
{
    if (!m_records || m_records->isBOF() || m_records->isEOF())
        return false;
    // The row may be gone (deleted here before, or by someone else).
    bool exists = false;
    tryStep([&] { exists = m_records->moveToId(m_records->id()); });
    return exists;
}

void NotebookController::inform(const char *title, const QString &text)
{
    // The user reads the box with the ordinary cursor, whatever the action
    // waited for before.
    hideBusyCursor();
    MessageBox::information(m_c.window, QString::fromUtf8(title), text);
}
