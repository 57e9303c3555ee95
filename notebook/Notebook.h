#pragma once

#include <QString>
#include <memory>

class Database;
class Recordset;
class QLineEdit;
class QPlainTextEdit;
class QTextEdit;
class QWidget;

// The window's controls that the notebook shows, hides, reads and fills.
struct NotebookControls
{
    QWidget *window = nullptr;      // jf: parent of the message boxes
    QWidget *P1 = nullptr;          // previous record
    QWidget *P2 = nullptr;          // next record
    QWidget *P3 = nullptr;          // begin a new record
    QWidget *P4 = nullptr;          // delete the record on show
    QWidget *P5 = nullptr;          // save the new record
    QWidget *Pv = nullptr;          // welcome picture
    QWidget *Frame1 = nullptr;      // calorie panel
    QLineEdit *Text1 = nullptr;     // title of the record on show
    QTextEdit *box1 = nullptr;      // body of the record on show (plain text)
    QLineEdit *addtext = nullptr;   // title input
    QPlainTextEdit *addbox = nullptr; // body input
};

// The notebook: the skin's hot spots, browsing, adding and deleting records of
// the section on show. Works on the window's connection `db` and owns `rs`.
class Notebook
{
public:
    Notebook(Database &db, NotebookControls controls);
    ~Notebook();

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

    // The window's connection, and the cursor of the section on show (none
    // until the first section is opened).
    Database &db;
    std::unique_ptr<Recordset> rs;

private:
    NotebookControls m_c;
};
