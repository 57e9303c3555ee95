// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FigureText.h"

namespace FigureText {

QString upToOneDecimal(double value)
{
    QString text = QString::number(value, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    // A small negative value rounds to zero, which has no sign.
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

} // namespace FigureText
