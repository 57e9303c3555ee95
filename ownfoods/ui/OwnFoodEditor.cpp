// SPDX-License-Identifier: GPL-3.0-or-later
#include "ownfoods/ui/OwnFoodEditor.h"

#include "db/DataError.h"
#include "foodlog/LogSchema.h"
#include "ownfoods/OwnFoodStore.h"
#include "ownfoods/ui/OwnFoodDialog.h"
#include "ownfoods/ui/OwnFoodExport.h"
#include "ownfoods/ui/OwnFoodImport.h"
#include "widgets/ExportFile.h"
#include "widgets/MessageBox.h"

#include <QMenu>

void OwnFoodEditor::edit(const QString &name, const QString &typedName)
{
    std::optional<OwnFood> editing;
    if (!name.isEmpty()) {
        try {
            for (const OwnFood &food : OwnFoodStore(m_parts.schema()).foods())
                if (food.name == name)
                    editing = food;
        } catch (const DataError &error) {
            MessageBox::information(m_parts.window, QStringLiteral("自定义食物"), error.message());
            return;
        }
        if (!editing)
            return; // gone since (another window, a restore)
    }
    auto *dialog = new OwnFoodDialog(m_parts.foods(), editing, typedName, m_parts.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, dialog, [parts = m_parts, dialog] {
        const OwnFood food = dialog->food();
        try {
            OwnFoodStore foods(parts.schema());
            if (dialog->outcome() == OwnFoodDialog::Outcome::Remove)
                foods.remove(food.id);
            else if (food.id > 0)
                foods.update(food);
            else
                foods.add(food);
        } catch (const DataError &error) {
            MessageBox::information(parts.window, QStringLiteral("自定义食物"), error.message());
            return;
        }
        if (parts.changed)
            parts.changed(dialog->outcome() == OwnFoodDialog::Outcome::Remove ? QString() : food.name);
    });
    dialog->open();
}

void OwnFoodEditor::addMenuItems(QMenu &menu, MenuParts parts)
{
    QAction *add = menu.addAction(QStringLiteral("添加自定义食物…"));
    add->setObjectName(QStringLiteral("addOwnFood"));
    QObject::connect(add, &QAction::triggered, &menu, [this] { edit(); });
    QAction *change = menu.addAction(QStringLiteral("修改自定义食物…"));
    change->setObjectName(QStringLiteral("editOwnFood"));
    QObject::connect(change, &QAction::triggered, &menu, [this, onShow = parts.foodOnShow] { edit(onShow()); });
    QAction *exportAll = menu.addAction(QStringLiteral("导出自定义食物…"));
    exportAll->setObjectName(QStringLiteral("exportOwnFoods"));
    QObject::connect(exportAll, &QAction::triggered, &menu,
                     [this, file = ExportFile(m_parts.window, parts.dataFile), clock = parts.clock] {
                         OwnFoodExport::run(file, m_parts.schema().database(), clock.today());
                     });
    QAction *import = menu.addAction(QStringLiteral("导入自定义食物…"));
    import->setObjectName(QStringLiteral("importOwnFoods"));
    QObject::connect(import, &QAction::triggered, &menu, [this] {
        OwnFoodImport(m_parts.window, m_parts.schema()).run(ExportFile::documentsFolder(), [this] {
            if (m_parts.changed)
                m_parts.changed(QString());
        });
    });
    QObject::connect(&menu, &QMenu::aboutToShow, &menu,
                     [change, offered = parts.changeOffered] { change->setEnabled(offered()); });
}
