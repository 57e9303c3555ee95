// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/SeamRecorder.h"

#include <QUrl>

// Opens a web address in the user's default browser; false when none could be opened. Tests put
// a Recorder in place, which keeps the addresses instead of opening them and answers that each
// was opened, or as queued (answer(false): no browser).
class UrlOpener
{
public:
    static bool open(const QUrl &url);

    using Recorder = SeamRecorder<UrlOpener, QUrl, bool>;
};
