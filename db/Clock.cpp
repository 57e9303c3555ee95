// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Clock.h"

Clock::Clock() : m_source([] { return QDateTime::currentDateTime(); }) {}

Clock::Clock(Source source) : m_source(source ? std::move(source) : Source([] { return QDateTime::currentDateTime(); }))
{
}
