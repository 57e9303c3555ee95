// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/MacroShares.h"

#include <QWidget>
#include <optional>

class QLabel;

// Under the day's entries: grams of protein, fat and carbohydrate, each one's share of the energy
// and whether it is within the adults' range, in words and in colour (never colour alone), and
// protein per kg of body weight when a weight is logged; below them the day's fibre and sodium
// against the dietary guidelines. Verdicts only when the entries with figures carry most of the
// day's energy.
class MacroSummary : public QWidget
{
    Q_OBJECT

public:
    explicit MacroSummary(QWidget *parent = nullptr);

    void showDay(const MacroShares &shares, std::optional<double> kg);

private:
    QLabel *m_protein;
    QLabel *m_fat;
    QLabel *m_carbohydrate;
    QLabel *m_fibre;
    QLabel *m_sodium;
    QLabel *m_note;
};
