// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafile/DataLayout.h"

#include "db/FileLayout.h"
#include "db/Schema.h"
#include "exercise/ExerciseSchema.h"
#include "foodlog/LogSchema.h"
#include "ownfoods/OwnFoodSchema.h"

#include <QMap>
#include <QtGlobal>

namespace DataLayout {

namespace {

// Every core's steps by number; the statements of one number in the order of the cores.
QList<LayoutStep> composedSteps()
{
    QMap<int, LayoutStep> byVersion;
    const QList<QList<LayoutStep>> cores{Schema::layoutSteps(), LogSchema::layoutSteps(), ExerciseSchema::layoutSteps(),
                                         OwnFoodSchema::layoutSteps()};
    for (const QList<LayoutStep> &core : cores) {
        for (const LayoutStep &step : core) {
            auto found = byVersion.find(step.version);
            if (found == byVersion.end()) {
                byVersion.insert(step.version, step);
                continue;
            }
            found->statements << step.statements;
            if (step.after && found->after)
                qFatal("Two cores fill in after step %d of the file's layout", step.version);
            if (step.after)
                found->after = step.after;
        }
    }
    return byVersion.values();
}

} // namespace

const FileLayout &layout()
{
    static const FileLayout composed = [] {
        const QList<LayoutStep> steps = composedSteps();
        // The triggers and indexes the steps make are the file's own; a restored backup's others
        // are dropped.
        QStringList own;
        for (const LayoutStep &step : steps)
            for (const QString &statement : step.statements)
                if (statement.startsWith(QLatin1String("CREATE TRIGGER")) || statement.startsWith(QLatin1String("CREATE INDEX")))
                    own << statement;
        return FileLayout(steps, own);
    }();
    return composed;
}

QStringList logStatements()
{
    QStringList statements;
    for (const LayoutStep &step : layout().steps())
        if (step.version > 1)
            statements << step.statements;
    return statements;
}

} // namespace DataLayout
