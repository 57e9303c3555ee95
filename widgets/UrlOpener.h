// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QUrl>

// Opens a web address in the user's default browser. Tests put a Recorder in
// place, which keeps the addresses instead of opening them.
class UrlOpener
{
public:
    static bool open(const QUrl &url);

    class Recorder
    {
    public:
        Recorder();
        ~Recorder();
        Recorder(const Recorder &) = delete;
        Recorder &operator=(const Recorder &) = delete;

        const QList<QUrl> &opened() const { return m_opened; }

    private:
        friend class UrlOpener;
        QList<QUrl> m_opened;
        Recorder *m_previous = nullptr;
    };
};
