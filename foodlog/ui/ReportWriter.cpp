// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/ReportWriter.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

namespace ReportWriter {

namespace {

// Drawing in points (1/72 inch) on A4 within 15 mm margins.
class Page
{
public:
    explicit Page(QPainter &painter) : m_painter(painter) {}

    double width() const { return m_painter.viewport().width() / scale(); }
    double y = 0;

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
        m_painter.drawText(QPointF(x, y + fm.ascent()), text);
        y += fm.height() * 1.15;
    }
    // Text wrapped within the page's width.
    void paragraph(const QString &text, double points)
    {
        m_painter.setFont(font(points));
        const QRectF box(0, y, width(), 1000);
        QRectF used;
        m_painter.drawText(box, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text, &used);
        y += used.height() + points * 0.6;
    }
    QPainter &painter() { return m_painter; }
    double scale() const { return m_painter.device()->logicalDpiX() / 72.0; }

private:
    QPainter &m_painter;
};

QString kcal(double value)
{
    return QString::number(qRound64(value));
}

QString dayText(const QDate &day)
{
    static const char *weekdays[] = {"一", "二", "三", "四", "五", "六", "日"};
    return QStringLiteral("%1月%2日 周%3").arg(day.month()).arg(day.day()).arg(QString::fromUtf8(weekdays[day.dayOfWeek() - 1]));
}

void summary(Page &page, const LogReport &report)
{
    double burned = 0;
    int budgets = 0;
    double budgetSum = 0;
    std::optional<double> firstKg, lastKg;
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
    page.paragraph(parts.join(QStringLiteral("；")) + QStringLiteral("。"), 11);
}

void dayTable(Page &page, const LogReport &report)
{
    QPainter &p = page.painter();
    const QStringList headers = {QStringLiteral("日期"), QStringLiteral("摄入"), QStringLiteral("预算"),
                                 QStringLiteral("运动消耗"), QStringLiteral("剩余 / 超出"), QStringLiteral("体重"),
                                 QStringLiteral("7日平均")};
    const double widths[] = {0.2, 0.12, 0.12, 0.13, 0.17, 0.12, 0.14};
    const double rowHeight = report.days.size() > 10 ? 15 : 18;
    const auto row = [&](const QStringList &cells, bool bold) {
        p.setFont(page.font(9.5, bold));
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
    page.line(QStringLiteral("每日明细（单位：大卡、千克）"), 12, true);
    row(headers, true);
    for (const LogReport::Day &d : report.days) {
        const SeriesDay &f = d.figures;
        QString left;
        if (d.budget && f.kcal) {
            const qint64 rest = *d.budget + qRound64(f.burnedKcal.value_or(0)) - qRound64(*f.kcal);
            left = rest >= 0 ? QStringLiteral("剩余 %1").arg(rest) : QStringLiteral("超出 %1").arg(-rest);
        }
        row({dayText(f.day), f.kcal ? kcal(*f.kcal) : QStringLiteral("—"),
             d.budget ? QString::number(*d.budget) : QStringLiteral("—"),
             f.burnedKcal ? kcal(*f.burnedKcal) : QStringLiteral("—"), left.isEmpty() ? QStringLiteral("—") : left,
             f.kg ? QString::number(*f.kg, 'f', 1) : QStringLiteral("—"),
             f.kgWeekAverage ? QString::number(*f.kgWeekAverage, 'f', 1) : QStringLiteral("—")},
            false);
    }
    page.y += 8;
}

// The weights as points joined by a solid line, their 7-day average dashed; a key in words.
void weightChart(Page &page, const LogReport &report)
{
    QPainter &p = page.painter();
    page.line(QStringLiteral("体重（实线：当天体重；虚线：7日平均）"), 12, true);
    double low = 1e9, high = -1e9;
    for (const LogReport::Day &d : report.days)
        for (const std::optional<double> &kg : {d.figures.kg, d.figures.kgWeekAverage})
            if (kg) {
                low = std::min(low, *kg);
                high = std::max(high, *kg);
            }
    if (low > high) {
        page.paragraph(QStringLiteral("这段时间没有记录体重。"), 11);
        return;
    }
    low = std::floor(low - 0.5);
    high = std::max(std::ceil(high + 0.5), low + 2);
    const QRectF plot(40, page.y + 6, page.width() - 50, 170);
    p.setPen(QPen(Qt::black, 0.6));
    p.drawRect(plot);
    p.setFont(page.font(8.5));
    for (int i = 0; i <= 4; ++i) {
        const double kg = low + (high - low) * i / 4;
        const double y = plot.bottom() - plot.height() * i / 4;
        p.setPen(QPen(Qt::gray, 0.3, Qt::DotLine));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(Qt::black);
        p.drawText(QRectF(0, y - 6, 36, 12), Qt::AlignRight | Qt::AlignVCenter, QString::number(kg, 'f', 1));
    }
    const int n = int(report.days.size());
    const auto x = [&](int i) { return plot.left() + plot.width() * (i + 0.5) / n; };
    const auto y = [&](double kg) { return plot.bottom() - (kg - low) / (high - low) * plot.height(); };
    QPolygonF weights, average;
    for (int i = 0; i < n; ++i) {
        const SeriesDay &f = report.days.at(i).figures;
        if (f.kg)
            weights << QPointF(x(i), y(*f.kg));
        if (f.kgWeekAverage)
            average << QPointF(x(i), y(*f.kgWeekAverage));
        if (i % (n > 10 ? 7 : 1) == 0)
            p.drawText(QRectF(x(i) - 25, plot.bottom() + 2, 50, 12), Qt::AlignCenter,
                       QStringLiteral("%1/%2").arg(f.day.month()).arg(f.day.day()));
    }
    p.setPen(QPen(Qt::black, 1.4, Qt::DashLine));
    p.drawPolyline(average);
    p.setPen(QPen(Qt::black, 1.6));
    p.drawPolyline(weights);
    p.setBrush(Qt::black);
    for (const QPointF &point : weights)
        p.drawEllipse(point, 2, 2);
    p.setBrush(Qt::NoBrush);
    page.y = plot.bottom() + 24;
}

void shares(Page &page, const LogReport &report)
{
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

QByteArray pdf(const LogReport &report, const QDateTime &made)
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
    Page page(painter);
    page.line(QStringLiteral("Pellomir 饮食与体重报告"), 18, true);
    page.line(QStringLiteral("%1 至 %2（最近 %3 天）· 生成于 %4")
                  .arg(report.first.toString(QStringLiteral("yyyy年M月d日")),
                       report.last.toString(QStringLiteral("yyyy年M月d日")))
                  .arg(report.days.size())
                  .arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
              10);
    page.y += 6;
    summary(page, report);
    dayTable(page, report);
    writer.newPage();
    page.y = 0;
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
