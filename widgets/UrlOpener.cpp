// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/UrlOpener.h"

#include <QDesktopServices>

namespace {
UrlOpener::Recorder *s_recorder = nullptr;
}

UrlOpener::Recorder::Recorder() : m_previous(s_recorder)
{
    s_recorder = this;
}

UrlOpener::Recorder::~Recorder()
{
    s_recorder = m_previous;
}

bool UrlOpener::open(const QUrl &url)
{
    if (s_recorder) {
        s_recorder->m_opened.append(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}
