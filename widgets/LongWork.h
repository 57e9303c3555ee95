// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// A step of the user's that may take long (an import of many thousand foods, a restore, an export
// or a backup of a large file): once it has taken
// longer than a second, a box shows how far it got, with 取消. The window cannot be used while
// the box is up, so nothing else changes the data meanwhile; before that, the window is not
// asked to handle anything.
//
// Tests neither show the box nor wait on the clock: a Recorder, while it lives, keeps the label
// of every piece of long work and cancels at the step it was told.
class LongWork
{
public:
    LongWork(QWidget *parent, const QString &label, qint64 total);
    ~LongWork();
    LongWork(const LongWork &) = delete;
    LongWork &operator=(const LongWork &) = delete;

    // `done` of the total are done. False once the user has cancelled: the caller stops and
    // leaves everything as it was.
    bool advance(qint64 done);

    // For a part of the work that counts in its own units and learns their total on the way (the
    // pages of a copy, the rows of a restore): its `done` of `total` fill the `part`-th (from 0)
    // of `parts` equal shares of the box. Answers as advance().
    std::function<bool(qint64 done, qint64 total)> share(int part, int parts);

    // How long the work goes on before the box shows.
    static constexpr int ShowAfterMs = 1000;

    class Recorder
    {
    public:
        Recorder();
        ~Recorder();
        Recorder(const Recorder &) = delete;
        Recorder &operator=(const Recorder &) = delete;

        // The work asks to go on until `done` reaches this, then is cancelled (-1: never); with a
        // label, only the work of that label is.
        void cancelAt(qint64 done, const QString &label = QString())
        {
            m_cancelAt = done;
            m_cancelLabel = label;
        }
        const QStringList &labels() const { return m_labels; }
        // The furthest step the latest work reached.
        qint64 furthest() const { return m_furthest; }

    private:
        friend class LongWork;
        QStringList m_labels;
        qint64 m_cancelAt = -1;
        QString m_cancelLabel;
        qint64 m_furthest = 0;
        Recorder *m_previous = nullptr;
    };

private:
    QString m_label;
    qint64 m_total;
    std::unique_ptr<QProgressDialog> m_box;
};
