// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The application's title, the title of its message boxes.
inline constexpr char ApplicationTitle[] = "Pellomir";
// The title of the notebook's own message boxes (moving through records, deleting).
inline constexpr char NotebookBoxTitle[] = "：：Pellomir：：";
