// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QCompleter;
class QLineEdit;
class QModelIndex;
class QMouseEvent;
class QStandardItemModel;

// The list of results under a search field of the food log (foods, activities), behaving as a
// desktop completer does: it opens as the user types, its best result highlighted so that Return
// takes it and Tab takes it and moves on to the amount; Down or a click in the empty field lists
// the user's recent picks with nothing highlighted, so that Return adds nothing by chance. It never
// opens by itself (on focus, after an entry was added). Escape or a click elsewhere closes it, and
// the click still reaches what it was aimed at; Escape in a field whose list is closed clears it.
// A row shows the other name a result was found by ("百香果 · 鸡蛋果"), and puts only the name
// into the field. A category row ("水果（分类）") lists
// that category's results in its place.
class SearchCompletion : public QObject
{
    Q_OBJECT

public:
    struct Row
    {
        QString name;         // what the field takes; for a category row, the category
        QString matchedAlias; // shown after the name, when the name itself did not match: the
                              // other name it was found by
        bool category = false; // a category of results rather than one result
    };
    // Rows for what was typed; for an empty text, the recent picks.
    using Finder = std::function<QList<Row>(const QString &typed)>;
    // The rows of one category.
    using CategoryLister = std::function<QList<Row>(const QString &category)>;

    SearchCompletion(QLineEdit *field, const QString &popupObjectName, Finder finder,
                     CategoryLister categoryRows = {});

    // Whether the list is open (it has Return then).
    bool isOpen() const;
    // Empties the field and the list; the list stays closed.
    void clear();
    // Opens the list for the text in the field (the recent picks when it is empty).
    void open();

signals:
    // Return on a highlighted row: the field holds its name.
    void chosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update(const QString &text);
    void show(const QList<Row> &rows, bool highlightFirst);
    // A row taken with Return, Tab or a click: true when it was a result, whose name the field
    // now holds; a category row lists its results instead.
    bool take(const QModelIndex &row);
    // A press beside the open list: closes it and clicks what was under the pointer.
    void closeAndPass(const QMouseEvent &press);

    QLineEdit *m_field;
    Finder m_finder;
    CategoryLister m_categoryRows;
    QStandardItemModel *m_matches;
    QCompleter *m_completer;
};
