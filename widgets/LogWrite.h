// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

// Runs a write to the log; when the file refuses it, says why in a message box titled `title`
// over `parent`'s window and returns false. Nothing is shown as saved that is not in the file.
bool writeOrSay(QWidget *parent, const QString &title, const std::function<void()> &change);
