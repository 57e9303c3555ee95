// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ui/ReportWriter.h"

#include "foodlog/ChartScale.h"
#include "foodlog/WeightTarget.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <functional>

namespace ReportWriter {

namespace {

// Drawing in points (1/72 inch) on A4 within 15 mm margins; a section that does not fit in
// what is left of a page starts the next.
class Page
{
public:
    Page(QPainter &painter, QPdfWriter &writer) : m_painter(painter), m_writer(writer) {}

    double width() const { return m_painter.viewport().width() / scale(); }
    double height() const { return m_painter.viewport().height() / scale(); }
    double y = 0;

    // Room for `points` more, on this page or the next.
    void need(double points)
    {
        if (y > 0 && y + points > height()) {
            m_writer.newPage();
            y = 0;
        }
    }
    // The painter draws in points already; a font's point size is taken at the device's
    // resolution, so it is given in the units the scale leaves.
    QFont font(double points, bool bold = false) const
    {
        QFont f = m_painter.font();
        f.setPointSizeF(points / scale());
        f.setBold(bold);
        return f;
    }
    // A line of text at the current height, which then moves down.
    void line(const QString &text, double points, bool bold = false, double x = 0)
    {
        m_painter.setFont(font(points, bold));
        const QFontMetricsF fm(m_painter.font());
        need(fm.height() * 1.15);
        m_painter.setPen(Qt::black);
        m_painter.drawText(QPointF(x, y + fm.ascent()), text);
        y += fm.height() * 1.15;
    }
    // Text wrapped within the page's width.
    void paragraph(const QString &text, double points)
    {
        m_painter.setFont(font(points));
        const QRectF box(0, y, width(), 1000);
        const QRectF needed = m_painter.boundingRect(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
        need(needed.height());
        QRectF used;
        m_painter.setPen(Qt::black);
        m_painter.drawText(QRectF(0, y, width(), 1000), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text, &used);
        y += used.height() + points * 0.6;
    }
    QPainter &painter() { return m_painter; }
    double scale() const { return m_painter.device()->logicalDpiX() / 72.0; }

private:
    QPainter &m_painter;
    QPdfWriter &m_writer;
};

QString kcal(double value)
{
    return QString::number(qRound64(value));
}

QString kg(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'f', 1) : QStringLiteral("—");
}

QString dayText(const QDate &day)
{
    static const char *weekdays[] = {"一", "二", "三", "四", "五", "六", "日"};
    return QStringLiteral("%1月%2日 周%3").arg(day.month()).arg(day.day()).arg(QString::fromUtf8(weekdays[day.dayOfWeek() - 1]));
}

bool anyWaist(const LogReport &report)
{
    return std::any_of(report.days.cbegin(), report.days.cend(), [](const LogReport::Day &d) { return d.figures.waistCm.has_value(); });
}

void summary(Page &page, const LogReport &report)
{
    double burned = 0;
    int budgets = 0;
    double budgetSum = 0;
    std::optional<double> firstKg, lastKg, firstWaist, lastWaist;
    for (const LogReport::Day &d : report.days) {
        burned += d.figures.burnedKcal.value_or(0);
        if (d.budget && d.figures.kcal) {
            ++budgets;
            budgetSum += *d.budget;
        }
        if (d.figures.kg) {
            if (!firstKg)
                firstKg = d.figures.kg;
            lastKg = d.figures.kg;
        }
        if (d.figures.waistCm) {
            if (!firstWaist)
                firstWaist = d.figures.waistCm;
            lastWaist = d.figures.waistCm;
        }
    }
    QStringList parts;
    parts << (report.loggedDays() ? QStringLiteral("%1 天中有 %2 天记录了饮食，平均每天摄入 %3 大卡")
                                        .arg(report.days.size())
                                        .arg(report.loggedDays())
                                        .arg(kcal(report.meanIntake()))
                                  : QStringLiteral("这 %1 天没有饮食记录").arg(report.days.size()));
    if (budgets)
        parts << QStringLiteral("同期平均预算 %1 大卡").arg(kcal(budgetSum / budgets));
    parts << (burned > 0 ? QStringLiteral("运动共消耗 %1 大卡").arg(kcal(burned)) : QStringLiteral("没有运动记录"));
    if (firstKg)
        parts << QStringLiteral("体重从 %1 千克到 %2 千克").arg(*firstKg, 0, 'f', 1).arg(*lastKg, 0, 'f', 1);
    if (firstWaist)
        parts << (*firstWaist == *lastWaist
                      ? QStringLiteral("腰围 %1 厘米").arg(*lastWaist, 0, 'f', 1)
                      : QStringLiteral("腰围从 %1 厘米到 %2 厘米").arg(*firstWaist, 0, 'f', 1).arg(*lastWaist, 0, 'f', 1));
    page.paragraph(parts.join(QStringLiteral("；")) + QStringLiteral("。"), 11);
    // The trend and where it leads, as the 30天趋势 page says it on the report's last day.
    const QString outlook = WeightTarget::outlook(report.trend, report.targetKg, report.last);
    if (!outlook.isEmpty())
        page.paragraph(outlook, 11);
}

void dayTable(Page &page, const LogReport &report)
{
    QPainter &p = page.painter();
    const bool waist = anyWaist(report);
    QStringList headers = {QStringLiteral("日期"), QStringLiteral("摄入"), QStringLiteral("预算"),
                           QStringLiteral("运动消耗"), QStringLiteral("剩余 / 超出"), QStringLiteral("体重"),
                           QStringLiteral("趋势")};
    QList<double> widths = {0.19, 0.12, 0.12, 0.13, 0.16, 0.12, 0.12};
    if (waist) {
        headers << QStringLiteral("腰围");
        widths = {0.17, 0.1, 0.1, 0.12, 0.15, 0.1, 0.1, 0.1};
    }
    const double rowHeight = report.days.size() > 10 ? 15 : 18;
    const auto row = [&](const QStringList &cells, bool bold) {
        p.setFont(page.font(9.5, bold));
        p.setPen(Qt::black);
        double x = 0;
        for (int i = 0; i < cells.size(); ++i) {
            const double w = widths[i] * page.width();
            p.drawText(QRectF(x + 2, page.y, w - 4, rowHeight), (i == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                       cells.at(i));
            x += w;
        }
        page.y += rowHeight;
        p.setPen(QPen(Qt::black, bold ? 0.8 : 0.3));
        p.drawLine(QPointF(0, page.y), QPointF(page.width(), page.y));
    };
    page.need(40 + rowHeight * 3);
    page.line(waist ? QStringLiteral("每日明细（单位：大卡、千克、厘米）") : QStringLiteral("每日明细（单位：大卡、千克）"), 12, true);
    row(headers, true);
    for (const LogReport::Day &d : report.days) {
        // A long period runs on over pages, each with the headings.
        if (page.y + rowHeight > page.height()) {
            page.need(page.height());
            row(headers, true);
        }
        QStringList cells = dayCells(d);
        if (!waist)
            cells.removeLast();
        row(cells, false);
    }
    page.y += 8;
}

// The x of day i of n within the plot, and the days that get a label: every day of a week, one a
// week of a month, fewer of a longer run.
double dayX(const QRectF &plot, int i, int n)
{
    return plot.left() + plot.width() * (i + 0.5) / n;
}

void dayLabels(Page &page, const QRectF &plot, const LogReport &report)
{
    QPainter &p = page.painter();
    const int n = int(report.days.size());
    const int every = n <= 10 ? 1 : 7 * int(std::ceil(n / 70.0));
    p.setPen(Qt::black);
    p.setFont(page.font(8.5));
    for (int i = 0; i < n; i += every) {
        const QDate day = report.days.at(i).figures.day;
        p.drawText(QRectF(dayX(plot, i, n) - 25, plot.bottom() + 2, 50, 12), Qt::AlignCenter,
                   QStringLiteral("%1/%2").arg(day.month()).arg(day.day()));
    }
}

// A scale's figures at the left of the plot and its grid lines, dotted.
void scale(Page &page, const QRectF &plot, const ChartScale &s, const std::function<double(double)> &y)
{
    QPainter &p = page.painter();
    p.setFont(page.font(8.5));
    for (double v : s.ticks) {
        p.setPen(QPen(Qt::gray, 0.3, Qt::DotLine));
        p.drawLine(QPointF(plot.left(), y(v)), QPointF(plot.right(), y(v)));
        p.setPen(Qt::black);
        p.drawText(QRectF(plot.left() - 44, y(v) - 6, 40, 12), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(v, 'f', s.decimals));
    }
    p.setPen(QPen(Qt::black, 0.6));
    p.drawRect(plot);
}

// Each day's intake as a bar, grey, hatched when over the day's budget and exercise; the day's
// budget as a dashed black stroke over its bar.
void intakeChart(Page &page, const LogReport &report)
{
    page.need(190);
    page.line(QStringLiteral("摄入与预算（柱：当天摄入，斜线柱：超出预算加运动消耗；虚线：当天预算；单位：大卡）"), 11, true);
    if (!report.loggedDays()) {
        page.paragraph(QStringLiteral("这段时间没有饮食记录。"), 11);
        return;
    }
    QPainter &p = page.painter();
    double top = 0;
    for (const LogReport::Day &d : report.days)
        top = std::max({top, d.figures.kcal.value_or(0), double(d.budget.value_or(0))});
    const ChartScale s = ChartScale::covering(0, top * 1.05, 4);
    const QRectF plot(48, page.y + 6, page.width() - 56, 140);
    const auto y = [&](double v) { return plot.bottom() - (std::min(v, s.high) - s.low) / (s.high - s.low) * plot.height(); };
    scale(page, plot, s, y);
    const int n = int(report.days.size());
    const double slot = plot.width() / n;
    const double barWidth = std::max(0.6, slot * 0.6);
    for (int i = 0; i < n; ++i) {
        const LogReport::Day &d = report.days.at(i);
        const double x = dayX(plot, i, n);
        if (d.figures.kcal) {
            const bool over = d.budget && *d.figures.kcal > *d.budget + d.figures.burnedKcal.value_or(0);
            const QRectF bar(x - barWidth / 2, y(*d.figures.kcal), barWidth, plot.bottom() - y(*d.figures.kcal));
            p.setPen(QPen(Qt::black, 0.5));
            p.setBrush(QColor(0xC8, 0xC8, 0xC8));
            p.drawRect(bar);
            if (over) {
                p.setBrush(QBrush(Qt::black, Qt::BDiagPattern));
                p.drawRect(bar);
            }
        }
        if (d.budget) {
            p.setPen(QPen(Qt::black, 1.2, Qt::DashLine));
            p.drawLine(QPointF(x - slot / 2, y(*d.budget)), QPointF(x + slot / 2, y(*d.budget)));
        }
    }
    p.setBrush(Qt::NoBrush);
    dayLabels(page, plot, report);
    page.y = plot.bottom() + 22;
}

// The weights as open points, their trend as a solid line; a key in words.
void weightChart(Page &page, const LogReport &report)
{
    page.need(200);
    page.line(QStringLiteral("体重（圆点：当天体重；实线：体重趋势；单位：千克）"), 11, true);
    double low = 1e9, high = -1e9;
    for (const LogReport::Day &d : report.days)
        for (const std::optional<double> &value : {d.figures.kg, d.figures.kgTrend})
            if (value) {
                low = std::min(low, *value);
                high = std::max(high, *value);
            }
    if (low > high) {
        page.paragraph(QStringLiteral("这段时间没有记录体重。"), 11);
        return;
    }
    QPainter &p = page.painter();
    const ChartScale s = ChartScale::covering(low - 0.5, high + 0.5, 4);
    const QRectF plot(48, page.y + 6, page.width() - 56, 150);
    const auto y = [&](double v) { return plot.bottom() - (v - s.low) / (s.high - s.low) * plot.height(); };
    scale(page, plot, s, y);
    const int n = int(report.days.size());
    QPolygonF trend;
    QList<QPointF> weights;
    for (int i = 0; i < n; ++i) {
        const SeriesDay &f = report.days.at(i).figures;
        if (f.kg)
            weights << QPointF(dayX(plot, i, n), y(*f.kg));
        if (f.kgTrend)
            trend << QPointF(dayX(plot, i, n), y(*f.kgTrend));
    }
    p.setPen(QPen(Qt::black, 1.8));
    p.drawPolyline(trend);
    p.setPen(QPen(Qt::black, 1.0));
    p.setBrush(Qt::white);
    for (const QPointF &point : std::as_const(weights))
        p.drawEllipse(point, 2.8, 2.8);
    p.setBrush(Qt::NoBrush);
    dayLabels(page, plot, report);
    page.y = plot.bottom() + 22;
}

void shares(Page &page, const LogReport &report)
{
    page.need(110);
    page.line(QStringLiteral("三大营养素（平均每天，占其能量的比例）"), 12, true);
    const MacroShares &s = report.shares;
    if (!s.isKnown()) {
        page.paragraph(QStringLiteral("这段时间的记录没有营养素数据。"), 11);
        return;
    }
    const int days = std::max(1, report.loggedDays());
    for (const auto &[name, share] : {std::pair<QString, MacroShares::Share>{QStringLiteral("蛋白质"), s.protein},
                                      {QStringLiteral("脂肪"), s.fat},
                                      {QStringLiteral("碳水化合物"), s.carbohydrate}})
        page.line(QStringLiteral("%1：每天 %2 克，占 %3%，参考 %4–%5%，%6")
                      .arg(name)
                      .arg(share.grams / days, 0, 'f', 1)
                      .arg(qRound(share.percent))
                      .arg(share.low)
                      .arg(share.high)
                      .arg(s.judged() ? share.verdictText() : QStringLiteral("不作评价")),
                  10.5);
    QString note = QStringLiteral("参考范围：中国营养学会《中国居民膳食营养素参考摄入量（2023版）》成人宏量营养素可接受范围。");
    if (!s.judged())
        note += QStringLiteral("有营养素数据的记录只覆盖这段时间能量的 %1%（不足 %2%），所以不作评价。")
                    .arg(s.coveragePercent())
                    .arg(MacroShares::MinimumCoverage);
    if (s.entriesWithout > 0)
        note += QStringLiteral("另有 %1 条记录没有营养素数据，未计入。").arg(s.entriesWithout);
    page.paragraph(note, 9);
}

void topFoods(Page &page, const LogReport &report)
{
    page.need(60);
    page.line(QStringLiteral("提供能量最多的食物"), 12, true);
    if (report.topFoods.isEmpty()) {
        page.paragraph(QStringLiteral("这段时间没有饮食记录。"), 11);
        return;
    }
    int rank = 0;
    for (const LogReport::TopFood &food : report.topFoods)
        page.line(QStringLiteral("%1. %2 — %3 大卡（%4 次）").arg(++rank).arg(food.name).arg(food.kcal).arg(food.entries),
                  10.5);
}

} // namespace

QStringList dayCells(const LogReport::Day &d)
{
    const SeriesDay &f = d.figures;
    QString left = QStringLiteral("—");
    if (d.budget && f.kcal) {
        const qint64 rest = *d.budget + qRound64(f.burnedKcal.value_or(0)) - qRound64(*f.kcal);
        left = rest >= 0 ? QStringLiteral("剩余 %1").arg(rest) : QStringLiteral("超出 %1").arg(-rest);
    }
    return {dayText(f.day),
            f.kcal ? kcal(*f.kcal) : QStringLiteral("—"),
            d.budget ? QString::number(*d.budget) : QStringLiteral("—"),
            f.burnedKcal ? kcal(*f.burnedKcal) : QStringLiteral("—"),
            left,
            kg(f.kg),
            kg(f.kgTrend),
            kg(f.waistCm)};
}

QByteArray pdf(const LogReport &report, const QDateTime &made, const QString &periodName)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(QStringLiteral("Pellomir 饮食与体重报告"));
    writer.setCreator(QStringLiteral("Pellomir"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                     QPageLayout::Millimeter));
    writer.setResolution(300);
    QPainter painter(&writer);
    const double scale = writer.resolution() / 72.0;
    painter.scale(scale, scale);
    Page page(painter, writer);
    page.line(QStringLiteral("Pellomir 饮食与体重报告"), 18, true);
    const QString format = QStringLiteral("yyyy年M月d日");
    page.line(QStringLiteral("%1：%2 至 %3（共 %4 天）· 生成于 %5")
                  .arg(periodName.isEmpty() ? QStringLiteral("时间段") : periodName,
                       report.first.toString(format), report.last.toString(format))
                  .arg(report.days.size())
                  .arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
              10);
    page.y += 6;
    // Page 1: the summary and the table, and for a week the charts too; a longer run has them
    // on the next page.
    summary(page, report);
    dayTable(page, report);
    intakeChart(page, report);
    weightChart(page, report);
    shares(page, report);
    page.y += 6;
    topFoods(page, report);
    page.y += 10;
    page.paragraph(QStringLiteral("本报告按记录的数据计算，仅供参考，不能代替医生或营养师的建议。"), 9);
    painter.end();
    return bytes;
}

} // namespace ReportWriter
