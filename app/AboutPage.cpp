#include "AboutPage.h"

QString AboutPage::file(const QString &programDir)
{
    return programDir + QStringLiteral("/about.html");
}
