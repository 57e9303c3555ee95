// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/SkinCaptions.h"

#include "notebook/NotebookSections.h"

QList<SkinCaption> sectionButtons()
{
    static const QList<SkinCaption> column = [] {
        // The window's own views, each after the notebook section it follows down the column.
        const QList<QPair<QString, SkinCaption>> views = {
            {QStringLiteral("b"), {QStringLiteral("c"), QStringLiteral("热量计算")}},
            {QStringLiteral("e"), {QStringLiteral("f"), QStringLiteral("饮食记录")}},
        };
        QList<SkinCaption> list;
        for (const NotebookSection &section : NotebookSections::all()) {
            list.append({section.skinObject, section.caption});
            for (const auto &[after, view] : views) {
                if (after == section.skinObject)
                    list.append(view);
            }
        }
        return list;
    }();
    return column;
}

QList<SkinCaption> skinCaptions()
{
    return sectionButtons()
        + QList<SkinCaption>{{QStringLiteral("logo"), QStringLiteral("访问主页")},
                             {QStringLiteral("-"), QStringLiteral("最小化")},
                             {QStringLiteral("x"), QStringLiteral("关闭")}};
}
