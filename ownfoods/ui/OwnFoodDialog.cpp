// SPDX-License-Identifier: GPL-3.0-or-later
#include "ownfoods/ui/OwnFoodDialog.h"
#include "widgets/Named.h"

#include "widgets/AmountDelegate.h"
#include "widgets/AmountSpinBox.h"
#include "widgets/SearchCompletion.h"
#include "foods/AmountText.h"
#include "foods/FigureText.h"
#include "ownfoods/OwnFoodInput.h"
#include "widgets/MessageBox.h"
#include "widgets/ReturnClicks.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int PartRole = Qt::UserRole + 1;

QString figure(double value)
{
    return FigureText::upToOneDecimal(value);
}

// Delete removes the ingredient under the cursor; F2 (the delegate) changes its grams.
class PartList : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;
    std::function<void(int)> removePart;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (state() != EditingState && event->key() == Qt::Key_Delete && currentItem() && removePart) {
            removePart(currentItem()->data(0, PartRole).toInt());
            return;
        }
        QTreeWidget::keyPressEvent(event);
    }
};

} // namespace

OwnFoodDialog::OwnFoodDialog(FoodChoices foods, std::optional<OwnFood> editing, const QString &typedName,
                             QWidget *parent)
    : QDialog(parent), m_foods(std::move(foods)), m_editing(std::move(editing))
{
    setObjectName(QStringLiteral("ownFoodDialog"));
    setWindowTitle(QStringLiteral("自定义食物"));
    setAccessibleName(QStringLiteral("自定义食物"));

    makeNameAndMode(takenNamesAndCategories());
    makeEnergyPages();
    makeNutrientRow();
    QLayout *measureRow = makeAliasesAndMeasure();
    makeMessages();
    QDialogButtonBox *buttons = makeButtons();
    layOut(measureRow, buttons);
    fillIn(typedName);
    showParts();
    showEnergyMode();
    m_name->setFocus();
}

QStringList OwnFoodDialog::takenNamesAndCategories()
{
    QStringList categories;
    for (const SearchableFood &food : m_foods.allFoods()) {
        const bool mine = m_editing && food.own && food.rowId == -m_editing->id;
        if (!mine) {
            m_taken.insert(food.name);
            for (const QString &alias : food.aliases)
                m_taken.insert(alias);
        }
        if (!food.own && !categories.contains(food.category))
            categories << food.category;
    }
    return categories;
}

void OwnFoodDialog::makeNameAndMode(const QStringList &categories)
{
    m_name = named(new QLineEdit(this), "ownFoodName", QStringLiteral("食物名称"));
    m_name->setMaxLength(OwnFoodInput::MaxNameLength);
    m_name->setPlaceholderText(QStringLiteral("例如：我的奶茶"));
    m_category = named(new QComboBox(this), "ownFoodCategory", QStringLiteral("分类"));
    m_category->addItem(OwnFood::defaultCategory());
    m_category->addItems(categories);

    m_per100g = named(new QRadioButton(QStringLiteral("每100克热量"), this), "ownFoodPer100g",
                      QStringLiteral("按每100克热量填写"));
    m_perServing = named(new QRadioButton(QStringLiteral("包装标签（营养成分表）"), this), "ownFoodLabel",
                         QStringLiteral("按包装上的营养成分表填写"));
    m_recipe = named(new QRadioButton(QStringLiteral("自制菜谱（按配料计算）"), this), "ownFoodRecipe",
                     QStringLiteral("自制菜谱，按配料计算热量"));
    auto *modes = new QButtonGroup(this);
    for (QRadioButton *mode : {m_per100g, m_perServing, m_recipe})
        modes->addButton(mode);
    m_per100g->setChecked(true);
}

