// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>
#include <initializer_list>
#include <memory>

class Database;
class Recordset;
class QLineEdit;
class QPlainTextEdit;
class QTextEdit;
class QWidget;
struct NotebookSection;

// The application's title, and the title of the notebook's own message boxes.
inline constexpr char ApplicationTitle[] = "Pellomir";
inline constexpr char NotebookBoxTitle[] = "：：Pellomir：：";

// The window's controls that the notebook shows, hides, reads and fills.
struct NotebookControls
{
    QWidget *window = nullptr;      // jf: parent of the message boxes
    QWidget *previousButton = nullptr;          // previous record
    QWidget *nextButton = nullptr;          // next record
    QWidget *newButton = nullptr;          // begin a new record
    QWidget *deleteButton = nullptr;          // delete the record on show
    QWidget *saveButton = nullptr;          // save the new record
    QWidget *welcomePicture = nullptr;          // welcome picture
    QWidget *caloriePanel = nullptr;      // calorie panel
    QLineEdit *titleView = nullptr;     // title of the record on show
    QTextEdit *bodyView = nullptr;      // body of the record on show (plain text)
    QLineEdit *titleEdit = nullptr;   // title input
    QPlainTextEdit *bodyEdit = nullptr; // body input
};

// The notebook: the skin's hot spots, browsing, adding and deleting records of
// the section on show. Works on the window's connection `db` and owns `rs`.
class Notebook
{
public:
    Notebook(Database &db, NotebookControls controls);
    ~Notebook();

    // The page the skin's logo (the mascot) opens: the program's About page, a local file.
    void setAboutPage(const QUrl &page) { m_aboutPage = page; }

    // The skin's click notification, with the clicked object's name.
    void SkinHotSpotClick(const QString &objectName);

    void P1_Click();
    void P2_Click();
    void P3_Click();
    void P4_Click();
    void P5_Click();

    void cmdBack_Click();
    void cmdForward_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();

    // Asked when the window is about to close: true when it may close (nothing
    // typed, or the user agreed to discard it).
    bool mayClose();

    // The table of the section on show ("sp", "yd", "xd", "rj"), or an empty text when none is
    // (the start state, the calorie panel).
    QString tableOnShow() const;
    // After the file's content was replaced (a restore): drops the cursor and any record being
    // written, and shows the section on show afresh from its first record.
    void reload();

    // The window's connection, and the cursor of the section on show (none
    // until the first section is opened).
    Database &db;
    std::unique_ptr<Recordset> rs;

private:
    // Runs one action of the user: its steps wait for another program's lock
    // at most once between them, with the busy cursor on show while they
    // wait, and a step that fails because the file is in use ends the action
    // with a message saying so, after `failed` (what could not be done).
    template <typename Steps>
    void userAction(const QString &failed, Steps steps);
    void showBusyCursor();
    void hideBusyCursor();

    void openSection(const NotebookSection &section);
    void openSectionSteps(const NotebookSection &section);
    void saveTyped(const QString &typedTitle, const QString &typedBody);
    void deleteShown();
    void showCalorie();
    void openAboutPage();

    // Shows `shown` and hides `hidden`; a keyboard focus in a control being hidden goes to
    // `focusTarget`, never on to whatever control follows in the tab order.
    void switchControls(std::initializer_list<QWidget *> shown, std::initializer_list<QWidget *> hidden,
                        QWidget *focusTarget);

    // The two views of the notebook area.
    void showBrowseView();
    void showEntryView();
    void clearInputs();

    // Shows title and body together, so the two never come from two records.
    void showTexts(const QString &title, const QString &body);
    // Shows the current record (title from `Name`); false if it cannot be read.
    bool showCurrentRecord();
    // After a delete: the record that followed, else the one before, else the
    // section's hint.
    void showRecordAfterDelete();
    bool hasCurrentRecord() const;

    void inform(const char *title, const QString &text);

    NotebookControls m_c;
    const NotebookSection *m_section = nullptr; // the section on show, with `rs`
    bool m_writing = false; // a new record was begun and is not saved yet
    QUrl m_aboutPage;
    bool m_busyCursor = false; // the action on hand shows the busy cursor
};
