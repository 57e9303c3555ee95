// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/DataError.h"

#include <QtGlobal>
#include <functional>

// What a long step on a file (a copy, a restore, an export) tells now and then: `done` of `total`,
// in the step's own units (pages, rows, bytes). Answering false asks the step to stop; it then
// leaves everything as it was and throws WorkCancelled.
using WorkProgress = std::function<bool(qint64 done, qint64 total)>;

// A step stopped because its WorkProgress asked it to: nothing it would have changed was changed,
// and nothing it would have made is left behind. A DataError, so that a caller that does not
// offer to cancel needs no other handler.
class WorkCancelled : public DataError
{
public:
    WorkCancelled();
};

// Asks `progress`, if there is one, and throws WorkCancelled when it answers false.
void reportProgress(const WorkProgress &progress, qint64 done, qint64 total);