void OwnFoodDialog::makeEnergyPages()
{
    // One page a way of giving the energy; only the chosen one is shown, so that the dialog is as
    // tall as that page needs (a stack would keep the recipe's height for the others).
    m_energy = new QWidget(this);
    auto *pages = new QVBoxLayout(m_energy);
    pages->setContentsMargins(0, 0, 0, 0);
    auto *per100gPage = makePer100gPage();
    auto *servingPage = makeLabelPage();
    auto *recipePage = makeRecipePage();
    for (QWidget *page : {per100gPage, servingPage, recipePage})
        pages->addWidget(page);
    m_pages = {per100gPage, servingPage, recipePage};
}

QWidget *OwnFoodDialog::makePer100gPage()
{
    auto *per100gPage = new QWidget(m_energy);
    m_kcal = named(new QLineEdit(per100gPage), "ownFoodKcal", QStringLiteral("每100克热量（大卡）"));
    auto *per100gForm = new QFormLayout(per100gPage);
    per100gForm->setContentsMargins(0, 0, 0, 0);
    per100gForm->addRow(QStringLiteral("每100克热量（大卡）"), m_kcal);
    return per100gPage;
}

QWidget *OwnFoodDialog::makeLabelPage()
{
    // A label as printed: energy in 千焦 or 大卡, per 100 g or per serving; what that comes to per
    // 100 g is shown as it is typed.
    auto *servingPage = new QWidget(m_energy);
    m_labelEnergy = named(new QLineEdit(servingPage), "ownFoodLabelEnergy", QStringLiteral("标签上的能量"));
    m_energyUnit = named(new QComboBox(servingPage), "ownFoodEnergyUnit", QStringLiteral("能量单位"));
    m_energyUnit->addItems({QStringLiteral("千焦"), QStringLiteral("大卡")});
    m_labelBasis = named(new QComboBox(servingPage), "ownFoodLabelBasis", QStringLiteral("标签的含量按"));
    m_labelBasis->addItems({QStringLiteral("每100克"), QStringLiteral("每份")});
    m_servingGrams = named(new QLineEdit(servingPage), "ownFoodServingGrams", QStringLiteral("每份重量（克）"));
    m_servingGrams->setPlaceholderText(QStringLiteral("按每份时必填"));
    m_labelFigures = new QLabel(servingPage);
    m_labelFigures->setObjectName(QStringLiteral("ownFoodLabelFigures"));
    m_labelFigures->setWordWrap(true);
    m_labelFigures->setTextFormat(Qt::PlainText);
    auto *energyRow = new QHBoxLayout;
    energyRow->addWidget(m_labelEnergy, 1);
    energyRow->addWidget(m_energyUnit);
    auto *basisRow = new QHBoxLayout;
    basisRow->addWidget(m_labelBasis);
    auto *servingLabel = new QLabel(QStringLiteral("每份重量"), servingPage);
    servingLabel->setBuddy(m_servingGrams);
    basisRow->addWidget(servingLabel);
    basisRow->addWidget(m_servingGrams, 1);
    basisRow->addWidget(new QLabel(QStringLiteral("克"), servingPage));
    auto *servingForm = new QFormLayout(servingPage);
    servingForm->setContentsMargins(0, 0, 0, 0);
    auto *energyLabel = new QLabel(QStringLiteral("能量"), servingPage);
    energyLabel->setBuddy(m_labelEnergy);
    servingForm->addRow(energyLabel, energyRow);
    auto *basisLabel = new QLabel(QStringLiteral("含量按"), servingPage);
    basisLabel->setBuddy(m_labelBasis);
    servingForm->addRow(basisLabel, basisRow);
    servingForm->addRow(m_labelFigures);
    return servingPage;
}

