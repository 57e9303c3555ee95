// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The calorie panel's right-hand column, in pixels: the amount line and the
// search field and its results line up on its edges.
namespace PanelColumn {
constexpr int Left = 216;
constexpr int Right = 433;
} // namespace PanelColumn
