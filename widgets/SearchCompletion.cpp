// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SearchCompletion.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTimer>

namespace {

constexpr int NameRole = Qt::UserRole + 1;
constexpr int CategoryRole = Qt::UserRole + 2; // on a category's row: the category

} // namespace

SearchCompletion::SearchCompletion(QLineEdit *field, const QString &popupObjectName, Finder finder,
                                   CategoryLister categoryRows)
    : QObject(field), m_field(field), m_finder(std::move(finder)), m_categoryRows(std::move(categoryRows))
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
    // A click on a row: the completer has put its name into the field and closed the list; a
    // category's row lists its results instead.
    connect(m_completer, qOverload<const QModelIndex &>(&QCompleter::activated), this, [this](const QModelIndex &row) {
        if (row.data(CategoryRole).isValid() && m_categoryRows)
            QTimer::singleShot(0, this, [this, category = row.data(CategoryRole).toString()] {
                if (m_field->isVisible())
                    show(m_categoryRows(category), true);
            });
    });
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
    m_completer->popup()->hide();
    m_field->clear();
    m_matches->clear();
}

void SearchCompletion::open()
{
    const QString text = m_field->text();
    show(m_finder(text), !text.trimmed().isEmpty());
}

void SearchCompletion::update(const QString &text)
{
    // Emptied by the user: the list closes; the recent picks are a Down away.
    if (text.trimmed().isEmpty()) {
        m_completer->popup()->hide();
        m_matches->clear();
        return;
    }
    show(m_finder(text), true);
}

void SearchCompletion::show(const QList<Row> &rows, bool highlightFirst)
{
    m_matches->clear();
    for (const Row &row : rows) {
        const QString shown = row.category ? QStringLiteral("%1（分类）").arg(row.name)
            : row.matchedAlias.isEmpty()   ? row.name
                                           : QStringLiteral("%1 · %2").arg(row.name, row.matchedAlias);
        auto *item = new QStandardItem(shown);
        // A category's row leaves the field as typed: its results take its place in the list.
        item->setData(row.category ? m_field->text() : row.name, NameRole);
        if (row.category)
            item->setData(row.name, CategoryRole);
        item->setEditable(false);
        m_matches->appendRow(item);
    }
    if (m_matches->rowCount() == 0) {
        m_completer->popup()->hide();
        return;
    }
    m_completer->complete();
    if (!highlightFirst)
        return; // a list to pick from, nothing highlighted, so Return adds nothing by chance
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

bool SearchCompletion::take(const QModelIndex &row)
{
    if (row.data(CategoryRole).isValid()) {
        if (m_categoryRows)
            show(m_categoryRows(row.data(CategoryRole).toString()), true);
        return false;
    }
    m_field->setText(row.data(NameRole).toString());
    m_completer->popup()->hide();
    return true;
}

void SearchCompletion::closeAndPass(const QMouseEvent &press)
{
    QAbstractItemView *popup = m_completer->popup();
    const QPoint global = press.globalPosition().toPoint();
    // Aimed at the window the field is in (not another one, nor the list itself).
    QPointer<QWidget> target = QApplication::widgetAt(global);
    // A click in the field itself only closes the list (it would open the recent picks again).
    if (target && (target->window() != m_field->window() || target == m_field))
        target = nullptr;
    // Qt would hand on only the press, which leaves a button pressed but not clicked: the list
    // hands on the whole click itself.
    popup->setAttribute(Qt::WA_NoMouseReplay);
    popup->hide();
    const Qt::MouseButton button = press.button();
    const Qt::KeyboardModifiers modifiers = press.modifiers();
    QTimer::singleShot(0, this, [target, global, button, modifiers] {
        if (!target || !target->isVisible() || !target->isEnabled())
            return;
        const QPointF local = target->mapFromGlobal(QPointF(global));
        const QPointF inWindow = target->window()->mapFromGlobal(QPointF(global));
        if (target->focusPolicy() & Qt::ClickFocus)
            target->setFocus(Qt::MouseFocusReason);
        QMouseEvent down(QEvent::MouseButtonPress, local, inWindow, QPointF(global), button, button, modifiers);
        QCoreApplication::sendEvent(target, &down);
        if (!target)
            return;
        QMouseEvent up(QEvent::MouseButtonRelease, local, inWindow, QPointF(global), button, Qt::NoButton, modifiers);
        QCoreApplication::sendEvent(target, &up);
    });
}

bool SearchCompletion::eventFilter(QObject *watched, QEvent *event)
{
    QAbstractItemView *popup = m_completer->popup();
    // A click beside the open list closes it and still does what it was meant to do.
    if (watched == popup && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (!popup->rect().contains(press->position().toPoint())) {
            closeAndPass(*press);
            return true;
        }
    }
    // A click in the empty field lists the recent picks; one in a typed field, its results again.
    if (watched == m_field && event->type() == QEvent::MouseButtonPress && !popup->isVisible()
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && m_field->text().trimmed().isEmpty()) {
        QTimer::singleShot(0, this, [this] {
            if (m_field->hasFocus() && !m_completer->popup()->isVisible())
                open();
        });
        return QObject::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier));
    if (watched == popup && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        const QModelIndex current = popup->currentIndex();
        if (!current.isValid())
            return false;
        if (take(current))
            emit chosen();
        return true;
    }
    // Tab takes the highlighted result, as a completer does, and goes on to the amount; on a
    // category's row it lists that category and stays.
    if (watched == popup && key->key() == Qt::Key_Tab && plain) {
        const QModelIndex current = popup->currentIndex();
        if (current.isValid() && popup->selectionModel()->isSelected(current) && !take(current))
            return true;
        return false; // the completer hands Tab on to the field, which moves the focus
    }
    if (watched == m_field && key->key() == Qt::Key_Down && plain && !popup->isVisible()) {
        open();
        return true;
    }
    if (watched == m_field && key->key() == Qt::Key_Escape && !popup->isVisible() && !m_field->text().isEmpty()) {
        clear();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