QWidget *OwnFoodDialog::makeRecipePage()
{
    auto *recipePage = new QWidget(m_energy);
    m_ingredient = named(new QLineEdit(recipePage), "ownFoodIngredient", QStringLiteral("搜索配料"));
    m_ingredient->setPlaceholderText(QStringLiteral("搜索配料（名称或拼音）"));
    m_ingredientSearch = new SearchCompletion(m_ingredient, QStringLiteral("ownFoodIngredientResults"),
                                              [this](const QString &typed) {
                                                  QList<SearchCompletion::Row> rows;
                                                  if (typed.trimmed().isEmpty())
                                                      return rows;
                                                  for (const FoodChoice &food : m_foods.match(typed))
                                                      rows.append({food.fieldText(), food.matchedAlias});
                                                  return rows;
                                              });
    m_ingredientGrams = named(new AmountSpinBox(AmountText::Grams, recipePage), "ownFoodIngredientGrams",
                              QStringLiteral("配料克数"));
    m_ingredientGrams->setValue(100);
    auto *addPartButton = named(new QPushButton(QStringLiteral("添加配料"), recipePage), "ownFoodAddPart",
                                QStringLiteral("添加配料"));
    connect(addPartButton, &QPushButton::clicked, this, &OwnFoodDialog::addPart);
    connect(m_ingredientSearch, &SearchCompletion::chosen, this, [this] { m_ingredientGrams->setFocus(); });
    // Return adds the ingredient (in the search once the list is closed, or in its grams), not
    // the whole food.
    new ReturnClicks(m_ingredientGrams, addPartButton);
    new ReturnClicks(m_ingredient, addPartButton);
    makePartList(recipePage);
    m_cooked = named(new QLineEdit(recipePage), "ownFoodCooked", QStringLiteral("熟重（克）"));
    m_cooked->setPlaceholderText(QStringLiteral("不填则为配料总重"));
    connect(m_cooked, &QLineEdit::textChanged, this, &OwnFoodDialog::showRecipeFigures);
    m_recipeFigures = new QLabel(recipePage);
    m_recipeFigures->setObjectName(QStringLiteral("ownFoodRecipeFigures"));
    m_recipeFigures->setWordWrap(true);
    auto *partRow = new QHBoxLayout;
    partRow->addWidget(m_ingredient, 1);
    partRow->addWidget(m_ingredientGrams);
    partRow->addWidget(addPartButton);
    auto *cookedRow = new QHBoxLayout;
    auto *cookedLabel = new QLabel(QStringLiteral("熟重（克）"), recipePage);
    cookedLabel->setBuddy(m_cooked);
    cookedRow->addWidget(cookedLabel);
    cookedRow->addWidget(m_cooked, 1);
    auto *recipeLayout = new QVBoxLayout(recipePage);
    recipeLayout->setContentsMargins(0, 0, 0, 0);
    recipeLayout->addLayout(partRow);
    recipeLayout->addWidget(m_partList, 1);
    recipeLayout->addLayout(cookedRow);
    recipeLayout->addWidget(m_recipeFigures);
    return recipePage;
}

void OwnFoodDialog::makePartList(QWidget *page)
{
    auto *partList = new PartList(page);
    partList->removePart = [this](int index) {
        if (index >= 0 && index < m_parts.size())
            m_parts.removeAt(index);
        showParts();
    };
    m_partList = named(partList, "ownFoodParts", QStringLiteral("配料"));
    m_partList->setColumnCount(3);
    m_partList->setHeaderLabels({QStringLiteral("配料"), QStringLiteral("克"), QStringLiteral("大卡")});
    m_partList->setRootIsDecorated(false);
    m_partList->header()->setStretchLastSection(false);
    m_partList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_partList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_partList->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_partList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_partList->setItemDelegateForColumn(1, new AmountDelegate(AmountText::Grams, QStringLiteral("partGramsEditor"),
                                                               QStringLiteral("配料克数"), m_partList));
    m_partList->setMinimumHeight(90);
    connect(m_partList, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        const int index = item->data(0, PartRole).toInt();
        if (column != 1 || index < 0 || index >= m_parts.size())
            return;
        m_parts[index].grams = item->data(1, Qt::EditRole).toDouble();
        showRecipeFigures();
    });
}

