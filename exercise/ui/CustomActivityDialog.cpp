// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/ui/CustomActivityDialog.h"
#include "widgets/Named.h"

#include "exercise/CustomActivityInput.h"
#include "widgets/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QString metText(double met)
{
    return QString::number(met, 'f', 1);
}

} // namespace

CustomActivityDialog::CustomActivityDialog(const QVector<Activity> &mine, ActivitySearch known,
                                           std::optional<double> kg, QWidget *parent)
    : QDialog(parent), m_mine(mine), m_known(std::move(known)), m_kg(kg)
{
    setObjectName(QStringLiteral("customActivityDialog"));
    setWindowTitle(QStringLiteral("自定义运动"));
    setAccessibleName(QStringLiteral("自定义运动"));

    m_choice = named(new QComboBox(this), "customActivityChoice", QStringLiteral("新建或修改"));
    m_choice->addItem(QStringLiteral("新建自定义运动"));
    for (const Activity &a : m_mine)
        m_choice->addItem(QStringLiteral("修改：%1").arg(a.name));
    m_choice->setVisible(!m_mine.isEmpty());

    m_name = named(new QLineEdit(this), "customActivityName", QStringLiteral("运动名称"));
    m_name->setMaxLength(CustomActivityInput::MaxNameLength);
    m_name->setPlaceholderText(QStringLiteral("例如：飞盘"));

    m_byMet = named(new QRadioButton(QStringLiteral("运动强度（MET）"), this), "customActivityByMet",
                    QStringLiteral("按运动强度（MET）填写"));
    m_byHour = named(new QRadioButton(QStringLiteral("每小时消耗（大卡）"), this), "customActivityByHour",
                     QStringLiteral("按每小时消耗（大卡）填写"));
    m_byMet->setChecked(true);
    m_figure = named(new QLineEdit(this), "customActivityFigure", QStringLiteral("运动强度（MET）"));
    m_figureLabel = new QLabel(this);
    m_figureLabel->setBuddy(m_figure);

    auto *note = new QLabel(
        QStringLiteral("MET 是运动时的能耗与静坐时之比，可参考运动列表中相近运动的数值。按每小时消耗填写时"
                       "（运动器械或手表显示的总消耗），用最近记录的体重换算成 MET。"),
        this);
    note->setWordWrap(true);

    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("customActivityPreview"));
    m_preview->setWordWrap(true);
    m_preview->setTextFormat(Qt::PlainText);
    m_preview->hide();
    connect(m_figure, &QLineEdit::textChanged, this, &CustomActivityDialog::showPreview);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("customActivityProblem"));
    m_problem->setWordWrap(true);
    m_problem->setTextFormat(Qt::PlainText);
    QPalette red = m_problem->palette();
    red.setColor(QPalette::WindowText, QColor(0xC6, 0x28, 0x28));
    m_problem->setPalette(red);
    m_problem->hide();

    auto *buttons = new QDialogButtonBox(this);
    auto *saveButton = named(buttons->addButton(QStringLiteral("保存"), QDialogButtonBox::AcceptRole),
                             "customActivitySave", QStringLiteral("保存"));
    m_remove = named(buttons->addButton(QStringLiteral("删除"), QDialogButtonBox::DestructiveRole),
                     "customActivityRemove", QStringLiteral("删除这项自定义运动"));
    auto *cancel = named(buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole),
                         "customActivityCancel", QStringLiteral("取消"));
    saveButton->setDefault(true);
    connect(saveButton, &QPushButton::clicked, this, &CustomActivityDialog::save);
    connect(m_remove, &QPushButton::clicked, this, &CustomActivityDialog::remove);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_choice, &QComboBox::currentIndexChanged, this, &CustomActivityDialog::showChoice);
    connect(m_byMet, &QRadioButton::toggled, this, &CustomActivityDialog::showUnit);

    auto *intensity = new QHBoxLayout;
    intensity->addWidget(m_byMet);
    intensity->addWidget(m_byHour);
    intensity->addStretch(1);
    auto *form = new QFormLayout(this);
    if (!m_mine.isEmpty())
        form->addRow(QStringLiteral("新建或修改"), m_choice);
    form->addRow(QStringLiteral("名称"), m_name);
    form->addRow(QStringLiteral("填写方式"), intensity);
    form->addRow(m_figureLabel, m_figure);
    form->addRow(m_preview);
    form->addRow(note);
    form->addRow(m_problem);
    form->addRow(buttons);
    showChoice(0);
    m_name->setFocus();
}

std::optional<Activity> CustomActivityDialog::picked() const
{
    const int index = m_choice->currentIndex() - 1;
    if (index < 0 || index >= m_mine.size())
        return std::nullopt;
    return m_mine.at(index);
}

void CustomActivityDialog::showChoice(int)
{
    const std::optional<Activity> activity = picked();
    m_name->setText(activity ? activity->name : QString());
    m_byMet->setChecked(true);
    m_figure->setText(activity ? metText(activity->met) : QString());
    m_remove->setVisible(activity.has_value());
    m_problem->hide();
    showUnit();
}

void CustomActivityDialog::showUnit()
{
    const QString what = m_byMet->isChecked() ? QStringLiteral("运动强度（MET）") : QStringLiteral("每小时消耗（大卡）");
    m_figureLabel->setText(what);
    m_figure->setAccessibleName(what);
    if (m_byHour->isChecked() && m_kg)
        m_figure->setPlaceholderText(QStringLiteral("按体重 %1 千克").arg(*m_kg));
    else
        m_figure->setPlaceholderText(QString());
    showPreview();
}

void CustomActivityDialog::showPreview()
{
    const QString text = CustomActivityInput::preview(m_figure->text(), m_byHour->isChecked(), m_kg);
    m_preview->setText(text);
    m_preview->setAccessibleName(text.isEmpty() ? QStringLiteral("换算结果") : text);
    m_preview->setVisible(!text.isEmpty());
    if (layout() && isVisible()) {
        layout()->activate();
        const int needed = layout()->totalHeightForWidth(width());
        if (needed > height())
            resize(width(), needed);
    }
}

void CustomActivityDialog::save()
{
    const std::optional<Activity> editing = picked();
    const CustomActivityInput::Reading reading =
        CustomActivityInput::read(m_name->text(), m_figure->text(), m_byHour->isChecked(), m_kg, m_known,
                                  editing ? editing->name : QString());
    if (!reading.problem.isEmpty()) {
        m_problem->setText(reading.problem);
        m_problem->setAccessibleName(reading.problem);
        m_problem->show();
        (reading.problem.contains(QStringLiteral("名称")) ? m_name : m_figure)->setFocus();
        return;
    }
    m_result = editing.value_or(Activity());
    m_result.name = reading.name;
    m_result.met = reading.met;
    m_outcome = Outcome::Save;
    accept();
}

void CustomActivityDialog::remove()
{
    const std::optional<Activity> editing = picked();
    if (!editing)
        return;
    // Past entries keep their name and energy; only the choice goes.
    if (MessageBox::question(this, QStringLiteral("自定义运动"),
                             QStringLiteral("删除自定义运动“%1”？已经记录的运动不受影响。")
                                 .arg(MessageBox::quote(editing->name)),
                             MessageBox::Cancel)
        != MessageBox::Ok)
        return;
    m_result = *editing;
    m_outcome = Outcome::Remove;
    accept();
}
