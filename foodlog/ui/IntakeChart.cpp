// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/IntakeChart.h"

#include "foodlog/ChartScale.h"
#include "foodlog/MacroShares.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QColor BarColour(0x7C, 0xC4, 0x6E);
const QColor OverColour(0xF0, 0x8A, 0x3C);
const QColor BudgetColour(0xD8, 0x4A, 0x3A);
const QColor WeightColour(0x2F, 0x6F, 0xC4);
const QColor AverageColour(0x8E, 0x5C, 0xC9);
const QColor TrendColour(0x1B, 0x3F, 0x7A);
const QColor WaistColour(0x9A, 0x5B, 0x13);
const QColor ExerciseColour(0x2A, 0x8C, 0x9E);
const QColor ProteinColour(0xC0, 0x39, 0x2B);
const QColor FatColour(0xD6, 0x8A, 0x00);
const QColor CarbohydrateColour(0x3B, 0x7D, 0x23);

// A day's three shares of the energy its protein, fat and carbohydrate give, in percent.
std::optional<std::array<double, 3>> sharesOf(const SeriesDay &day)
{
    if (!day.macros || !(day.macros->kcal() > 0))
        return std::nullopt;
    const Nutrients &n = *day.macros;
    const double energy = n.kcal();
    return std::array<double, 3>{4 * n.protein / energy * 100, 9 * n.fat / energy * 100,
                                 4 * n.carbohydrate / energy * 100};
}
const QColor GridColour(0xE4, 0xE8, 0xE4);
const QColor AxisText(0x5A, 0x66, 0x5A);

// The highest daily figure the kcal scale reaches: a day above it (a row written by another
// program, 1e308 grams) is drawn at the top of the scale.
constexpr double MaxScaleKcal = 100000;

// A figure in whole kcal for a label, whatever its size.
qint64 wholeKcal(double kcal)
{
    return std::isfinite(kcal) ? qint64(std::clamp(std::round(kcal), -1e15, 1e15)) : 0;
}

} // namespace

IntakeChart::IntakeChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("intakeChart"));
    setAccessibleName(QStringLiteral("最近30天趋势图"));
    setMinimumSize(300, 150);
}

void IntakeChart::setShowShares(bool on)
{
    m_showShares = on;
    setAccessibleDescription(summary());
    update();
}

void IntakeChart::setOutlook(const QString &text)
{
    m_outlook = text;
    setAccessibleDescription(summary());
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
    int exercised = 0;
    double burned = 0;
    std::optional<double> firstKg, lastKg;
    for (const SeriesDay &d : m_days) {
        if (d.kcal) {
            ++logged;
            total += *d.kcal;
        }
        if (d.burnedKcal) {
            ++exercised;
            burned += *d.burnedKcal;
        }
        if (d.kg) {
            if (!firstKg)
                firstKg = d.kg;
            lastKg = d.kg;
        }
    }
    QString text = logged ? QStringLiteral("%1 天有饮食记录，平均每天 %2 大卡").arg(logged).arg(wholeKcal(total / logged))
                          : QStringLiteral("没有饮食记录");
    if (exercised)
        text += QStringLiteral("；%1 天有运动，平均每次运动日消耗 %2 大卡").arg(exercised).arg(wholeKcal(burned / exercised));
    if (m_showShares) {
        std::array<double, 3> sum{0, 0, 0};
        int counted = 0;
        double covered = 0;
        double eaten = 0;
        for (const SeriesDay &d : m_days)
            if (const auto shares = sharesOf(d)) {
                ++counted;
                covered += d.macrosKcal;
                eaten += d.kcal.value_or(0);
                for (int i = 0; i < 3; ++i)
                    sum[size_t(i)] += (*shares)[size_t(i)];
            }
        // Verdicts only where the entries with figures carry most of those days' energy.
        const int coverage = MacroShares::coverageOf(covered, eaten);
        const bool judged = coverage >= MacroShares::MinimumCoverage;
        const auto average = [&](int i, MacroShares::Range range) {
            const int percent = qRound(sum[size_t(i)] / counted);
            if (!judged)
                return QStringLiteral("%1%").arg(percent);
            return QStringLiteral("%1%（%2）").arg(percent).arg(MacroShares::textOf(MacroShares::verdictOf(percent, range.low, range.high)));
        };
        if (counted) {
            text += QStringLiteral("；%1 天有营养素数据，平均蛋白质 %2、脂肪 %3、碳水 %4")
                        .arg(counted)
                        .arg(average(0, MacroShares::ProteinRange), average(1, MacroShares::FatRange),
                             average(2, MacroShares::CarbohydrateRange));
            if (!judged)
                text += QStringLiteral("（覆盖这些天能量的 %1%，不作评价）").arg(coverage);
        } else {
            text += QStringLiteral("；没有营养素数据");
        }
    }
    if (firstKg)
        text += QStringLiteral("；体重从 %1 到 %2 千克").arg(*firstKg, 0, 'f', 1).arg(*lastKg, 0, 'f', 1);
    std::optional<double> firstTrend, lastTrend, firstWaist, lastWaist;
    for (const SeriesDay &d : m_days) {
        if (d.kgTrend) {
            firstTrend = firstTrend ? firstTrend : d.kgTrend;
            lastTrend = d.kgTrend;
        }
        if (d.waistCm) {
            firstWaist = firstWaist ? firstWaist : d.waistCm;
            lastWaist = d.waistCm;
        }
    }
    if (firstTrend)
        text += QStringLiteral("，趋势从 %1 到 %2 千克").arg(*firstTrend, 0, 'f', 1).arg(*lastTrend, 0, 'f', 1);
    if (firstWaist)
        text += QStringLiteral("；腰围从 %1 到 %2 厘米").arg(*firstWaist, 0, 'f', 1).arg(*lastWaist, 0, 'f', 1);
    return text + QStringLiteral("。") + m_outlook;
}

