// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class LogSchema;
class QWidget;

// "导入自定义食物…": own foods and recipes from a CSV file into the user's file. A name the
// shipped foods use is refused; own foods of the same names as the file's are the user's to
// decide (the file's, the ones here, or nothing). Every outcome is told through MessageBox.
class OwnFoodImport
{
public:
    // `schema`: the log's tables in the window's file, through whose upgrade own foods are written.
    OwnFoodImport(QWidget *window, LogSchema &schema);

    // Asks for the file, starting in `folder`; `imported` is called once own foods were written.
    void run(const QString &folder, const std::function<void()> &imported);

private:
    void tell(const QString &text) const;

    QWidget *m_window;
    LogSchema &m_schema;
};
