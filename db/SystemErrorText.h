// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFileDevice;

// The causes the system gives for a failed file operation, in Chinese: the system's own texts
// ("No space left on device") are English on most systems and would be the only English in a
// message.
namespace SystemErrorText {

// The cause for an errno value ("磁盘空间不足"); one not in the table as "系统错误 <n>".
QString of(int errnum);
// The cause of the last failure of `file`: from errno where the failing call set it (the caller
// sets errno to 0 before the call), else from the kind of failure Qt reports.
QString of(const QFileDevice &file);

} // namespace SystemErrorText
