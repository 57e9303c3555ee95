// SPDX-License-Identifier: GPL-3.0-or-later
#include "notebook/ui/NotebookController.h"

#include "db/Database.h"
#include "widgets/LongLines.h"
#include "widgets/MessageBox.h"
#include "db/Recordset.h"
#include "widgets/UrlOpener.h"

#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTextEdit>
#include <QWidget>

#include <limits>

// One notebook section: the hot spot that opens it, its table, the field shown
// as the first record's title, its name in messages and its hint when empty.
struct NotebookSection
{
    QString hotSpot;
    QString table;
    QString firstTitleField;
    QString name;
    QString hint;
};

namespace {

const QString NameField = QStringLiteral("Name");
const QString BodyField = QStringLiteral("demo");

const NotebookSection Sections[] = {
    {QStringLiteral("a"), QStringLiteral("sp"), NameField, QStringLiteral("瘦身食谱"),
     QStringLiteral("瘦身食谱还空着呢，请点击") + QStringLiteral("标志来增加！")},
    {QStringLiteral("b"), QStringLiteral("yd"), NameField, QStringLiteral("有氧运动"),
     QStringLiteral("有氧运动还空着呢，请点击") + QStringLiteral("标志来增加！")},
    {QStringLiteral("d"), QStringLiteral("xd"), NameField, QStringLiteral("瘦身心得"),
     QStringLiteral("瘦身心得还空着呢，请点击") + QStringLiteral("标志来增加心得！")},
    {QStringLiteral("e"), QStringLiteral("rj"), QStringLiteral("time"), QStringLiteral("瘦身日记"),
     QStringLiteral("瘦身日记还空着呢，请点击") + QStringLiteral("标志来写新日记！")},
};

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
// says so (Notebook::userAction).
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

void setVisible(std::initializer_list<QWidget *> widgets, bool visible)
{
    for (QWidget *widget : widgets) {
        if (widget)
            widget->setVisible(visible);
    }
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

Notebook::Notebook(Database &database, NotebookControls controls)
    : db(database), m_c(controls)
{
    // Titles are shown and typed whole, however long.
    m_c.titleView->setMaxLength(std::numeric_limits<int>::max());
    m_c.titleEdit->setMaxLength(std::numeric_limits<int>::max());
}

Notebook::~Notebook() = default;

void Notebook::SkinHotSpotClick(const QString &objectName)
{
    for (const NotebookSection &section : Sections) {
        if (objectName == section.hotSpot) {
            openSection(section);
            return;
        }
    }
    if (objectName == QLatin1String("c"))
        showCalorie();
    else if (objectName == QLatin1String("logo"))
        openAboutPage();
}

void Notebook::switchControls(std::initializer_list<QWidget *> shown,
                              std::initializer_list<QWidget *> hidden, QWidget *focusTarget)
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
void Notebook::userAction(const QString &failed, Steps steps)
{
    LockWaitAction action(db, [this] { showBusyCursor(); });
    const auto cursorBack = qScopeGuard([this] { hideBusyCursor(); });
    try {
        steps();
    } catch (const DataError &error) {
        if (!error.isFileInUse())
            throw;
        inform(NotebookBoxTitle, failed + error.message());
    }
}

void Notebook::showBusyCursor()
{
    if (!m_busyCursor) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_busyCursor = true;
    }
}

void Notebook::hideBusyCursor()
{
    if (m_busyCursor) {
        QGuiApplication::restoreOverrideCursor();
        m_busyCursor = false;
    }
}

void Notebook::openSection(const NotebookSection &section)
{
    userAction(QString(), [&] { openSectionSteps(section); });
}

void Notebook::openSectionSteps(const NotebookSection &section)
{
    // Open and read first, change the window after: a section that cannot be
    // read leaves the window and the section on show as they were.
    std::unique_ptr<Recordset> opened;
    QString title;
    QString body = section.hint;
    try {
        opened = db.openRecordset(section.table);
        if (!opened->isEOF()) {
            opened->moveFirst();
            title = opened->field(section.firstTitleField).textOrEmpty();
            body = opened->field(BodyField).textOrEmpty();
        }
    } catch (const DataError &error) {
        inform(NotebookBoxTitle, QStringLiteral("无法打开%1：").arg(section.name) + error.message());
        return;
    }

    QWidget *reader = m_c.bodyView->isHidden() ? static_cast<QWidget *>(m_c.titleEdit) : m_c.bodyView;
    switchControls({m_c.previousButton, m_c.nextButton, m_c.newButton, m_c.deleteButton}, {m_c.welcomePicture, m_c.caloriePanel}, reader);
    rs = std::move(opened);
    m_section = &section;
    showTexts(title, body);
}

void Notebook::openAboutPage()
{
    const QString file = m_aboutPage.isLocalFile() ? m_aboutPage.toLocalFile() : QString();
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        inform(ApplicationTitle, QStringLiteral("找不到关于页面：") + QDir::toNativeSeparators(file));
        return;
    }
    if (!UrlOpener::open(m_aboutPage))
        inform(ApplicationTitle, QStringLiteral("没有能打开关于页面的浏览器。请用浏览器打开这个文件：")
                                     + QDir::toNativeSeparators(file));
}

