// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws a window from a skin form and reports clicks on the form's objects.
//
// Usage: loadSkin(path) once, then applySkin(window, formName) before the window is shown.
// From then on the engine paints the window's background, shapes the window, highlights the
// object under the pointer, drags the window by its free-form object, minimises and closes it
// through the boxes of type 5 and 1, and emits clicked() for every completed click on an object.

#include "skin/SkinFile.h"
#include "skin/SkinPictures.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class QMouseEvent;

class SkinEngine : public QObject
{
    Q_OBJECT

public:
    explicit SkinEngine(QObject *parent = nullptr);

    // Reads the skin file at `path`. Throws SkinError if it is missing, unreadable or damaged.
    void loadSkin(const QString &path);
    // Gives `window` the look and shape of the form `formName` of the loaded skin.
    // Throws SkinError if no skin is loaded, there is no such form or its pictures are damaged.
    void applySkin(QWidget *window, const QString &formName);

    // The object named `objectName` of the applied form, or nullptr.
    const SkinObject *object(const QString &objectName) const;
    // Clicks the object as a completed mouse click does: emits clicked(), then minimises or closes
    // the window for the boxes of type 5 and 1. For the keyboard and screen readers.
    void clickObject(const QString &objectName);

signals:
    // A press and a release of the left button on the same object.
    void clicked(const SkinObject &object);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintBackground();
    void onMouseMove(const QMouseEvent *event);
    bool onMousePress(const QMouseEvent *event);
    bool onMouseRelease(const QMouseEvent *event);
    void setHovered(const SkinObject *object);
    const SkinObject *highlightedObject() const;
    void updateObject(const SkinObject *object);
    void click(const SkinObject &object);

    QString m_path;
    SkinData m_data;
    QPointer<QWidget> m_window;
    SkinForm m_form;
    SkinPictureSet m_pictures;
    const SkinObject *m_hovered = nullptr;
    const SkinObject *m_pressed = nullptr;
};
