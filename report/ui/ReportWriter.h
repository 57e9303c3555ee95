// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/LogReport.h"

#include <QByteArray>
#include <QDateTime>

// The report as a PDF (Qt's own writer), A4, Chinese throughout, readable printed in black and
// white: black text, bars grey (hatched when over the budget), the weights as open points with
// their trend solid, every key and judgement in words, scales with round steps (ChartScale).
// Page 1: the period, the summary with the trend and where it leads, and a row a day (intake,
// budget, exercise, left or over, weight, trend, waist); for a week the charts of intake against
// the budget and of the weight follow on page 1; then the average shares of protein, fat and
// carbohydrate and the foods that gave the most energy. A section that does not fit on what is
// left of a page starts the next.
namespace ReportWriter {

// `periodName`: "最近 7 天", "最近 30 天", or the two dates (ReportPeriod::name).
QByteArray pdf(const LogReport &report, const QDateTime &made, const QString &periodName);
// A day's row of the table as printed: 日期, 摄入, 预算, 运动消耗, 剩余 / 超出, 体重, 趋势, 腰围.
QStringList dayCells(const LogReport::Day &day);

} // namespace ReportWriter
