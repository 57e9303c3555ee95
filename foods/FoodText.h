// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace FoodText {

// The text with its leading and trailing blanks removed. Blanks are the ASCII
// space and the ideographic space U+3000, which Chinese text often carries
// where a full-width layout was padded; tabs and other white space are kept.
QString trimmed(const QString &text);

} // namespace FoodText
