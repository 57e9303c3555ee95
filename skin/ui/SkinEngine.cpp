// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ui/SkinEngine.h"

#include "db/SystemErrorText.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

SkinEngine::SkinEngine(QObject *parent)
    : QObject(parent)
{
}

void SkinEngine::loadSkin(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw SkinError(QStringLiteral("找不到皮肤文件“%1”。").arg(path));
    if (!info.isFile())
        throw SkinError(QStringLiteral("皮肤文件“%1”不是一个文件。").arg(path));
    // The cause in Chinese, as for every other file the program reads: the system's own text is
    // English on most systems.
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw SkinError(QStringLiteral("无法读取皮肤文件“%1”：%2。").arg(path, SystemErrorText::of(file)));
    // Read at most one byte past the limit: enough for the reader to reject a file that is too
    // large, without ever holding all of it. Asked for no more than the file holds (and one byte
    // to see it end), so a skin of a few hundred kilobytes does not reserve the limit's 32 MB.
    const qint64 wanted = std::min<qint64>(file.size(), SkinLimits::MaxFileBytes) + 1;
    errno = 0;
    const QByteArray bytes = file.read(wanted);
    if (file.error() != QFileDevice::NoError)
        throw SkinError(QStringLiteral("无法读取皮肤文件“%1”：%2。").arg(path, SystemErrorText::of(file)));
    m_data = readSkin(bytes, path);
    m_path = path;
}

void SkinEngine::applySkin(QWidget *window, const QString &formName)
{
    Q_ASSERT(window);
    if (m_data.forms.isEmpty())
        throw SkinError(QStringLiteral("还没有载入皮肤文件，无法使用窗体“%1”。").arg(formName));
    const SkinForm *found = m_data.form(formName);
    if (!found)
        throw SkinError(
            QStringLiteral("皮肤文件“%1”中没有名为“%2”的窗体。").arg(m_path, formName));
    SkinForm form = *found;
    SkinPictureSet pictures = SkinPictureSet::decode(form, m_path, window->devicePixelRatioF());

    if (m_window)
        m_window->removeEventFilter(this);
    m_form = std::move(form);
    m_pictures = std::move(pictures);
    m_hovered = nullptr;
    m_pressed = nullptr;
    m_window = window;

    const bool wasVisible = window->isVisible();
    window->setWindowFlags(window->windowFlags() | Qt::Window | Qt::FramelessWindowHint);
    // The picture's transparent pixels must show what lies behind the window; the mask alone
    // does not shape a window on every platform (Wayland has no input/output shape from it).
    window->setAttribute(Qt::WA_TranslucentBackground);
    window->setFixedSize(m_form.width, m_form.height);
    window->setMask(regionFromShape(m_form.shape));
    window->setMouseTracking(true);
    window->installEventFilter(this);
    if (wasVisible)
        window->show(); // changing the flags hid it
    window->update();
}

bool SkinEngine::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        paintBackground();
        return false; // the window may still paint on top
    case QEvent::MouseMove:
        onMouseMove(static_cast<QMouseEvent *>(event));
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // the second press of a quick double click
        return onMousePress(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease:
        return onMouseRelease(static_cast<QMouseEvent *>(event));
    case QEvent::Leave:
        setHovered(nullptr);
        return false;
    default:
        return false;
    }
}

void SkinEngine::paintBackground()
{
    const SkinObject *object = highlightedObject();
    const SkinPicturePair *pair = m_pictures.best(
        m_window->devicePixelRatioF(),
        object ? SkinPictureNeed::NormalAndHighlighted : SkinPictureNeed::NormalOnly);
    if (!pair)
        return;
    QPainter painter(m_window);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), pair->normal);
    if (object) {
        const QRect target = object->rect();
        const QRect source(target.topLeft() * pair->scale, target.size() * pair->scale);
        painter.drawImage(target, pair->highlighted, source);
    }
}

void SkinEngine::onMouseMove(const QMouseEvent *event)
{
    setHovered(hitTest(m_form, event->position().toPoint()));
}

bool SkinEngine::onMousePress(const QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    const SkinObject *object = hitTest(m_form, event->position().toPoint());
    setHovered(object);
    if (!object)
        return false;
    m_pressed = object;
    if (object->type() == SkinObjectType::FreeForm) {
        // The window system takes the pointer over for the move and may never send the
        // release; where it cannot move windows, the press stays an ordinary click.
        QWindow *handle = m_window->windowHandle();
        if (handle && handle->startSystemMove())
            m_pressed = nullptr;
    }
    updateObject(object);
    return true;
}

bool SkinEngine::onMouseRelease(const QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return false;
    const SkinObject *pressed = m_pressed;
    m_pressed = nullptr;
    const SkinObject *released = hitTest(m_form, event->position().toPoint());
    setHovered(released);
    updateObject(pressed);
    if (released != pressed)
        return true;
    // A copy: a receiver may do anything, even apply another form.
    click(SkinObject(*pressed));
    return true;
}

const SkinObject *SkinEngine::object(const QString &objectName) const
{
    return m_window ? m_form.object(objectName) : nullptr;
}

void SkinEngine::clickObject(const QString &objectName)
{
    if (const SkinObject *found = object(objectName))
        click(SkinObject(*found));
}

void SkinEngine::click(const SkinObject &object)
{
    // A receiver may do anything, even destroy the window.
    const QPointer<QWidget> window = m_window;
    emit clicked(object);
    if (!window)
        return;
    if (object.type() == SkinObjectType::MinimizeBox)
        window->showMinimized();
    else if (object.type() == SkinObjectType::CloseBox)
        window->close();
}

void SkinEngine::setHovered(const SkinObject *object)
{
    if (object == m_hovered)
        return;
    const SkinObject *before = highlightedObject();
    m_hovered = object;
    const SkinObject *after = highlightedObject();
    if (before != after) {
        updateObject(before);
        updateObject(after);
    }
}

const SkinObject *SkinEngine::highlightedObject() const
{
    const SkinObject *object = m_pressed ? (m_hovered == m_pressed ? m_pressed : nullptr)
                                         : m_hovered;
    // The free-form object is the whole window: it has no highlighted look of its own.
    if (object && object->type() == SkinObjectType::FreeForm)
        return nullptr;
    return object;
}

void SkinEngine::updateObject(const SkinObject *object)
{
    if (object && m_window)
        m_window->update(object->rect());
}
