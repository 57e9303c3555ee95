// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/SkinCaptions.h"

#include "notebook/NotebookSections.h"

QList<SkinCaption> skinCaptions()
{
    static const QList<SkinCaption> captions = [] {
        // The window's own objects, each after the section button it follows down the column.
        const QList<QPair<QString, SkinCaption>> others = {
            {QStringLiteral("b"), {QStringLiteral("c"), QStringLiteral("热量计算")}},
            {QStringLiteral("e"), {QStringLiteral("f"), QStringLiteral("饮食记录")}},
            {QStringLiteral("e"), {QStringLiteral("logo"), QStringLiteral("访问主页")}},
            {QStringLiteral("e"), {QStringLiteral("-"), QStringLiteral("最小化")}},
            {QStringLiteral("e"), {QStringLiteral("x"), QStringLiteral("关闭")}},
        };
        QList<SkinCaption> list;
        for (const NotebookSection &section : NotebookSections::all()) {
            list.append({section.skinObject, section.caption});
            for (const auto &[after, caption] : others) {
                if (after == section.skinObject)
                    list.append(caption);
            }
        }
        return list;
    }();
    return captions;
}