void OwnFoodDialog::makeNutrientRow()
{
    // Protein, fat and carbohydrate per 100 g, optional; a recipe's come from its ingredients.
    m_nutrientRow = new QWidget(this);
    auto *nutrientLayout = new QHBoxLayout(m_nutrientRow);
    nutrientLayout->setContentsMargins(0, 0, 0, 0);
    const struct
    {
        QLineEdit **field;
        const char *objectName;
        const char *name;
        const char *unit;
    } nutrientFields[] = {{&m_protein, "ownFoodProtein", "蛋白质", "克"},
                          {&m_fat, "ownFoodFat", "脂肪", "克"},
                          {&m_carbohydrate, "ownFoodCarbohydrate", "碳水", "克"},
                          {&m_sodium, "ownFoodSodium", "钠", "毫克"}};
    for (const auto &n : nutrientFields) {
        const QString name = QString::fromUtf8(n.name);
        const QString unit = QString::fromUtf8(n.unit);
        *n.field = named(new QLineEdit(m_nutrientRow), n.objectName, QStringLiteral("%1（%2）").arg(name, unit));
        (*n.field)->setPlaceholderText(unit);
        connect(*n.field, &QLineEdit::textChanged, this, &OwnFoodDialog::showLabelFigures);
        auto *label = new QLabel(name, m_nutrientRow);
        label->setBuddy(*n.field);
        nutrientLayout->addWidget(label);
        nutrientLayout->addWidget(*n.field, 1);
    }
}

QLayout *OwnFoodDialog::makeAliasesAndMeasure()
{
    m_aliases = named(new QLineEdit(this), "ownFoodAliases", QStringLiteral("其他名称"));
    m_aliases->setPlaceholderText(QStringLiteral("可不填，多个用“、”分隔"));
    m_measure = named(new QLineEdit(this), "ownFoodMeasure", QStringLiteral("家用份量"));
    m_measure->setPlaceholderText(QStringLiteral("例如 1杯（可不填）"));
    m_measure->setMaxLength(OwnFoodInput::MaxMeasureLength);
    m_measureGrams = named(new QLineEdit(this), "ownFoodMeasureGrams", QStringLiteral("家用份量的克数"));
    m_measureGrams->setPlaceholderText(QStringLiteral("克"));
    connect(m_measureGrams, &QLineEdit::textChanged, this, &OwnFoodDialog::showRecipeFigures);
    auto *measureRow = new QHBoxLayout;
    measureRow->addWidget(m_measure, 2);
    measureRow->addWidget(new QLabel(QStringLiteral("="), this));
    measureRow->addWidget(m_measureGrams, 1);
    measureRow->addWidget(new QLabel(QStringLiteral("克"), this));
    return measureRow;
}

void OwnFoodDialog::makeMessages()
{
    // Said, not refused: a label may be right and still not add up (rounding, fibre, polyols).
    m_figuresWarning = new QLabel(this);
    m_figuresWarning->setObjectName(QStringLiteral("ownFoodFiguresWarning"));
    m_figuresWarning->setWordWrap(true);
    m_figuresWarning->setTextFormat(Qt::PlainText);
    QPalette amber = m_figuresWarning->palette();
    amber.setColor(QPalette::WindowText, QColor(0x8A, 0x4B, 0x00));
    m_figuresWarning->setPalette(amber);
    m_figuresWarning->hide();
    for (QLineEdit *edit : {m_kcal, m_labelEnergy, m_servingGrams})
        connect(edit, &QLineEdit::textChanged, this, &OwnFoodDialog::showLabelFigures);
    for (QComboBox *box : {m_energyUnit, m_labelBasis})
        connect(box, &QComboBox::currentIndexChanged, this, &OwnFoodDialog::showLabelFigures);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("ownFoodProblem"));
    m_problem->setWordWrap(true);
    m_problem->setTextFormat(Qt::PlainText);
    QPalette red = m_problem->palette();
    red.setColor(QPalette::WindowText, QColor(0xB0, 0x1C, 0x1C));
    m_problem->setPalette(red);
    m_problem->hide();
}

