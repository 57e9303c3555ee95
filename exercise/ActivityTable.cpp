// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/ActivityTable.h"

#include "foodlog/LogBounds.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

ActivityTable ActivityTable::parse(const QByteArray &csv)
{
    ActivityTable table;
    const QStringList lines = QString::fromUtf8(csv).split(QLatin1Char('\n'));
    // The last column names the Compendium's edition a row's code and MET come from; a table
    // without it is of one edition throughout.
    const QString header = lines.isEmpty() ? QString() : lines.first().trimmed();
    const bool withEdition = header == QLatin1String("category,name,met,code,aliases,compendium");
    if (!withEdition && header != QLatin1String("category,name,met,code,aliases")) {
        table.m_problems << QStringLiteral("line 1: the header is not \"category,name,met,code,aliases,compendium\"");
        return table;
    }
    const int columns = withEdition ? 6 : 5;
    static const QRegularExpression fiveDigits(QStringLiteral("^\\d{5}$"));
    QSet<QString> names;
    QSet<QString> codes;
    for (int i = 1; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        const auto problem = [&](const QString &what) {
            table.m_problems << QStringLiteral("line %1: %2").arg(i + 1).arg(what);
        };
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() != columns) {
            problem(QStringLiteral("%1 fields instead of %2").arg(fields.size()).arg(columns));
            continue;
        }
        Activity activity;
        activity.category = fields.at(0).trimmed();
        activity.name = fields.at(1).trimmed();
        bool isNumber = false;
        activity.met = fields.at(2).trimmed().toDouble(&isNumber);
        activity.code = fields.at(3).trimmed();
        const QString edition = withEdition ? fields.at(5).trimmed() : QString();
        for (const QString &alias : fields.at(4).split(QChar(0x3001), Qt::SkipEmptyParts)) {
            if (!alias.trimmed().isEmpty())
                activity.aliases << alias.trimmed();
        }
        if (activity.category.isEmpty() || activity.name.isEmpty()) {
            problem(QStringLiteral("an empty category or name"));
            continue;
        }
        if (!isNumber || !LogBounds::metInRange(activity.met)) {
            problem(QStringLiteral("MET \"%1\" is not a number from %2 to %3")
                        .arg(fields.at(2).trimmed())
                        .arg(LogBounds::MinMet)
                        .arg(LogBounds::MaxMet));
            continue;
        }
        if (withEdition && edition != QLatin1String("2011") && edition != QLatin1String("2024")) {
            problem(QStringLiteral("compendium \"%1\" is not 2011 or 2024").arg(edition));
            continue;
        }
        if (!fiveDigits.match(activity.code).hasMatch() || codes.contains(edition + activity.code)) {
            problem(QStringLiteral("code \"%1\" is not five digits or is given twice").arg(activity.code));
            continue;
        }
        const QStringList given = QStringList{activity.name} + activity.aliases;
        QString twice;
        for (const QString &name : given) {
            if (names.contains(name) || given.count(name) > 1)
                twice = name;
        }
        if (!twice.isEmpty()) {
            problem(QStringLiteral("the name \"%1\" is given twice").arg(twice));
            continue;
        }
        for (const QString &name : given)
            names.insert(name);
        codes.insert(edition + activity.code);
        table.m_activities.append(activity);
    }
    return table;
}

ActivityTable ActivityTable::builtIn()
{
    QFile file(QStringLiteral(":/activity/activities.csv"));
    if (!file.open(QIODevice::ReadOnly)) {
        ActivityTable none;
        none.m_problems << QStringLiteral("the table of activities is not in the program");
        return none;
    }
    return parse(file.readAll());
}
