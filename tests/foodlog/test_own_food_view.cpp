// SPDX-License-Identifier: GPL-3.0-or-later
// The 自定义食物 dialog with a package label as printed: energy in 千焦, figures per 100 g or per
// serving, what they come to shown before saving, and a label that does not add up said, not
// refused.

#include "ownfoods/ui/OwnFoodDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

struct Label
{
    const char *basis; // "每100克" or "每份"
    const char *energy; // in 千焦
    const char *serving;
    const char *protein;
    const char *fat;
    const char *carbohydrate;
    const char *sodium;
};

void type(OwnFoodDialog &dialog, const Label &label)
{
    const auto edit = [&](const char *name) { return dialog.findChild<QLineEdit *>(QLatin1String(name)); };
    edit("ownFoodName")->setText(QStringLiteral("苏打饼干（某牌）"));
    dialog.findChild<QRadioButton *>(QStringLiteral("ownFoodLabel"))->setChecked(true);
    dialog.findChild<QComboBox *>(QStringLiteral("ownFoodEnergyUnit"))->setCurrentText(QStringLiteral("千焦"));
    dialog.findChild<QComboBox *>(QStringLiteral("ownFoodLabelBasis"))->setCurrentText(QString::fromUtf8(label.basis));
    edit("ownFoodLabelEnergy")->setText(QString::fromUtf8(label.energy));
    edit("ownFoodServingGrams")->setText(QString::fromUtf8(label.serving));
    edit("ownFoodProtein")->setText(QString::fromUtf8(label.protein));
    edit("ownFoodFat")->setText(QString::fromUtf8(label.fat));
    edit("ownFoodCarbohydrate")->setText(QString::fromUtf8(label.carbohydrate));
    edit("ownFoodSodium")->setText(QString::fromUtf8(label.sodium));
}

} // namespace

class OwnFoodViewTest : public QObject
{
    Q_OBJECT

private slots:
    void labelAsPrinted_data();
    void labelAsPrinted();
};

void OwnFoodViewTest::labelAsPrinted_data()
{
    QTest::addColumn<QString>("basis");
    QTest::addColumn<QString>("energy");
    QTest::addColumn<QString>("serving");
    QTest::addColumn<QString>("protein");
    QTest::addColumn<double>("proteinPer100g");
    QTest::addColumn<bool>("warned");
    // "能量 1500 千焦，蛋白质 5 克…（每100克），每份 30 克"
    QTest::newRow("per 100 g, serving named") << "每100克" << "1500" << "30" << "5" << 5.0 << false;
    // The same label printed per 30 g serving.
    QTest::newRow("per serving") << "每份" << "450" << "30" << "1.5" << 5.0 << false;
    // Protein misread as 15 g: 1500 kJ is 358.5 kcal, the figures give 456.5.
    QTest::newRow("a misread figure") << "每100克" << "1500" << "30" << "15" << 15.0 << true;
}

void OwnFoodViewTest::labelAsPrinted()
{
    QFETCH(QString, basis);
    QFETCH(QString, energy);
    QFETCH(QString, serving);
    QFETCH(QString, protein);
    QFETCH(double, proteinPer100g);
    QFETCH(bool, warned);
    OwnFoodDialog dialog(FoodChoices(), std::nullopt);
    dialog.show();
    const QByteArray b = basis.toUtf8(), e = energy.toUtf8(), s = serving.toUtf8(), p = protein.toUtf8();
    const bool perServing = basis == QStringLiteral("每份");
    type(dialog, {b.constData(), e.constData(), s.constData(), p.constData(), perServing ? "4.4" : "14.5",
                  perServing ? "20" : "66.5", perServing ? "114" : "380"});
    auto *figures = dialog.findChild<QLabel *>(QStringLiteral("ownFoodLabelFigures"));
    QVERIFY2(figures->isVisible() && figures->text().startsWith(QStringLiteral("折合每100克 358.5 大卡（%1 千焦 ÷ 4.184").arg(energy)),
             qPrintable(figures->text()));
    QVERIFY2(figures->text().contains(QStringLiteral("家用份量 1份 = 30 克")), qPrintable(figures->text()));
    auto *warning = dialog.findChild<QLabel *>(QStringLiteral("ownFoodFiguresWarning"));
    QCOMPARE(warning->isVisible(), warned);
    QCOMPARE(warning->text().contains(QStringLiteral("相差超过 20%")), warned);
    QCOMPARE(warning->text().count(QStringLiteral("。")), warned ? 1 : 0); // one sentence

    dialog.findChild<QPushButton *>(QStringLiteral("ownFoodSave"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted)); // saved even when warned
    const OwnFood &food = dialog.food();
    QCOMPARE(food.kcalPer100g, 358.5);
    QCOMPARE(food.measure, QStringLiteral("1份"));
    QCOMPARE(food.measureGrams, 30.0);
    QVERIFY(food.nutrients);
    QCOMPARE(food.nutrients->protein, proteinPer100g);
    QCOMPARE(food.nutrients->sodium.value_or(-1), 380.0);
}

QTEST_MAIN(OwnFoodViewTest)
#include "test_own_food_view.moc"
