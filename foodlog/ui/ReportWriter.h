// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/LogReport.h"

#include <QByteArray>
#include <QDateTime>

// The report as a PDF (Qt's own writer), A4, Chinese throughout, readable printed in black and
// white: black text, the weight drawn solid and its 7-day average dashed, and every judgement in
// words. Page 1: the summary and a row a day (intake, budget, exercise, left or over, weight);
// page 2: the weight, the average shares of protein, fat and carbohydrate, and the foods that gave
// the most energy.
namespace ReportWriter {

QByteArray pdf(const LogReport &report, const QDateTime &made);

} // namespace ReportWriter