QDialogButtonBox *OwnFoodDialog::makeButtons()
{
    auto *buttons = new QDialogButtonBox(this);
    auto *saveButton = named(buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole),
                             "ownFoodSave", QStringLiteral("保存"));
    auto *removeButton = named(buttons->addButton(QStringLiteral("删除"), QDialogButtonBox::DestructiveRole),
                               "ownFoodRemove", QStringLiteral("删除这种自定义食物"));
    auto *cancel = named(buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole),
                         "ownFoodCancel", QStringLiteral("取消"));
    removeButton->setVisible(m_editing.has_value());
    saveButton->setDefault(true);
    connect(saveButton, &QPushButton::clicked, this, &OwnFoodDialog::save);
    connect(removeButton, &QPushButton::clicked, this, &OwnFoodDialog::remove);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton *mode : {m_per100g, m_perServing, m_recipe})
        connect(mode, &QRadioButton::toggled, this, &OwnFoodDialog::showEnergyMode);
    return buttons;
}

void OwnFoodDialog::layOut(QLayout *measureRow, QDialogButtonBox *buttons)
{
    auto *modeRow = new QHBoxLayout;
    for (QRadioButton *mode : {m_per100g, m_perServing, m_recipe})
        modeRow->addWidget(mode);
    modeRow->addStretch(1);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("食物名称"), m_name);
    form->addRow(QStringLiteral("分类"), m_category);
    form->addRow(QStringLiteral("热量"), modeRow);
    form->addRow(m_energy);
    m_nutrientLabel = new QLabel(QStringLiteral("每100克含（可不填）"), this);
    form->addRow(m_nutrientLabel, m_nutrientRow);
    form->addRow(m_figuresWarning);
    form->addRow(QStringLiteral("其他名称"), m_aliases);
    form->addRow(QStringLiteral("家用份量"), measureRow);
    form->addRow(m_problem);
    form->addRow(buttons);
}

void OwnFoodDialog::fillIn(const QString &typedName)
{
    if (m_editing) {
        m_name->setText(m_editing->name);
        m_category->setCurrentText(m_editing->category);
        if (m_category->currentText() != m_editing->category) {
            m_category->addItem(m_editing->category);
            m_category->setCurrentText(m_editing->category);
        }
        m_kcal->setText(figure(m_editing->kcalPer100g));
        m_aliases->setText(m_editing->aliases.join(QChar(0x3001)));
        m_measure->setText(m_editing->measure);
        if (m_editing->nutrients && !m_editing->isRecipe()) {
            m_protein->setText(figure(m_editing->nutrients->protein));
            m_fat->setText(figure(m_editing->nutrients->fat));
            m_carbohydrate->setText(figure(m_editing->nutrients->carbohydrate));
            if (m_editing->nutrients->sodium)
                m_sodium->setText(figure(*m_editing->nutrients->sodium));
        }
        if (!m_editing->measure.isEmpty())
            m_measureGrams->setText(figure(m_editing->measureGrams));
        if (m_editing->isRecipe()) {
            m_parts = m_editing->parts;
            m_cooked->setText(figure(m_editing->cookedGrams));
            m_recipe->setChecked(true);
        }
    } else {
        m_name->setText(typedName.trimmed().left(OwnFoodInput::MaxNameLength));
    }
}

bool OwnFoodDialog::isTaken(const QString &name) const
{
    return m_taken.contains(name);
}

void OwnFoodDialog::showEnergyMode()
{
    const int shown = m_recipe->isChecked() ? 2 : m_perServing->isChecked() ? 1 : 0;
    for (int i = 0; i < m_pages.size(); ++i)
        m_pages.at(i)->setVisible(i == shown);
    m_nutrientRow->setVisible(shown != 2);
    m_nutrientLabel->setVisible(shown != 2);
    showLabelFigures();
    adjustSize();
}

