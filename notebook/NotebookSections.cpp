// SPDX-License-Identifier: GPL-3.0-or-later
#include "notebook/NotebookSections.h"

namespace NotebookSections {

const QList<NotebookSection> &all()
{
    static const QList<NotebookSection> sections = [] {
        const QString name = QStringLiteral("Name");
        // The hints name the "+" picture button as 标志 (the mark to click).
        return QList<NotebookSection>{
            {QStringLiteral("a"), QStringLiteral("sp"), QStringLiteral("瘦身食谱"), name, false,
             QStringLiteral("瘦身食谱还空着呢，请点击标志来增加！")},
            {QStringLiteral("b"), QStringLiteral("yd"), QStringLiteral("有氧运动"), name, false,
             QStringLiteral("有氧运动还空着呢，请点击标志来增加！")},
            {QStringLiteral("d"), QStringLiteral("xd"), QStringLiteral("瘦身心得"), name, false,
             QStringLiteral("瘦身心得还空着呢，请点击标志来增加心得！")},
            {QStringLiteral("e"), QStringLiteral("rj"), QStringLiteral("瘦身日记"), QStringLiteral("time"), true,
             QStringLiteral("瘦身日记还空着呢，请点击标志来写新日记！")},
        };
    }();
    return sections;
}

const NotebookSection *forSkinObject(const QString &skinObject)
{
    for (const NotebookSection &section : all()) {
        if (section.skinObject == skinObject)
            return &section;
    }
    return nullptr;
}

const NotebookSection *forTable(const QString &table)
{
    for (const NotebookSection &section : all()) {
        if (section.table == table)
            return &section;
    }
    return nullptr;
}

} // namespace NotebookSections
