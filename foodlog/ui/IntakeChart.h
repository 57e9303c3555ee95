// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/IntakeSeries.h"

#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <QWidget>
#include <optional>

// Where each part of the chart goes at the widget's present size: worked out apart from the
// painting, which only draws what this says.
struct IntakeChartLayout
{
    struct Text
    {
        QString text;
        QRectF rect; // the line the text takes, as wide as the text
        QColor colour;
    };
    struct LegendEntry
    {
        QRectF mark; // a square for bars, a short line for lines
        QColor colour;
        Text text;
    };
    struct Bar
    {
        QRectF rect;
        QColor colour;
    };

    QRectF plot;
    QList<LegendEntry> legend;
    QList<Text> axisTexts;       // the two units, the figures of both scales and the day labels
    QList<double> gridLines;     // heights of the kcal scale's lines
    QList<Bar> bars;
    std::optional<double> budgetHeight;
    QList<QPolygonF> averageLines; // the 7-day average, broken where it has no value
    QPolygonF weightLine;          // through every day weighed, however far apart
    QPolygonF trendLine;           // the smoothed weight (in place of the 7-day average)
    QPolygonF waistLine;           // the waist, on a scale of its own that its legend names
    struct ShareLine
    {
        QPolygonF points;
        QColor colour;
        Qt::PenStyle style;
    };
    QList<ShareLine> shareLines;   // with the shares on: protein, fat, carbohydrate in percent
    QString emptyText;             // on show when there is nothing to draw
};

// The 30-day chart: bars of kcal eaten per day against the budget line, and the
// weight with its trend (or, without one, its 7-day average) on a scale of its own, and the waist
// as a line whose legend gives its first and last figure. Days without food entries have no bar.
// Painted by hand so it stays sharp at any screen scale.
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
    // In place of the kcal bars: each day's shares of protein, fat and carbohydrate in percent of
    // their energy, as three lines (solid, dashed, dotted) on a scale of 0–100 %.
    void setShowShares(bool on);
    const QList<SeriesDay> &days() const { return m_days; }
    // The trend and where it leads in words, read after the summary of what is drawn.
    void setOutlook(const QString &text);

    // The chart as it is painted at the present size.
    IntakeChartLayout chartLayout() const;

    QSize sizeHint() const override { return {420, 200}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString summary() const;
    QFont labelFont() const;

    QList<SeriesDay> m_days;
    std::optional<int> m_budget;
    bool m_showShares = false;
    QString m_outlook;
};