QFont IntakeChart::labelFont() const
{
    QFont small = font();
    small.setPixelSize(10);
    return small;
}

IntakeChartLayout IntakeChart::chartLayout() const
{
    using Text = IntakeChartLayout::Text;
    IntakeChartLayout chart;
    const QFontMetricsF fm(labelFont());
    const double lineHeight = fm.height();
    const auto text = [&](const QString &words, double x, double middle, const QColor &colour) {
        return Text{words, QRectF(x, middle - lineHeight / 2, fm.horizontalAdvance(words), lineHeight), colour};
    };
    // Set with its right edge at x.
    const auto rightAligned = [&](const QString &words, double x, double middle, const QColor &colour) {
        return text(words, x - fm.horizontalAdvance(words), middle, colour);
    };

    double maxKcal = m_budget.value_or(0);
    double minKg = 1e9, maxKg = -1e9;
    bool anyKcal = false, anyKg = false, anyBurned = false;
    const bool anyTrend = std::any_of(m_days.cbegin(), m_days.cend(), [](const SeriesDay &d) { return d.kgTrend.has_value(); });
    double minWaist = 1e9, maxWaist = -1e9;
    std::optional<double> firstWaist, lastWaist;
    for (const SeriesDay &d : m_days) {
        if (d.waistCm) {
            minWaist = std::min(minWaist, *d.waistCm);
            maxWaist = std::max(maxWaist, *d.waistCm);
            firstWaist = firstWaist ? firstWaist : d.waistCm;
            lastWaist = d.waistCm;
        }
        if (d.kcal) {
            maxKcal = std::max(maxKcal, std::min(*d.kcal, MaxScaleKcal));
            anyKcal = true;
        }
        if (d.burnedKcal) {
            maxKcal = std::max(maxKcal, std::min(*d.burnedKcal, MaxScaleKcal));
            anyBurned = true;
        }
        // The trend takes the 7-day average's place when there is one.
        for (const std::optional<double> &kg : {d.kg, anyTrend ? d.kgTrend : d.kgWeekAverage}) {
            if (kg) {
                minKg = std::min(minKg, *kg);
                maxKg = std::max(maxKg, *kg);
                anyKg = true;
            }
        }
    }

    // The scales' figures: the kcal scale from 0; the kg scale of its own, at least 2 kg high,
    // with a little room around.
    // With the shares on, the left scale is percent: 0–100.
    const double kcalTop = m_showShares ? 100.0 : std::max(maxKcal * 1.1, 500.0);
    const QList<double> kcalTicks = ChartScale::ticksBetween(0, kcalTop, m_showShares ? 25.0 : ChartScale::niceStep(kcalTop, 4));
    double kgLow = 0, kgHigh = 2;
    QList<double> kgTicks;
    int kgDecimals = 0;
    if (anyKg) {
        kgLow = std::floor(minKg - 0.5);
        kgHigh = std::max(std::ceil(maxKg + 0.5), kgLow + 2);
        const double kgStep = ChartScale::niceStep(kgHigh - kgLow, 4);
        kgTicks = ChartScale::ticksBetween(std::ceil(kgLow / kgStep) * kgStep, kgHigh + 1e-9, kgStep);
        kgDecimals = kgStep < 1 ? 1 : 0;
    }

    // The kcal scale on the left, the kg scale on the right, each as wide as its widest figure
    // or its unit; the legend on top between the units; the day labels below.
    const QString kcalUnit = m_showShares ? QStringLiteral("占比%") : QStringLiteral("大卡");
    const QString kgUnit = QStringLiteral("千克");
    double leftWidth = std::max(fm.horizontalAdvance(QStringLiteral("0000")), fm.horizontalAdvance(kcalUnit));
    for (double v : kcalTicks)
        leftWidth = std::max(leftWidth, fm.horizontalAdvance(QString::number(wholeKcal(v))));
    double rightWidth = std::max(fm.horizontalAdvance(QStringLiteral("000.0")), fm.horizontalAdvance(kgUnit));
    for (double v : kgTicks)
        rightWidth = std::max(rightWidth, fm.horizontalAdvance(QString::number(v, 'f', kgDecimals)));
    const double left = std::ceil(leftWidth) + 6;
    const double right = std::ceil(rightWidth) + 6;

    // The legend, in as many rows as it needs.
    struct Key
    {
        QColor colour;
        QString words;
        bool bar;
    };
    QList<Key> keys;
    if (m_showShares) {
        keys << Key{ProteinColour, QStringLiteral("蛋白质（实线）"), false}
             << Key{FatColour, QStringLiteral("脂肪（虚线）"), false}
             << Key{CarbohydrateColour, QStringLiteral("碳水（点线）"), false};
    } else {
        keys << Key{BarColour, QStringLiteral("摄入"), true};
        if (m_budget)
            keys << Key{OverColour, QStringLiteral("超出预算"), true} << Key{BudgetColour, QStringLiteral("预算"), false};
        if (anyBurned)
            keys << Key{ExerciseColour, QStringLiteral("运动消耗"), true};
    }
    keys << Key{WeightColour, QStringLiteral("体重"), false};
    keys << (anyTrend ? Key{TrendColour, QStringLiteral("体重趋势"), false}
                      : Key{AverageColour, QStringLiteral("体重7日平均"), false});
    if (firstWaist)
        keys << Key{WaistColour,
                    *firstWaist == *lastWaist
                        ? QStringLiteral("腰围 %1 厘米").arg(*lastWaist, 0, 'f', 1)
                        : QStringLiteral("腰围 %1→%2 厘米").arg(*firstWaist, 0, 'f', 1).arg(*lastWaist, 0, 'f', 1),
                    false};
    const double rowHeight = lineHeight + 4;
    double x = left;
    int row = 0;
    for (const Key &key : keys) {
        const double entryWidth = 12 + fm.horizontalAdvance(key.words);
        if (x > left && x + entryWidth > width() - right) {
            ++row;
            x = left;
        }
        const double middle = row * rowHeight + rowHeight / 2;
        const QRectF mark = key.bar ? QRectF(x, middle - 4, 8, 8) : QRectF(x, middle - 1, 10, 2);
        chart.legend.append({mark, key.colour, text(key.words, x + 12, middle, AxisText)});
        x += entryWidth + 10;
    }
    const double legendHeight = (row + 1) * rowHeight;

    // Half a line of room under the legend: the top figure of a scale is centred on its line.
    const double top = legendHeight + std::ceil(lineHeight / 2) + 2;
    chart.plot = QRectF(left, top, width() - left - right, height() - top - lineHeight - 4);
    const QRectF plot = chart.plot;
    if (m_days.isEmpty() || plot.width() < 20 || plot.height() < 20)
        return IntakeChartLayout();

    chart.axisTexts << rightAligned(kcalUnit, left - 4, rowHeight / 2, AxisText)
                    << text(kgUnit, plot.right() + 4, rowHeight / 2, WeightColour);

    // A day beyond the scale (a figure no meal reaches) is drawn to the top, not beyond it.
    const auto kcalY = [&](double v) { return plot.bottom() - std::min(v, kcalTop) / kcalTop * plot.height(); };
    for (double v : kcalTicks) {
        chart.gridLines << kcalY(v);
        chart.axisTexts << rightAligned(QString::number(wholeKcal(v)), left - 4, kcalY(v), AxisText);
    }

    // Day labels: the first day, then each week; each within the plot's width, so that none
    // runs into a scale's figures.
    const double slot = plot.width() / m_days.size();
    const auto centre = [&](int i) { return plot.left() + slot * (i + 0.5); };
    for (int i = 0; i < m_days.size(); i += 7) {
        Text label = text(m_days.at(i).day.toString(QStringLiteral("M/d")), 0, plot.bottom() + 2 + lineHeight / 2, AxisText);
        const double labelLeft = std::clamp(centre(i) - label.rect.width() / 2, plot.left(),
                                            std::max(plot.left(), plot.right() - label.rect.width()));
        label.rect.moveLeft(labelLeft);
        chart.axisTexts << label;
    }

    // With exercise in the month, each day has two bars side by side: intake on the left,
    // exercise on the right. A day is over its budget when intake passes budget + exercise.
    bool anyShares = false;
    if (m_showShares) {
        const QColor colours[] = {ProteinColour, FatColour, CarbohydrateColour};
        const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};
        for (int k = 0; k < 3; ++k)
            chart.shareLines << IntakeChartLayout::ShareLine{QPolygonF(), colours[k], styles[k]};
        for (int i = 0; i < m_days.size(); ++i)
            if (const auto shares = sharesOf(m_days.at(i))) {
                anyShares = true;
                for (int k = 0; k < 3; ++k)
                    chart.shareLines[k].points << QPointF(centre(i), kcalY((*shares)[size_t(k)]));
            }
    }
    const double barWidth = std::max(1.0, slot * (anyBurned ? 0.42 : 0.7));
    const double intakeCentre = anyBurned ? -slot * 0.2 : 0;
    for (int i = 0; i < m_days.size() && !m_showShares; ++i) {
        const SeriesDay &d = m_days.at(i);
        if (d.kcal) {
            const double barTop = kcalY(*d.kcal);
            const bool over = m_budget && *d.kcal > *m_budget + d.burnedKcal.value_or(0);
            chart.bars.append({QRectF(centre(i) + intakeCentre - barWidth / 2, barTop, barWidth, plot.bottom() - barTop),
                               over ? OverColour : BarColour});
        }
        if (d.burnedKcal) {
            const double barTop = kcalY(*d.burnedKcal);
            chart.bars.append({QRectF(centre(i) + slot * 0.2 - barWidth / 2, barTop, barWidth, plot.bottom() - barTop),
                               ExerciseColour});
        }
    }
    if (m_budget && !m_showShares)
        chart.budgetHeight = kcalY(*m_budget);

    if (anyKg) {
        const auto kgY = [&](double v) { return plot.bottom() - (v - kgLow) / (kgHigh - kgLow) * plot.height(); };
        for (double v : kgTicks)
            chart.axisTexts << text(QString::number(v, 'f', kgDecimals), plot.right() + 4, kgY(v), WeightColour);
        // The weight is joined from one weighing to the next, however many days lie between;
        // the average has a value on every day with a weighing in its week, and a gap after a
        // week without one.
        QPolygonF averageRun;
        for (int i = 0; i < m_days.size(); ++i) {
            const SeriesDay &d = m_days.at(i);
            if (d.kg)
                chart.weightLine << QPointF(centre(i), kgY(*d.kg));
            if (d.kgTrend)
                chart.trendLine << QPointF(centre(i), kgY(*d.kgTrend));
            if (d.kgWeekAverage && !anyTrend) {
                averageRun << QPointF(centre(i), kgY(*d.kgWeekAverage));
            } else if (!averageRun.isEmpty()) {
                chart.averageLines << averageRun;
                averageRun.clear();
            }
        }
        if (!averageRun.isEmpty())
            chart.averageLines << averageRun;
    }
    // The waist on a scale of its own in the plot's upper part, at least 4 cm high, so that it
    // keeps clear of the bars at the bottom; its figures are in its legend.
    if (firstWaist) {
        const double low = std::floor(minWaist - 1);
        const double high = std::max(std::ceil(maxWaist + 1), low + 4);
        const auto waistY = [&](double cm) {
            return plot.top() + plot.height() * 0.05 + (high - cm) / (high - low) * plot.height() * 0.45;
        };
        for (int i = 0; i < m_days.size(); ++i)
            if (m_days.at(i).waistCm)
                chart.waistLine << QPointF(centre(i), waistY(*m_days.at(i).waistCm));
    }
    if (m_showShares && !anyShares)
        chart.emptyText = QStringLiteral("最近30天的记录没有营养素数据");
    else if (!anyKcal && !anyKg && !anyBurned && !firstWaist)
        chart.emptyText = QStringLiteral("最近30天还没有记录");
    return chart;
}

void IntakeChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().color(QPalette::Base));
    const IntakeChartLayout chart = chartLayout();
    if (chart.plot.isEmpty())
        return;
    p.setFont(labelFont());
    const auto draw = [&p](const IntakeChartLayout::Text &text) {
        p.setPen(text.colour);
        p.drawText(text.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, text.text);
    };
    const QRectF &plot = chart.plot;

    for (const auto &entry : chart.legend) {
        p.setPen(Qt::NoPen);
        p.setBrush(entry.colour);
        p.drawRect(entry.mark);
        draw(entry.text);
    }
    p.setPen(GridColour);
    for (double y : chart.gridLines)
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    for (const auto &text : chart.axisTexts)
        draw(text);

    p.setPen(Qt::NoPen);
    for (const auto &bar : chart.bars) {
        p.setBrush(bar.colour);
        p.drawRect(bar.rect);
    }
    if (chart.budgetHeight) {
        p.setPen(QPen(BudgetColour, 1.5, Qt::DashLine));
        p.drawLine(QPointF(plot.left(), *chart.budgetHeight), QPointF(plot.right(), *chart.budgetHeight));
    }

    p.setBrush(Qt::NoBrush);
    for (const auto &line : chart.shareLines) {
        p.setPen(QPen(line.colour, 1.8, line.style));
        p.drawPolyline(line.points);
        // Each day marked, so that a lone day shows too.
        p.setPen(QPen(line.colour, 1.2));
        for (const QPointF &point : line.points)
            p.drawRect(QRectF(point.x() - 2, point.y() - 2, 4, 4));
    }
    p.setPen(QPen(AverageColour, 1.5));
    for (const QPolygonF &run : chart.averageLines)
        p.drawPolyline(run);
    // The readings thin with their points, the trend thick and dark: the trend is what to read.
    p.setPen(QPen(WeightColour, chart.trendLine.isEmpty() ? 1.8 : 1.0));
    p.drawPolyline(chart.weightLine);
    p.setBrush(WeightColour);
    for (const QPointF &point : chart.weightLine)
        p.drawEllipse(point, 2.2, 2.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(TrendColour, 2.4));
    p.drawPolyline(chart.trendLine);
    p.setPen(QPen(WaistColour, 1.6, Qt::DashDotLine));
    p.drawPolyline(chart.waistLine);
    p.setBrush(WaistColour);
    p.setPen(Qt::NoPen);
    for (const QPointF &point : chart.waistLine)
        p.drawRect(QRectF(point.x() - 2, point.y() - 2, 4, 4));

    p.setPen(QColor(0xB8, 0xC4, 0xB8));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    if (!chart.emptyText.isEmpty()) {
        p.setPen(AxisText);
        p.drawText(plot, Qt::AlignCenter, chart.emptyText);
    }
}
