// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/Bounds.h"

// The food log's name for the one table of ranges (foods/Bounds.h), which the typed-amount reader
// below the log shares.
namespace LogBounds = Bounds;
