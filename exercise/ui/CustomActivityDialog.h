// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercise/Activity.h"
#include "exercise/ActivitySearch.h"

#include <QDialog>
#include <QVector>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "自定义运动": a new activity of the user's own, or one of theirs changed or removed. The
// intensity is a MET, or kcal per hour at the latest weight (turned into a MET). Nothing is
// written here: the dialog closes with what to do, checked (CustomActivityInput), and the page
// writes it.
class CustomActivityDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Outcome { Save, Remove };

    // `mine`: the user's activities, to pick one to change; `known`: every activity, for names
    // that are taken; `kg`: the latest weight, if any.
    CustomActivityDialog(const QVector<Activity> &mine, ActivitySearch known, std::optional<double> kg,
                         QWidget *parent = nullptr);

    Outcome outcome() const { return m_outcome; }
    // The activity to save or remove: customId 0 for a new one.
    Activity activity() const { return m_result; }

private:
    void showChoice(int index);
    void save();
    void remove();
    void showUnit();
    // The MET the figure becomes and what 30 minutes would log, before saving.
    void showPreview();
    // The activity picked to change, if one is.
    std::optional<Activity> picked() const;

    QVector<Activity> m_mine;
    ActivitySearch m_known;
    std::optional<double> m_kg;
    Outcome m_outcome = Outcome::Save;
    Activity m_result;

    QComboBox *m_choice;
    QLineEdit *m_name;
    QRadioButton *m_byMet;
    QRadioButton *m_byHour;
    QLineEdit *m_figure;
    QLabel *m_figureLabel;
    QLabel *m_preview;
    QLabel *m_problem;
    QPushButton *m_remove;
};
