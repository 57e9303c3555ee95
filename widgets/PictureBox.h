// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

// A borderless box that shows a picture at its natural size at the top-left corner; the rest
// of the box shows the background colour. It takes no input.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    PictureBox(const QString &pictureName, QSize pictureSize, QWidget *parent = nullptr);

    QString pictureName() const { return m_pictureName; }
    QSize pictureSize() const { return m_pictureSize; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_pictureName;
    QSize m_pictureSize;
    QPixmap m_picture;
};
