// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ui/SkinCaptions.h"

namespace {

// The skin's objects of the window's own views: stored names of the skin file.
const QString CaloriesObject = QStringLiteral("c");
const QString FoodLogObject = QStringLiteral("f");
const QString HomePageObject = QStringLiteral("logo");

} // namespace

QList<SkinCaption> sectionButtons(const QList<SkinCaption> &notebook)
{
    // The window's own views, each after the notebook section it follows down the column.
    const QList<QPair<QString, SkinCaption>> views = {
        {QStringLiteral("b"), {CaloriesObject, QStringLiteral("热量计算")}},
        {QStringLiteral("e"), {FoodLogObject, QStringLiteral("饮食记录")}},
    };
    QList<SkinCaption> list;
    for (const SkinCaption &section : notebook) {
        list.append(section);
        for (const auto &[after, view] : views) {
            if (after == section.object)
                list.append(view);
        }
    }
    return list;
}

QList<SkinCaption> skinCaptions(const QList<SkinCaption> &notebook)
{
    return sectionButtons(notebook)
        + QList<SkinCaption>{{HomePageObject, QStringLiteral("访问主页")},
                             {QStringLiteral("-"), QStringLiteral("最小化")},
                             {QStringLiteral("x"), QStringLiteral("关闭")}};
}

SkinView skinViewOf(const QString &object)
{
    if (object == CaloriesObject)
        return SkinView::Calories;
    if (object == FoodLogObject)
        return SkinView::FoodLog;
    if (object == HomePageObject)
        return SkinView::HomePage;
    return SkinView::Other;
}

QString skinObjectOf(SkinView view)
{
    switch (view) {
    case SkinView::Calories:
        return CaloriesObject;
    case SkinView::FoodLog:
        return FoodLogObject;
    case SkinView::HomePage:
        return HomePageObject;
    case SkinView::Other:
        break;
    }
    return QString();
}
