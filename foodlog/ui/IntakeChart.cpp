// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/IntakeChart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <functional>
#include <cmath>

namespace {

const QColor BarColour(0x7C, 0xC4, 0x6E);
const QColor OverColour(0xF0, 0x8A, 0x3C);
const QColor BudgetColour(0xD8, 0x4A, 0x3A);
const QColor WeightColour(0x2F, 0x6F, 0xC4);
const QColor AverageColour(0x8E, 0x5C, 0xC9);
const QColor GridColour(0xE4, 0xE8, 0xE4);
const QColor AxisText(0x5A, 0x66, 0x5A);

// A step of 1, 2 or 5 times a power of ten giving about `ticks` steps.
double niceStep(double range, int ticks)
{
    const double raw = range / std::max(ticks, 1);
    const double power = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

// The highest daily figure the kcal scale reaches: a day above it (a row written by another
// program, 1e308 grams) is drawn at the top of the scale.
constexpr double MaxScaleKcal = 100000;

// from, from + step, … up to `to`: at most a few dozen values whatever the figures, so that no
// scale loops for ever on an infinite or absurd range.
QList<double> ticks(double from, double to, double step)
{
    QList<double> values;
    if (!std::isfinite(from) || !std::isfinite(to) || !(step > 0) || !std::isfinite(step))
        return values;
    for (int i = 0; i < 50; ++i) {
        const double v = from + i * step;
        if (v > to)
            break;
        values << v;
    }
    return values;
}

// A figure in whole kcal for a label, whatever its size.
qint64 wholeKcal(double kcal)
{
    return std::isfinite(kcal) ? qint64(std::clamp(std::round(kcal), -1e15, 1e15)) : 0;
}

// Draws a line through the days that have a value, broken where one is missing.
template<typename Value>
void drawBrokenLine(QPainter &p, const QList<SeriesDay> &days, Value value,
                    const std::function<QPointF(int, double)> &at, bool dots)
{
    QPainterPath path;
    QList<QPointF> points;
    bool open = false;
    for (int i = 0; i < days.size(); ++i) {
        const std::optional<double> v = value(days.at(i));
        if (!v) {
            open = false;
            continue;
        }
        const QPointF point = at(i, *v);
        if (open)
            path.lineTo(point);
        else
            path.moveTo(point);
        open = true;
        points.append(point);
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(path); // a path is filled by any brush set: lines only
    if (dots) {
        p.setBrush(p.pen().color());
        for (const QPointF &point : points)
            p.drawEllipse(point, 2.2, 2.2);
    }
}

} // namespace

IntakeChart::IntakeChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("intakeChart"));
    setAccessibleName(QStringLiteral("最近30天趋势图"));
    setMinimumSize(300, 150);
}

void IntakeChart::setData(QList<SeriesDay> days, std::optional<int> budget)
{
    m_days = std::move(days);
    m_budget = budget;
    setAccessibleDescription(summary());
    update();
}

QString IntakeChart::summary() const
{
    int logged = 0;
    double total = 0;
    std::optional<double> firstKg, lastKg;
    for (const SeriesDay &d : m_days) {
        if (d.kcal) {
            ++logged;
            total += *d.kcal;
        }
        if (d.kg) {
            if (!firstKg)
                firstKg = d.kg;
            lastKg = d.kg;
        }
    }
    QString text = logged ? QStringLiteral("%1 天有饮食记录，平均每天 %2 大卡").arg(logged).arg(wholeKcal(total / logged))
                          : QStringLiteral("没有饮食记录");
    if (firstKg)
        text += QStringLiteral("；体重从 %1 到 %2 千克").arg(*firstKg, 0, 'f', 1).arg(*lastKg, 0, 'f', 1);
    return text + QStringLiteral("。");
}

void IntakeChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().color(QPalette::Base));
    QFont small = font();
    small.setPixelSize(10);
    p.setFont(small);
    const QFontMetrics fm(small);

    double maxKcal = m_budget.value_or(0);
    double minKg = 1e9, maxKg = -1e9;
    bool anyKcal = false, anyKg = false;
    for (const SeriesDay &d : m_days) {
        if (d.kcal) {
            maxKcal = std::max(maxKcal, std::min(*d.kcal, MaxScaleKcal));
            anyKcal = true;
        }
        for (const std::optional<double> &kg : {d.kg, d.kgWeekAverage}) {
            if (kg) {
                minKg = std::min(minKg, *kg);
                maxKg = std::max(maxKg, *kg);
                anyKg = true;
            }
        }
    }

    // Legend on top, axes left (kcal) and right (kg), day labels below.
    const int legendHeight = fm.height() + 4;
    const int left = fm.horizontalAdvance(QStringLiteral("0000")) + 6;
    const int right = fm.horizontalAdvance(QStringLiteral("000.0")) + 6;
    const QRectF plot(left, legendHeight + 4, width() - left - right,
                      height() - legendHeight - 4 - fm.height() - 4);
    if (m_days.isEmpty() || plot.width() < 20 || plot.height() < 20)
        return;

    // Legend.
    int x = left;
    auto legend = [&](const QColor &colour, const QString &text, bool bar) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        if (bar)
            p.drawRect(QRectF(x, legendHeight / 2.0 - 4, 8, 8));
        else
            p.drawRect(QRectF(x, legendHeight / 2.0 - 1, 10, 2));
        x += 12;
        p.setPen(AxisText);
        p.drawText(QPointF(x, legendHeight / 2.0 + fm.ascent() / 2.0 - 1), text);
        x += fm.horizontalAdvance(text) + 10;
    };
    legend(BarColour, QStringLiteral("摄入"), true);
    if (m_budget)
        legend(BudgetColour, QStringLiteral("预算"), false);
    legend(WeightColour, QStringLiteral("体重"), false);
    legend(AverageColour, QStringLiteral("7日平均"), false);

    // Kcal scale from 0.
    const double kcalTop = std::max(maxKcal * 1.1, 500.0);
    const QList<double> kcalTicks = ticks(0, kcalTop, niceStep(kcalTop, 4));
    // A day beyond the scale (a figure no meal reaches) is drawn to the top, not beyond it.
    auto kcalY = [&](double v) { return plot.bottom() - std::min(v, kcalTop) / kcalTop * plot.height(); };
    p.setPen(GridColour);
    for (double v : kcalTicks)
        p.drawLine(QPointF(plot.left(), kcalY(v)), QPointF(plot.right(), kcalY(v)));
    p.setPen(AxisText);
    for (double v : kcalTicks)
        p.drawText(QRectF(0, kcalY(v) - fm.height() / 2.0, left - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(wholeKcal(v)));

    // Day labels: the first day, then each week, and the last.
    const double slot = plot.width() / m_days.size();
    auto centre = [&](int i) { return plot.left() + slot * (i + 0.5); };
    for (int i = 0; i < m_days.size(); i += 7) {
        const QString label = m_days.at(i).day.toString(QStringLiteral("M/d"));
        p.drawText(QRectF(centre(i) - 20, plot.bottom() + 2, 40, fm.height()), Qt::AlignCenter, label);
    }

    // Bars.
    p.setPen(Qt::NoPen);
    const double barWidth = std::max(1.0, slot * 0.7);
    for (int i = 0; i < m_days.size(); ++i) {
        const SeriesDay &d = m_days.at(i);
        if (!d.kcal)
            continue;
        p.setBrush(m_budget && *d.kcal > *m_budget ? OverColour : BarColour);
        const double top = kcalY(*d.kcal);
        p.drawRect(QRectF(centre(i) - barWidth / 2, top, barWidth, plot.bottom() - top));
    }
    if (m_budget) {
        QPen pen(BudgetColour, 1.5, Qt::DashLine);
        p.setPen(pen);
        p.drawLine(QPointF(plot.left(), kcalY(*m_budget)), QPointF(plot.right(), kcalY(*m_budget)));
    }

    if (anyKg) {
        // A kg scale of its own, at least 2 kg high, with a little room around.
        double low = std::floor(minKg - 0.5), high = std::ceil(maxKg + 0.5);
        if (high - low < 2)
            high = low + 2;
        auto kgY = [&](double v) { return plot.bottom() - (v - low) / (high - low) * plot.height(); };
        const double kgStep = niceStep(high - low, 4);
        p.setPen(WeightColour);
        for (double v : ticks(std::ceil(low / kgStep) * kgStep, high + 1e-9, kgStep))
            p.drawText(QRectF(plot.right() + 4, kgY(v) - fm.height() / 2.0, right - 4, fm.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, QString::number(v, 'f', kgStep < 1 ? 1 : 0));
        const auto at = [&](int i, double v) { return QPointF(centre(i), kgY(v)); };
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(AverageColour, 1.5));
        drawBrokenLine(p, m_days, [](const SeriesDay &d) { return d.kgWeekAverage; }, at, false);
        p.setPen(QPen(WeightColour, 1.8));
        drawBrokenLine(p, m_days, [](const SeriesDay &d) { return d.kg; }, at, true);
    }

    p.setPen(QColor(0xB8, 0xC4, 0xB8));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    if (!anyKcal && !anyKg) {
        p.setPen(AxisText);
        p.drawText(plot, Qt::AlignCenter, QStringLiteral("最近30天还没有记录"));
    }
}
