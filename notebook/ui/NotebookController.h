// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMetaObject>
#include <QString>
#include <memory>

class Database;
class Recordset;
class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;
class QTextEdit;
class QWidget;
struct NotebookSection;
class DataReplaced;

// The window's controls that the notebook shows, hides, reads and fills.
struct NotebookControls
{
    QWidget *window = nullptr;         // parent of the message boxes
    QWidget *previousButton = nullptr;  // previous record
    QWidget *nextButton = nullptr;      // next record
    QWidget *newButton = nullptr;       // begin a new record
    QWidget *deleteButton = nullptr;    // delete the record on show
    QWidget *saveButton = nullptr;      // save the new record
    // The other views of the left panel (the welcome picture, the calorie panel): hidden
    // while a section is on show.
    QList<QWidget *> otherViews;
    QLineEdit *titleView = nullptr;      // title of the record on show
    QTextEdit *bodyView = nullptr;       // body of the record on show (plain text)
    QLineEdit *titleEdit = nullptr;      // title input
    QPlainTextEdit *bodyEdit = nullptr;  // body input
    // The window's hidden command buttons: the record operations without switching views.
    QAbstractButton *backCommand = nullptr;
    QAbstractButton *forwardCommand = nullptr;
    QAbstractButton *addCommand = nullptr;
    QAbstractButton *deleteCommand = nullptr;
};

// The notebook: browsing, adding and deleting the records of the section on show. Works on the
// window's connection and owns the cursor of the section on show.
class NotebookController
{
public:
    // The most of a title the title box shows, then "…": a line box lays out all it holds, which
    // for a title of megabytes takes seconds. The title as stored is never changed.
    static constexpr int MaxShownTitleChars = 4096;
    static QString shownTitle(const QString &title);

    // The controls that are buttons (QAbstractButton) are wired to the record operations here.
    NotebookController(Database &db, NotebookControls controls);
    ~NotebookController();

    // Opens the section of that skin object (a, b, d, e); any other name changes nothing.
    void openSectionForSkinObject(const QString &skinObject);
    // Another view takes over the left panel: hides the section's browsing buttons and title,
    // moving a keyboard focus among them to `focusTarget`. Nothing typed is lost.
    void leave(QWidget *focusTarget);

    void onPreviousClicked();
    void onNextClicked();
    void onNewClicked();
    void onDeleteClicked();
    void onSaveClicked();

    // The window's hidden command buttons: the record operations without switching views.
    void showPreviousRecord();
    void showNextRecord();
    void saveNewRecord();
    void deleteRecordOnShow();

    // Asked when the window is about to close: true when it may close (nothing
    // typed, or the user agreed to discard it).
    bool mayClose();

    // The table of the section on show ("sp", "yd", "xd", "rj"), or an empty text when none is
    // (the start state, another view in the panel).
    QString tableOnShow() const;
    // After the file's content was replaced (a restore): drops the cursor and any record being
    // written, and shows the section on show afresh from its first record.
    void reload();
    // Reloads whenever the whole file is replaced from now on.
    void follow(DataReplaced &replaced);

    // The cursor of the section on show; null until a section is first opened.
    const Recordset *records() const { return m_records.get(); }

private:
    // Each control that is a button runs its record operation when clicked.
    void wireButtons();
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

    // Shows `shown` and hides `hidden`; a keyboard focus in a control being hidden goes to
    // `focusTarget`, never on to whatever control follows in the tab order.
    void switchControls(const QList<QWidget *> &shown, const QList<QWidget *> &hidden, QWidget *focusTarget);

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

    Database &m_db;
    NotebookControls m_c;
    std::unique_ptr<Recordset> m_records;
    QMetaObject::Connection m_following; // DataReplaced, cut before this goes
    const NotebookSection *m_section = nullptr; // the section on show, with `m_records`
    bool m_shown = false;   // a section is on show (no other view took over the panel)
    bool m_writing = false; // a new record was begun and is not saved yet
    bool m_busyCursor = false; // the action on hand shows the busy cursor
};
