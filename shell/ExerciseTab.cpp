// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ExerciseTab.h"

#include "exercise/ActivityTable.h"
#include "exercise/ExerciseStore.h"
#include "exercise/ui/ExercisePage.h"
#include "foodlog/ui/FoodLogView.h"

#include <QLineEdit>

QWidget *addExerciseTab(FoodLogView &view, LogSchema &schema)
{
    auto *page = new ExercisePage(ExerciseStore(schema), ActivityTable::builtIn());
    LogPage tab;
    tab.widget = page;
    tab.title = QStringLiteral("运动");
    tab.read = [page](const QDate &day) { page->readDay(day); };
    tab.show = [page](const LogDay &day) { page->showReadDay(day.day, day.nearestWeight, day.today); };
    tab.undoOffered = [page] { return page->isUndoOffered(); };
    tab.undo = [page] { page->undoDelete(); };
    tab.focus = [page] { page->searchField()->setFocus(Qt::ShortcutFocusReason); };
    QObject::connect(page, &ExercisePage::changed, &view, &FoodLogView::refresh);
    view.addPage(std::move(tab));
    return page;
}
