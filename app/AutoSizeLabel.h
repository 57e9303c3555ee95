#pragma once

#include <QLabel>

// A one-line label that grows and shrinks to the right with its text, keeping its top-left
// corner. It never gets smaller than the height it was given.
class AutoSizeLabel : public QLabel
{
    Q_OBJECT

public:
    explicit AutoSizeLabel(const QString &text, QWidget *parent = nullptr);

    // Sizes the label to its text now. Also done by itself whenever the text changes while
    // the label's container is on show.
    void fitToText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
