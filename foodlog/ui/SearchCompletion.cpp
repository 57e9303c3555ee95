// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/SearchCompletion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTimer>

namespace {

constexpr int NameRole = Qt::UserRole + 1;

} // namespace

SearchCompletion::SearchCompletion(QLineEdit *field, const QString &popupObjectName, Finder finder)
    : QObject(field), m_field(field), m_finder(std::move(finder))
{
    m_matches = new QStandardItemModel(this);
    m_completer = new QCompleter(m_matches, this);
    m_completer->setCompletionRole(NameRole); // the field takes the name, not the line shown
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setMaxVisibleItems(8);
    m_completer->popup()->setObjectName(popupObjectName);
    m_completer->popup()->setAccessibleName(QStringLiteral("搜索结果"));
    m_field->setCompleter(m_completer);
    connect(m_field, &QLineEdit::textEdited, this, &SearchCompletion::update);
    // After the completer's own filters, so these keys are seen first.
    m_completer->popup()->installEventFilter(this);
    m_field->installEventFilter(this);
}

bool SearchCompletion::isOpen() const
{
    return m_completer->popup()->isVisible();
}

void SearchCompletion::clear()
{
    m_field->clear();
    m_matches->clear();
}

void SearchCompletion::update(const QString &text)
{
    m_matches->clear();
    for (const Row &row : m_finder(text)) {
        auto *item = new QStandardItem(row.matchedAlias.isEmpty()
                                           ? row.name
                                           : QStringLiteral("%1 · %2").arg(row.name, row.matchedAlias));
        item->setData(row.name, NameRole);
        item->setEditable(false);
        m_matches->appendRow(item);
    }
    if (m_matches->rowCount() == 0)
        return;
    if (text.trimmed().isEmpty()) {
        // A list to pick from, nothing highlighted, so Return adds nothing by chance; opened
        // after the field is done with the key, as it closes the list when it empties.
        QTimer::singleShot(0, this, [this] {
            if (m_field->isVisible() && m_field->text().trimmed().isEmpty() && m_matches->rowCount() > 0)
                m_completer->complete();
        });
        return;
    }
    m_completer->complete();
    // The best match highlighted: Return takes it. After the line edit has handed the key to
    // the completer (which resets its list), and quietly, as the completer would otherwise
    // write a highlighted result into the field while the user is still typing.
    QTimer::singleShot(0, this, [this] {
        QAbstractItemView *popup = m_completer->popup();
        if (!popup->isVisible() || !popup->model() || popup->model()->rowCount() == 0)
            return;
        {
            const QSignalBlocker quiet(popup->selectionModel());
            popup->selectionModel()->setCurrentIndex(popup->model()->index(0, 0),
                                                     QItemSelectionModel::ClearAndSelect);
        }
        popup->viewport()->update();
    });
}

bool SearchCompletion::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::FocusIn && m_field->text().isEmpty()) {
        update(QString());
        return QObject::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    QAbstractItemView *popup = m_completer->popup();
    if (watched == popup && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        const QModelIndex current = popup->currentIndex();
        if (!current.isValid())
            return false;
        m_field->setText(current.data(NameRole).toString());
        popup->hide();
        emit chosen();
        return true;
    }
    if (watched == m_field && key == Qt::Key_Escape && !popup->isVisible() && !m_field->text().isEmpty()) {
        clear();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
