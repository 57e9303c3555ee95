// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/ProfileDialog.h"
#include "widgets/Named.h"

#include "widgets/AmountHint.h"
#include "widgets/AmountSpinBox.h"

#include "foodlog/EnergyBudget.h"
#include "foods/Bounds.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

ProfileDialog::ProfileDialog(const std::optional<Profile> &current, int thisYear, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("profileDialog"));
    setWindowTitle(QStringLiteral("个人资料"));
    setAccessibleName(QStringLiteral("个人资料"));
    const Profile p = current.value_or(Profile{});

    m_sex = named(new QComboBox(this), "profileSex", QStringLiteral("性别"));
    m_sex->addItems({QStringLiteral("女"), QStringLiteral("男")});
    m_sex->setCurrentIndex(p.sex == Profile::Sex::Male ? 1 : 0);

    m_birthYear = named(new QSpinBox(this), "profileBirthYear", QStringLiteral("出生年份"));
    m_birthYear->setRange(thisYear - Bounds::MaxAge, thisYear - Bounds::MinAge);
    m_birthYear->setValue(qBound(thisYear - Bounds::MaxAge, p.birthYear, thisYear - Bounds::MinAge));

    m_height = named(new AmountSpinBox(AmountText::Height, this), "profileHeight", QStringLiteral("身高（厘米）"));
    m_height->setValue(p.heightCm);
    m_heightHint = new AmountHint(m_height, QStringLiteral("身高的提示"), this);
    m_heightHint->setObjectName(QStringLiteral("profileHeightHint"));

    m_activity = named(new QComboBox(this), "profileActivity", QStringLiteral("活动水平"));
    for (int level = 0; level < EnergyBudget::ActivityLevels; ++level)
        m_activity->addItem(QStringLiteral("%1 × %2").arg(EnergyBudget::activityName(level))
                                .arg(EnergyBudget::activityFactor(level)));
    m_activity->setCurrentIndex(p.activityLevel);

    m_target = named(new QDoubleSpinBox(this), "profileTarget", QStringLiteral("目标体重（千克）"));
    m_target->setRange(0, 400);
    m_target->setDecimals(1);
    m_target->setSpecialValueText(QStringLiteral("未设定"));
    m_target->setSuffix(QStringLiteral(" 千克"));
    m_target->setValue(p.targetKg);

    auto *note = new QLabel(QStringLiteral("每日预算 = 静息代谢（Mifflin–St Jeor 公式）× 活动系数 − 500 大卡，"
                                           "女性不低于 1200、男性不低于 1500 大卡。"
                                           "“运动”页记录的运动另按（MET − 1）× 体重 × 小时数计入，"
                                           "只算高出静息的部分，当天的剩余热量随之增加。"),
                            this);
    note->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("取消"));
    // Plain buttons, as in the program's message boxes.
    for (QAbstractButton *button : buttons->buttons())
        button->setIcon(QIcon());
    // A height that does not read as one keeps the dialog open, the problem shown under it.
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (m_heightHint->takeAmount())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("性别"), m_sex);
    form->addRow(QStringLiteral("出生年份"), m_birthYear);
    form->addRow(QStringLiteral("身高"), m_height);
    form->addRow(QString(), m_heightHint);
    form->addRow(QStringLiteral("活动水平"), m_activity);
    form->addRow(QStringLiteral("目标体重"), m_target);
    form->addRow(note);
    form->addRow(buttons);
}

Profile ProfileDialog::profile() const
{
    Profile p;
    p.sex = m_sex->currentIndex() == 1 ? Profile::Sex::Male : Profile::Sex::Female;
    p.birthYear = m_birthYear->value();
    p.heightCm = m_height->value();
    p.activityLevel = m_activity->currentIndex();
    p.targetKg = m_target->value();
    return p;
}