OwnFoodInput::Fields OwnFoodDialog::fields() const
{
    OwnFoodInput::Fields fields;
    fields.name = m_name->text();
    fields.category = m_category->currentText();
    fields.fromLabel = m_perServing->isChecked();
    fields.kilojoules = m_energyUnit->currentIndex() == 0;
    fields.perServing = m_labelBasis->currentIndex() == 1;
    fields.kcalPer100g = m_kcal->text();
    fields.labelEnergy = m_labelEnergy->text();
    fields.servingGrams = m_servingGrams->text();
    fields.aliases = m_aliases->text();
    fields.measure = m_measure->text();
    fields.measureGrams = m_measureGrams->text();
    fields.protein = m_protein->text();
    fields.fat = m_fat->text();
    fields.carbohydrate = m_carbohydrate->text();
    fields.sodium = m_sodium->text();
    return fields;
}

void OwnFoodDialog::showLabelFigures()
{
    const bool label = m_perServing->isChecked();
    const bool perServing = label && m_labelBasis->currentIndex() == 1;
    m_nutrientLabel->setText(perServing ? QStringLiteral("每份含（可不填）")
                             : label    ? QStringLiteral("每100克含（标签上的）")
                                        : QStringLiteral("每100克含（可不填）"));
    const OwnFoodInput::Preview preview = OwnFoodInput::preview(fields());
    m_labelFigures->setText(preview.figures);
    m_labelFigures->setAccessibleName(preview.figures.isEmpty() ? QStringLiteral("折合每100克的数值") : preview.figures);
    m_labelFigures->setVisible(!preview.figures.isEmpty());
    const bool warned = !m_recipe->isChecked() && !preview.warning.isEmpty();
    m_figuresWarning->setText(warned ? preview.warning : QString());
    m_figuresWarning->setAccessibleName(warned ? preview.warning : QStringLiteral("标签核对"));
    m_figuresWarning->setVisible(warned);
    // A longer line wraps: the dialog grows so that nothing is cut off.
    if (layout() && isVisible()) {
        layout()->activate();
        const int needed = layout()->totalHeightForWidth(width());
        if (needed > height())
            resize(width(), needed);
    }
}

void OwnFoodDialog::addPart()
{
    const std::optional<FoodChoice> food = m_foods.find(m_ingredient->text());
    if (!food) {
        m_problem->setText(m_ingredient->text().trimmed().isEmpty()
                               ? QStringLiteral("请先搜索并选择一种配料。")
                               : QStringLiteral("没有找到配料“%1”，请从搜索结果中选择。").arg(m_ingredient->text().trimmed()));
        m_problem->show();
        m_ingredient->setFocus();
        return;
    }
    const AmountText::Reading grams = m_ingredientGrams->reading();
    if (!grams.value) {
        m_problem->setText(QStringLiteral("配料的") + grams.problem + QStringLiteral("。"));
        m_problem->show();
        m_ingredientGrams->setFocus();
        return;
    }
    m_problem->hide();
    m_parts.append({food->name, food->category, food->kcalPer100g, *grams.value, food->nutrients});
    showParts();
    m_ingredientSearch->clear();
    m_ingredient->setFocus();
}

void OwnFoodDialog::showParts()
{
    const QSignalBlocker quiet(m_partList);
    m_partList->clear();
    for (int i = 0; i < m_parts.size(); ++i) {
        const RecipePart &part = m_parts.at(i);
        auto *item = new QTreeWidgetItem(m_partList);
        item->setText(0, part.food);
        item->setData(0, PartRole, i);
        item->setData(1, Qt::EditRole, figure(part.grams));
        item->setText(2, QString::number(qRound(part.kcal())));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    }
    showRecipeFigures();
}