void Notebook::showCalorie()
{
    m_c.titleView->setText(QString());
    switchControls({m_c.caloriePanel}, {m_c.previousButton, m_c.nextButton, m_c.newButton, m_c.deleteButton, m_c.welcomePicture}, firstInTabOrder(m_c.caloriePanel));
}

void Notebook::P1_Click()
{
    switchControls({m_c.titleView, m_c.bodyView}, {m_c.titleEdit, m_c.bodyEdit}, m_c.bodyView);
    cmdBack_Click();
}

void Notebook::P2_Click()
{
    switchControls({m_c.titleView, m_c.bodyView}, {m_c.titleEdit, m_c.bodyEdit}, m_c.bodyView);
    cmdForward_Click();
}

void Notebook::P3_Click()
{
    showEntryView();
    clearInputs();
    m_c.titleEdit->setFocus();
    m_writing = true;
}

void Notebook::P4_Click()
{
    cmdDelete_Click();
}

void Notebook::P5_Click()
{
    cmdAdd_Click();
}

void Notebook::cmdBack_Click()
{
    if (!rs)
        return;
    userAction(QStringLiteral("无法显示上一条信息："), [&] {
        // In an empty section the move fails and both end flags stay set.
        tryStep([&] { rs->movePrevious(); });
        if (rs->isBOF()) {
            inform(NotebookBoxTitle, QStringLiteral("已经是第一条信息了！"));
            tryStep([&] { rs->moveFirst(); });
            return;
        }
        showCurrentRecord();
    });
}

void Notebook::cmdForward_Click()
{
    if (!rs)
        return;
    userAction(QStringLiteral("无法显示下一条信息："), [&] {
        tryStep([&] { rs->moveNext(); });
        if (rs->isEOF()) {
            inform(NotebookBoxTitle, QStringLiteral("已经是最后一条信息了！"));
            tryStep([&] { rs->moveLast(); });
            return;
        }
        showCurrentRecord();
    });
}

void Notebook::cmdAdd_Click()
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
    if (!rs) {
        inform(ApplicationTitle, QStringLiteral("没有保存：还没有打开任何栏目。"));
        showEntryView();
        return;
    }

    userAction(QStringLiteral("没有保存："), [&] { saveTyped(typedTitle, typedBody); });
}

void Notebook::saveTyped(const QString &typedTitle, const QString &typedBody)
{
    const QString title = trimSpaces(typedTitle);
    const QString body = trimSpaces(typedBody);
    bool sectionShowedRecord = false;
    try {
        sectionShowedRecord = hasCurrentRecord();
        rs->addNew();
        rs->setField(NameField, title);
        rs->setField(BodyField, body);
        rs->update();
    } catch (const DataError &error) {
        tryStepAfterWrite([&] { rs->cancelUpdate(); });
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
            rs->moveLast();
            showCurrentRecord();
        });
}

