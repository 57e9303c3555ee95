// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FatalError.h"

#include <QMessageBox>
#include <cstdio>

FatalError::Handler &FatalError::handler()
{
    static Handler current;
    return current;
}

void FatalError::setHandler(Handler handler)
{
    FatalError::handler() = std::move(handler);
}

void FatalError::report(const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);

    if (const Handler &recorder = handler()) {
        recorder(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Pellomir"), text, QMessageBox::Ok);
    box.exec();
}

QString FatalError::startupFailed(const QString &cause)
{
    return QStringLiteral("Pellomir 无法启动。\n\n%1\n\n"
                          "请确认程序所在的文件夹中有完好的 data.mdb 和 Skin1.dat，"
                          "必要时重新安装 Pellomir。")
        .arg(cause);
}

QString FatalError::dataFileInUse(const QString &cause)
{
    // Nothing is missing or damaged: reinstalling would not help, waiting or closing would.
    return QStringLiteral("Pellomir 无法启动。\n\n%1\n\n"
                          "数据文件正被另一个程序使用（也可能是另一个正在运行的 Pellomir）。"
                          "请关闭那个程序，或稍等片刻，然后再启动 Pellomir。")
        .arg(cause);
}

QString FatalError::installedStartupFailed(const QString &cause)
{
    return QStringLiteral("Pellomir 无法启动。\n\n%1\n\n"
                          "请确认上面列出的位置中有完好的 data.mdb 和 Skin1.dat，"
                          "必要时重新安装 Pellomir。")
        .arg(cause);
}
