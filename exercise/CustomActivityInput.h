// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class ActivitySearch;

// What the 自定义运动 dialog was given, checked before anything is written: a name no other
// activity has, and an intensity as a MET or as kcal per hour at the user's weight (a figure a
// sports watch or a machine shows), turned into the MET it stands for.
namespace CustomActivityInput {

constexpr int MaxNameLength = 40;

struct Reading
{
    QString name;       // trimmed
    double met = 0;     // one decimal
    QString problem;    // what is wrong, in words; empty when the input is good
};

// `perHour`: `figure` is kcal per hour at `kg` (needed then) rather than a MET. `known`: every
// activity so far; `renaming`: the name of the activity being edited, which it may keep.
Reading read(const QString &name, const QString &figure, bool perHour, std::optional<double> kg,
             const ActivitySearch &known, const QString &renaming = QString());

// What the figure comes to, shown before saving: the MET it becomes and the kcal 30 minutes would
// log at `kg` ("相当于 6.5 MET；按体重 60 千克，运动 30 分钟记 165 大卡…"), and, for kcal per hour,
// a sentence on a watch's "active" figure, which already leaves out rest. Empty while the figure
// cannot be read.
QString preview(const QString &figure, bool perHour, std::optional<double> kg);

} // namespace CustomActivityInput
