// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QCompleter;
class QLineEdit;
class QStandardItemModel;

// The list of results under a search field of the food log (foods, activities): filled from a
// finder as the user types, its best result highlighted so that Return takes it; entered empty,
// it lists the user's recent picks with nothing highlighted, so that Return adds nothing by
// chance; Escape clears the field. A row shows the other name a result was found by
// ("百香果 · 鸡蛋果"), and puts only the name into the field.
class SearchCompletion : public QObject
{
    Q_OBJECT

public:
    struct Row
    {
        QString name;         // what the field takes
        QString matchedAlias; // shown after the name, when the name itself did not match: the
                              // other name it was found by
    };
    // Rows for what was typed; for an empty text, the recent picks.
    using Finder = std::function<QList<Row>(const QString &typed)>;

    SearchCompletion(QLineEdit *field, const QString &popupObjectName, Finder finder);

    // Whether the list is open (it has Return then).
    bool isOpen() const;
    // Empties the field and the list.
    void clear();

signals:
    // Return on a highlighted row: the field holds its name.
    void chosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update(const QString &text);

    QLineEdit *m_field;
    Finder m_finder;
    QStandardItemModel *m_matches;
    QCompleter *m_completer;
};
