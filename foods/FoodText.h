// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace FoodText {

// The text with its leading and trailing blanks removed. Blanks are the ASCII
// space and the ideographic space U+3000, which Chinese text often carries
// where a full-width layout was padded; tabs and other white space are kept.
QString trimmed(const QString &text);

// The longest food or category name the program shows, indexes or writes to the food log, in
// characters. Ours are a few characters; a hand-made file may hold megabytes in one name, which
// would take seconds and hundreds of megabytes to index and lay out.
constexpr qsizetype MaxNameLength = 100;

// A name as the program uses it everywhere: trimmed, and cut to MaxNameLength characters with
// "…" as the last one when it is longer. Every place that shows, finds or compares names uses
// this, so a shortened name still finds its row.
QString name(const QString &text);

} // namespace FoodText
