// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ExportFile.h"

#include "db/DataError.h"
#include "db/FileRead.h"
#include "db/FileWrite.h"
#include "db/WorkProgress.h"
#include "widgets/ApplicationTitle.h"
#include "widgets/LongWork.h"
#include "widgets/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

namespace {

// True when both names lead to one file: by device and inode where the system has them, so a
// hard link or a symbolic link to the data file is known for what it is.
bool sameFile(const QString &one, const QString &other)
{
#if defined(Q_OS_UNIX)
    struct stat first;
    struct stat second;
    if (::stat(QFile::encodeName(one).constData(), &first) == 0
        && ::stat(QFile::encodeName(other).constData(), &second) == 0)
        return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#endif
    return QFileInfo(one).canonicalFilePath() == QFileInfo(other).canonicalFilePath();
}

} // namespace

ExportFile::ExportFile(QWidget *window, QString dataFile) : m_window(window), m_dataFile(std::move(dataFile))
{
}

QString ExportFile::documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString ExportFile::suggested(const QString &name, const QDate &day)
{
    return QDir(documentsFolder()).filePath(name.arg(day.toString(QStringLiteral("yyyy-MM-dd"))));
}

QString ExportFile::shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString ExportFile::withSuffix(const QString &path, const QString &suffix)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

// A device or a pipe would be swapped for a file by the rename, or fed without an end; a folder
// cannot take a file's place.
QString ExportFile::whyNotWritable(const QString &path)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("“%1”是一个文件夹").arg(shown(path));
    const QString notRegular = FileRead::whyNotRegular(path);
    return notRegular.isEmpty() ? notRegular : notRegular + QStringLiteral("，不能写到那里");
}

void ExportFile::tell(const QString &text) const
{
    MessageBox::information(m_window, QString::fromUtf8(ApplicationTitle), text);
}

bool ExportFile::isDataFile(const QString &path) const
{
    const QFileInfo chosen(path);
    const QFileInfo data(m_dataFile);
    if (chosen.absoluteFilePath() == data.absoluteFilePath()
        || chosen.absoluteFilePath() == data.absoluteFilePath() + QStringLiteral("-journal"))
        return true;
    return chosen.exists() && sameFile(path, m_dataFile);
}

QString ExportFile::target(const QString &chosen, const QString &suffix) const
{
    const QString path = withSuffix(chosen, suffix);
    if (isDataFile(path)) {
        tell(QStringLiteral("不能导出到正在使用的数据文件“%1”。").arg(shown(path)));
        return QString();
    }
    if (const QString why = whyNotWritable(path); !why.isEmpty()) {
        tell(QStringLiteral("没有导出：%1。").arg(why));
        return QString();
    }
    // The chooser asked about the name it was given, not about one with the ending added.
    if (path != chosen && QFileInfo::exists(path)
        && MessageBox::question(m_window, QString::fromUtf8(ApplicationTitle),
                                QStringLiteral("“%1”已经存在，要替换它吗？").arg(shown(path)),
                                MessageBox::Cancel)
               != MessageBox::Ok)
        return QString();
    return path;
}

bool ExportFile::write(const QString &path, const QByteArray &bytes) const
{
    try {
        LongWork work(m_window, QStringLiteral("正在导出"), bytes.size());
        writeWholeFile(path, bytes, [&work](qint64 done, qint64) { return work.advance(done); });
        return true;
    } catch (const WorkCancelled &) {
        tell(QStringLiteral("已取消导出，没有写入“%1”").arg(shown(path))
             + (QFileInfo::exists(path) ? QStringLiteral("，原来的文件未作改动。") : QStringLiteral("。")));
        return false;
    } catch (const DataError &error) {
        tell(QStringLiteral("没有导出：") + error.message()
             + (QFileInfo::exists(path) ? QStringLiteral("原来的文件未作改动。") : QString()));
        return false;
    }
}
