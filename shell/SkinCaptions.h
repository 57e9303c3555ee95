// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The skin's objects that Tab reaches and screen readers name, in Tab order, with their
// captions: the words the skin's pictures show on the section buttons, and what the mascot and
// the window boxes do. Objects missing from the loaded skin are left out.
struct SkinCaption
{
    const char *object;  // the skin object's name
    const char *caption; // UTF-8
};

inline constexpr SkinCaption SkinCaptions[] = {
    {"a", "瘦身食谱"},
    {"b", "有氧运动"},
    {"c", "热量计算"},
    {"d", "瘦身心得"},
    {"e", "瘦身日记"},
    {"f", "饮食记录"},
    {"logo", "访问主页"},
    {"-", "最小化"},
    {"x", "关闭"},
};
