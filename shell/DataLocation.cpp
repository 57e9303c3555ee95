// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/DataLocation.h"

#include "db/SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

const QString DataFileName = QStringLiteral("data.mdb");
const QString SkinFileName = QStringLiteral("Skin1.dat");

bool syncToDisk(QFile &file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// Copies `source` to `target` through a temporary file in the target's folder, synced before it
// is renamed, so `target` is either absent or whole. The rename never replaces a file: when
// another start made `target` first, that file is kept and used. Returns the reason on failure.
QString copyWithoutReplacing(const QString &source, const QString &target)
{
    // Each cause in Chinese (SystemErrorText), from errno as the failing call left it.
    QFile in(source);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly))
        return SystemErrorText::of(in);
    QTemporaryFile out(target + QStringLiteral(".XXXXXX"));
    errno = 0;
    if (!out.open())
        return SystemErrorText::of(out);
    out.setAutoRemove(false);
    const auto failed = [&out](const QString &reason) {
        out.remove();
        return reason;
    };
    while (!in.atEnd()) {
        errno = 0;
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() && in.error() != QFile::NoError)
            return failed(SystemErrorText::of(in));
        errno = 0;
        if (out.write(chunk) != chunk.size())
            return failed(SystemErrorText::of(out));
    }
    errno = 0;
    if (!syncToDisk(out))
        return failed(SystemErrorText::of(out));
    out.close();
    if (out.size() != in.size())
        return failed(QStringLiteral("复制不完整"));
    errno = 0;
    if (!out.rename(target)) {
        const QString reason = SystemErrorText::of(out);
        out.remove();
        return QFileInfo::exists(target) ? QString() : reason;
    }
    return QString();
}

} // namespace

ProgramFiles ProgramFiles::inFolder(const QString &programDir)
{
    ProgramFiles files;
    files.programDir = programDir;
    // A forward slash: Qt takes it on every platform.
    files.dataFile = programDir + QLatin1Char('/') + DataFileName;
    files.skinFile = programDir + QLatin1Char('/') + SkinFileName;
    files.searched = QStringList{files.skinFile, files.dataFile};
    return files;
}

QString ProgramFiles::searchedText() const
{
    QString text = QStringLiteral("查找过的位置：");
    for (const QString &place : searched)
        text += QStringLiteral("\n  ") + QDir::toNativeSeparators(place);
    return text;
}

DataLocationError::DataLocationError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

DataLocation::DataLocation(QString programDir, QString userDataDir)
    : m_programDir(std::move(programDir)), m_userDataDir(std::move(userDataDir))
{
}

QString DataLocation::defaultUserDataDir()
{
    // The generic location with our own lower-case folder: the application-specific one would
    // be named after the display name ("Pellomir") and move if that ever changes.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // A relative XDG_DATA_HOME is invalid under the XDG Base Directory rules and is ignored.
    // Qt would take it as it is, putting the user's notebook under whatever folder the program
    // happened to be started in.
    const QString xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdgDataHome.isEmpty() && QDir::isRelativePath(xdgDataHome))
        return QDir::homePath() + QStringLiteral("/.local/share/pellomir");
#endif
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/pellomir");
}

QString DataLocation::sharedDirOf(const QString &programDir)
{
    return QDir::cleanPath(programDir + QStringLiteral("/../share/pellomir"));
}

ProgramFiles DataLocation::resolve() const
{
    ProgramFiles files = ProgramFiles::inFolder(m_programDir);
    const QString sharedDir = sharedDirOf(m_programDir);
    if (QFileInfo(sharedDir + QLatin1Char('/') + DataFileName).isFile())
        files.templateFile = sharedDir + QLatin1Char('/') + DataFileName;
    if (QFileInfo::exists(files.dataFile) || !QFileInfo(sharedDir).isDir())
        return files;

    // Installed: the shared folder is there and the program's own folder has no data file.
    files.sharedDir = sharedDir;
    const QString sharedSkin = sharedDir + QLatin1Char('/') + SkinFileName;
    if (m_userDataDir.isEmpty())
        throw DataLocationError(
            QStringLiteral("程序文件夹“%1”中没有 data.mdb，而这个系统没有给出存放用户数据的文件夹。")
                .arg(QDir::toNativeSeparators(m_programDir)));
    const QString userFile = m_userDataDir + QLatin1Char('/') + DataFileName;
    const QString templateFile = sharedDir + QLatin1Char('/') + DataFileName;
    files.searched = QStringList{files.skinFile, sharedSkin, files.dataFile, userFile};
    if (!QFileInfo::exists(files.skinFile))
        files.skinFile = sharedSkin;
    files.dataFile = userFile;
    if (QFileInfo::exists(userFile))
        return files;

    files.searched << templateFile;
    if (!QFileInfo(templateFile).isFile())
        throw DataLocationError(
            QStringLiteral("找不到数据文件 data.mdb，也找不到用来新建它的模板“%1”。\n%2")
                .arg(QDir::toNativeSeparators(templateFile), files.searchedText()));

    QString reason;
    if (!QDir().mkpath(m_userDataDir))
        reason = QStringLiteral("无法建立文件夹");
    else
        reason = copyWithoutReplacing(templateFile, userFile);
    if (!reason.isEmpty())
        throw DataLocationError(QStringLiteral("无法在“%1”中新建数据文件 data.mdb：%2。\n%3")
                                    .arg(QDir::toNativeSeparators(m_userDataDir), reason,
                                         files.searchedText()));
    return files;
}
