// SPDX-License-Identifier: GPL-3.0-or-later
#include "ownfoods/ui/OwnFoodEditor.h"

#include "db/DataError.h"
#include "ownfoods/OwnFoodStore.h"
#include "ownfoods/ui/OwnFoodDialog.h"
#include "widgets/MessageBox.h"

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
