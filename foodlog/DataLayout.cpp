// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/DataLayout.h"

#include "db/FileLayout.h"
#include "db/Schema.h"
#include "foodlog/LogSchema.h"

namespace DataLayout {

const FileLayout &layout()
{
    static const FileLayout composed = [] {
        const QList<LayoutStep> steps = Schema::layoutSteps() + LogSchema::layoutSteps();
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

} // namespace DataLayout
