// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>
#include <QTimer>
#include <functional>

class FoodPortionPanel;
struct FoodChoice;

// "记一笔" in the calorie panel: adds the food on show, with the amount typed,
// to today's food log. On show only for a food whose figure is per grams;
// usable only while the amount is good.
class QuickLogButton : public QPushButton
{
    Q_OBJECT

public:
    // `log` writes the entry; false when it could not (it has said why).
    using Log = std::function<bool(const FoodChoice &food, int grams)>;

    QuickLogButton(FoodPortionPanel &portion, Log log, QWidget *panel);

private:
    void follow();
    void logFood();

    FoodPortionPanel &m_portion;
    Log m_log;
    QTimer m_doneShown;
};
