// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/IntakeSeries.h"

#include <QWidget>
#include <optional>

// The 30-day chart: bars of kcal eaten per day against the budget line, and the
// weight with its 7-day average on a scale of its own. Days without data are
// left empty. Painted by hand so it stays sharp at any screen scale.
//
// Why not Qt Charts: the chart lives in a panel of 450 × 310 pixels with two scales and gaps for
// days without data. Qt Charts' own margins, legend and axis labels take much of that space and
// would need about as much code to fit as painting the few bars and lines does, and it would add
// a library and its graphics scene to the program's package and start-up for one small view.
class IntakeChart : public QWidget
{
    Q_OBJECT

public:
    explicit IntakeChart(QWidget *parent = nullptr);

    void setData(QList<SeriesDay> days, std::optional<int> budget);
    const QList<SeriesDay> &days() const { return m_days; }

    QSize sizeHint() const override { return {420, 200}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString summary() const;

    QList<SeriesDay> m_days;
    std::optional<int> m_budget;
};