// The recipe's figures as they stand: the parts' weight and energy, per 100 g of the cooked dish,
// and per household measure when one is given.
void OwnFoodDialog::showRecipeFigures()
{
    double grams = 0;
    double kcal = 0;
    for (const RecipePart &part : std::as_const(m_parts)) {
        grams += part.grams;
        kcal += part.kcal();
    }
    if (m_parts.isEmpty()) {
        m_recipeFigures->setText(QStringLiteral("还没有配料。搜索一种食物，填写克数，点“添加配料”。"));
        m_recipeFigures->setAccessibleName(m_recipeFigures->text());
        return;
    }
    const std::optional<double> typedCooked = AmountText::number(m_cooked->text());
    const double cooked = typedCooked && *typedCooked > 0 ? *typedCooked : grams;
    const std::optional<double> per100g = OwnFood::recipeKcalPer100g(m_parts, cooked);
    QString text = QStringLiteral("配料共 %1 克、%2 大卡；熟重 %3 克，每100克 %4 大卡")
                       .arg(figure(grams))
                       .arg(qRound(kcal))
                       .arg(figure(cooked))
                       .arg(per100g ? figure(std::round(*per100g * 10) / 10) : QStringLiteral("—"));
    const std::optional<double> measureGrams = AmountText::number(m_measureGrams->text());
    if (per100g && measureGrams && *measureGrams > 0 && !m_measure->text().trimmed().isEmpty())
        text += QStringLiteral("；每份（%1，%2 克）%3 大卡")
                    .arg(m_measure->text().trimmed())
                    .arg(figure(*measureGrams))
                    .arg(qRound(*per100g * *measureGrams / 100));
    const std::optional<Nutrients> nutrients = OwnFood::recipeNutrients(m_parts, cooked);
    text += nutrients ? QStringLiteral("；每100克") + Nutrients::describe(nutrients)
                      : QStringLiteral("；有配料没有营养素数据，算不出蛋白质、脂肪、碳水");
    m_recipeFigures->setText(text + QStringLiteral("。"));
    m_recipeFigures->setAccessibleName(m_recipeFigures->text());
}

void OwnFoodDialog::save()
{
    const OwnFoodInput::Fields fields = this->fields();
    const auto taken = [this](const QString &name) { return isTaken(name); };
    const OwnFoodInput::Reading reading = m_recipe->isChecked()
        ? OwnFoodInput::readRecipe(fields, m_parts, m_cooked->text(), taken)
        : OwnFoodInput::read(fields, taken);
    if (!reading.problem.isEmpty()) {
        m_problem->setText(reading.problem);
        m_problem->setAccessibleName(reading.problem);
        m_problem->show();
        using F = OwnFoodInput::Field;
        QWidget *field = m_name;
        switch (reading.field) {
        case F::Kcal: field = m_kcal; break;
        case F::ServingKcal: field = m_labelEnergy; break;
        case F::ServingGrams: field = m_servingGrams; break;
        case F::Aliases: field = m_aliases; break;
        case F::Measure: field = m_measure; break;
        case F::MeasureGrams: field = m_measureGrams; break;
        case F::Parts: field = m_ingredient; break;
        case F::Cooked: field = m_cooked; break;
        case F::Nutrients: field = m_protein; break;
        case F::Name:
        case F::None: break;
        }
        field->setFocus();
        return;
    }
    m_result = reading.food;
    m_result.id = m_editing ? m_editing->id : 0;
    m_outcome = Outcome::Save;
    accept();
}

void OwnFoodDialog::remove()
{
    if (!m_editing)
        return;
    // Past log entries keep their name and energy; the food only leaves the tree and searches.
    if (MessageBox::question(this, QStringLiteral("自定义食物"),
                             QStringLiteral("删除自定义食物“%1”？已经记下的饮食记录不受影响。")
                                 .arg(MessageBox::quote(m_editing->name)),
                             MessageBox::Cancel)
        != MessageBox::Ok)
        return;
    m_result = *m_editing;
    m_outcome = Outcome::Remove;
    accept();
}
