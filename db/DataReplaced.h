// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// Tells every feature of the window that data it shows was replaced under it, so that each
// reads afresh what it shows: the whole file (a restore, the shipped food tables taken) or the
// user's own foods (an import, one saved or removed). The window has one; each feature follows
// it itself.
class DataReplaced : public QObject
{
    Q_OBJECT

public:
    enum class Part { WholeFile, OwnFoods };
    Q_ENUM(Part)

    // Says it in three steps: stepAside (a view laid over others' controls leaves them as they
    // were, so that they can be reloaded), replaced (each feature reads afresh), then settled
    // (a view that stepped aside is laid over again, once every feature has read the data).
    // `savedOwnFood`: the own food just saved, which the calorie panel shows (empty for every
    // other change).
    void announce(Part part, const QString &savedOwnFood = QString());

signals:
    void stepAside(DataReplaced::Part part);
    void replaced(DataReplaced::Part part, const QString &savedOwnFood);
    void settled(DataReplaced::Part part);
};
