#pragma once

#include <QColor>
#include <QWidget>

// A horizontal rule one pixel high; it takes no input.
class RuleLine : public QWidget
{
    Q_OBJECT

public:
    RuleLine(QColor colour, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
};
