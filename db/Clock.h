// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <functional>

// The program's one source of the current date and time: what "today" is for the food log, the
// daily backup and the names of saved files. The program runs on the system's clock; tests hand
// in a clock of their own, fixed or moving, so that a day can change while a window is open.
class Clock
{
public:
    using Source = std::function<QDateTime()>;

    // The system's local time.
    Clock();
    explicit Clock(Source source);

    QDateTime now() const { return m_source(); }
    QDate today() const { return now().date(); }

private:
    Source m_source;
};