void Notebook::cmdDelete_Click()
{
    userAction(QStringLiteral("删除失败："), [&] { deleteShown(); });
}

void Notebook::deleteShown()
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
        rs->deleteCurrent();
    } catch (const DataError &error) {
        inform(NotebookBoxTitle, QStringLiteral("删除失败：") + error.message());
        return;
    }
    tryStepAfterWrite([&] { showRecordAfterDelete(); });
    inform(NotebookBoxTitle, QStringLiteral("信息已删除！"));
}

bool Notebook::mayClose()
{
    if (!m_writing || (m_c.titleEdit->text().isEmpty() && m_c.bodyEdit->document()->isEmpty()))
        return true;
    // Return alone must not throw the text away: Cancel is the default here.
    return MessageBox::question(m_c.window, QString::fromUtf8(NotebookBoxTitle),
                                QStringLiteral("新资料还没有保存，确定要放弃吗？"), MessageBox::Cancel)
        == MessageBox::Ok;
}

QString Notebook::tableOnShow() const
{
    if (!m_section || !rs || (m_c.caloriePanel && !m_c.caloriePanel->isHidden()))
        return QString();
    return m_section->table;
}

void Notebook::reload()
{
    const bool sectionOnShow = !tableOnShow().isEmpty();
    rs.reset();
    m_writing = false;
    clearInputs();
    if (!sectionOnShow)
        return;
    showBrowseView();
    openSection(*m_section);
}

void Notebook::showBrowseView()
{
    switchControls({m_c.titleView, m_c.bodyView, m_c.deleteButton}, {m_c.titleEdit, m_c.bodyEdit, m_c.saveButton}, m_c.bodyView);
}

void Notebook::showEntryView()
{
    switchControls({m_c.titleEdit, m_c.bodyEdit, m_c.saveButton}, {m_c.titleView, m_c.bodyView, m_c.deleteButton}, m_c.titleEdit);
}

void Notebook::clearInputs()
{
    m_c.titleEdit->setText(QString());
    m_c.bodyEdit->setPlainText(QString());
}

void Notebook::showTexts(const QString &title, const QString &body)
{
    m_c.titleView->setText(title);
    m_c.titleView->setCursorPosition(0);
    // A body with lines of any length shows at once (LongLines).
    m_c.bodyView->setPlainText(QString());
    LongLines::setText(m_c.bodyView->document(), body);
    m_c.bodyView->moveCursor(QTextCursor::Start);
}

bool Notebook::showCurrentRecord()
{
    QString title;
    QString body;
    const bool read = tryStep([&] {
        title = rs->field(NameField).textOrEmpty();
        body = rs->field(BodyField).textOrEmpty();
    });
    if (read)
        showTexts(title, body);
    return read;
}

void Notebook::showRecordAfterDelete()
{
    // Delete leaves the cursor on the removed row; the next move leaves it.
    bool onRecord = tryStep([&] { rs->moveNext(); }) && !rs->isEOF();
    if (!onRecord)
        onRecord = tryStep([&] { rs->moveLast(); });
    if (onRecord) {
        if (!showCurrentRecord())
            showTexts(QString(), QString());
    } else {
        showTexts(QString(), m_section ? m_section->hint : QString());
    }
}

bool Notebook::hasCurrentRecord() const
{
    if (!rs || rs->isBOF() || rs->isEOF())
        return false;
    // The row may be gone (deleted here before, or by someone else).
    bool exists = false;
    tryStep([&] { exists = rs->moveToId(rs->id()); });
    return exists;
}

void Notebook::inform(const char *title, const QString &text)
{
    // The user reads the box with the ordinary cursor, whatever the action
    // waited for before.
    hideBusyCursor();
    MessageBox::information(m_c.window, QString::fromUtf8(title), text);
}
