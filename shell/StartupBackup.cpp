// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/StartupBackup.h"

#include "db/DailyBackup.h"
#include "db/DataError.h"

#include <QSettings>
#include <new>

namespace {
const QString LastToldKey = QStringLiteral("backup/lastFailureTold");
}

QString StartupBackup::copyToday(const QString &dataFile, QDate today)
{
    try {
        DailyBackup(dataFile).run(today);
        return QString();
    } catch (const DataError &error) {
        return error.message();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("内存不足。");
    } catch (const std::exception &) {
        return QStringLiteral("程序内部出错。");
    }
}

QString StartupBackup::noticeFor(const QString &cause, QDate today, QSettings &memory)
{
    if (cause.isEmpty()) {
        if (memory.contains(LastToldKey))
            memory.remove(LastToldKey);
        return QString();
    }
    // Remembered without the day's file name, which the cause often names: the same problem
    // tomorrow is the same problem.
    const QString problem = QString(cause).replace(DailyBackup::fileNameFor(today),
                                                   QStringLiteral("data-YYYY-MM-DD.mdb"));
    if (memory.value(LastToldKey).toString() == problem)
        return QString();
    memory.setValue(LastToldKey, problem);
    memory.sync();
    return QStringLiteral("今天的自动备份没有做成：%1\n\n笔记照常可以使用，每次启动都会再试。"
                          "同样的问题不会再提示。")
        .arg(cause);
}

QString StartupBackup::run(const QString &dataFile, QDate today, QSettings &memory)
{
    return noticeFor(copyToday(dataFile, today), today, memory);
}
