// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/LongWork.h"

#include <QProgressDialog>
#include <QPushButton>

namespace {
LongWork::Recorder *s_recorder = nullptr;
// The box counts in steps of this many, whatever the total.
constexpr int Steps = 1000;
} // namespace

LongWork::Recorder::Recorder() : m_previous(s_recorder)
{
    s_recorder = this;
}

LongWork::Recorder::~Recorder()
{
    s_recorder = m_previous;
}

LongWork::LongWork(QWidget *parent, const QString &label, qint64 total)
    : m_label(label), m_total(qMax<qint64>(total, 1))
{
    if (s_recorder) {
        s_recorder->m_labels << label;
        s_recorder->m_furthest = 0;
        return;
    }
    m_box = std::make_unique<QProgressDialog>(label, QStringLiteral("取消"), 0, Steps, parent);
    m_box->setObjectName(QStringLiteral("longWork"));
    m_box->setAccessibleName(label);
    m_box->setWindowTitle(label);
    // Modal to the window: while it shows, the data cannot be changed from there.
    m_box->setWindowModality(Qt::WindowModal);
    m_box->setMinimumWidth(m_box->fontMetrics().horizontalAdvance(label) * 2);
    m_box->setMinimumDuration(ShowAfterMs);
    m_box->setAutoClose(false);
    m_box->setAutoReset(false);
    if (auto *cancel = m_box->findChild<QPushButton *>())
        cancel->setAccessibleName(QStringLiteral("取消%1").arg(label));
    m_box->setValue(0);
}

LongWork::~LongWork() = default;

bool LongWork::advance(qint64 done)
{
    if (!m_box) {
        if (!s_recorder)
            return true;
        s_recorder->m_furthest = qMax(s_recorder->m_furthest, done);
        if (!s_recorder->m_cancelLabel.isEmpty() && s_recorder->m_cancelLabel != m_label)
            return true;
        return s_recorder->m_cancelAt < 0 || done < s_recorder->m_cancelAt;
    }
    // QProgressDialog shows itself once the work looks to take longer than ShowAfterMs, and
    // lets events through only once it shows (modal then).
    m_box->setValue(int(qMin<qint64>(done, m_total) * Steps / m_total));
    return !m_box->wasCanceled();
}

std::function<bool(qint64, qint64)> LongWork::share(int part, int parts)
{
    return [this, part, parts](qint64 done, qint64 total) {
        const qint64 of = qMax<qint64>(total, 1);
        return advance(m_total * (part * of + qBound<qint64>(0, done, of)) / (qint64(parts) * of));
    };
}
