// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/Profile.h"

#include <QDialog>
#include <optional>

class QComboBox;
class AmountHint;
class AmountSpinBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

// Asks for what the budget is worked out from: sex, year of birth, height,
// activity level and target weight.
class ProfileDialog : public QDialog
{
    Q_OBJECT

public:
    ProfileDialog(const std::optional<Profile> &current, int thisYear, QWidget *parent = nullptr);

    Profile profile() const;

private:
    QComboBox *m_sex;
    QSpinBox *m_birthYear;
    AmountSpinBox *m_height;
    AmountHint *m_heightHint;
    QComboBox *m_activity;
    QDoubleSpinBox *m_target;
};
