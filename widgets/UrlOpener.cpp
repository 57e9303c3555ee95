// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/UrlOpener.h"

#include <QDesktopServices>

bool UrlOpener::open(const QUrl &url)
{
    if (Recorder *recorder = Recorder::active())
        return recorder->record(url).value_or(true);
    return QDesktopServices::openUrl(url);
}
