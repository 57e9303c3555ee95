// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

// The one way the program tells the user it cannot go on: a modal critical message box titled
// "Pellomir", and the same text on standard error. Tests put a recorder in place of the box.
class FatalError
{
public:
    using Handler = std::function<void(const QString &text)>;

    // Replaces the message box; an empty handler brings the box back.
    static void setHandler(Handler handler);

    // Writes `text` to standard error, then shows it (or hands it to the handler).
    static void report(const QString &text);

    // The full text for a start-up that failed with `cause` (which names the file and why).
    static QString startupFailed(const QString &cause);
    // The text for a start-up that found data.mdb locked by another program: it asks to close
    // that program or to wait, not to reinstall.
    static QString dataFileInUse(const QString &cause);
    // The same as startupFailed for an installed program, whose files lie in several places: `cause` ends with
    // the list of every place looked at.
    static QString installedStartupFailed(const QString &cause);

private:
    static Handler &handler();
};
