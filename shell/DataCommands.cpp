// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/DataCommands.h"
#include "datafile/DataLayout.h"

#include "db/DailyBackup.h"
#include "db/DatabaseCopy.h"
#include "db/DatabaseRestore.h"
#include "db/DataError.h"
#include "db/WorkProgress.h"
#include "datafile/DataFileUpgrade.h"
#include "db/SystemErrorText.h"
#include "notebook/ui/NotebookController.h"
#include "widgets/ApplicationTitle.h"
#include "widgets/ExportFile.h"
#include "widgets/FileDialog.h"
#include "widgets/LongWork.h"
#include "widgets/MessageBox.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

const QString DataFilter = QStringLiteral("Pellomir 数据 (*.mdb)");

// The steps of a progress box whose work comes in parts of their own units (pages, rows).
constexpr qint64 LongWorkSteps = 1000;

QString shown(const QString &path)
{
    return ExportFile::shown(path);
}

} // namespace

DataCommands::DataCommands(Parts parts) : m_parts(parts), m_file(parts.window, parts.dataFile)
{
}

void DataCommands::tell(const QString &text) const
{
    m_file.tell(text);
}

void DataCommands::backupData()
{
    const QString suggested = ExportFile::suggested(QStringLiteral("Pellomir-备份-%1.mdb"), m_parts.clock.today());
    QString path = FileDialog::saveFileName(m_parts.window, QStringLiteral("备份数据"), suggested,
                                            {DataFilter});
    if (path.isEmpty())
        return;
    const QString given = path;
    path = ExportFile::withSuffix(path, QStringLiteral("mdb"));
    if (m_file.isDataFile(path)) {
        tell(QStringLiteral("不能把数据备份到正在使用的数据文件本身。"));
        return;
    }
    if (const QString why = ExportFile::whyNotWritable(path); !why.isEmpty()) {
        tell(QStringLiteral("没有备份：%1。").arg(why));
        return;
    }
    const bool replacing = QFileInfo::exists(path);
    if (replacing && path != given
        && MessageBox::question(m_parts.window, QString::fromUtf8(ApplicationTitle),
                                QStringLiteral("“%1”已经存在，要替换它吗？").arg(shown(path)),
                                MessageBox::Cancel)
               != MessageBox::Ok)
        return;

    // A file being replaced goes only once the whole checked copy is there beside it.
    const QFileInfo target(path);
    const QString copyPath = replacing
        ? target.absoluteDir().filePath(QStringLiteral(".%1.new-%2")
                                            .arg(target.fileName())
                                            .arg(QDateTime::currentMSecsSinceEpoch()))
        : path;
    try {
        LongWork work(m_parts.window, QStringLiteral("正在备份数据"), LongWorkSteps);
        copyDatabaseFile(m_parts.dataFile, copyPath, 0, DefaultLockWaitMs, work.share(0, 1));
    } catch (const WorkCancelled &) {
        tell(QStringLiteral("已取消备份，没有写入“%1”").arg(shown(path))
             + (replacing ? QStringLiteral("，原来的文件未作改动。") : QStringLiteral("。")));
        return;
    } catch (const DataError &error) {
        tell(QStringLiteral("没有备份：") + error.message());
        return;
    }
    // One rename over the old file: at every moment either the old file or the whole new copy
    // has the name, never neither.
    if (replacing) {
        std::error_code failed;
        std::filesystem::rename(std::filesystem::path(copyPath.toStdU16String()),
                                std::filesystem::path(path.toStdU16String()), failed);
        if (failed) {
            QFile::remove(copyPath);
            tell(QStringLiteral("没有备份：无法替换“%1”（%2），原来的文件未作改动。")
                     .arg(shown(path), SystemErrorText::of(failed.value())));
            return;
        }
    }
    tell(QStringLiteral("已把数据备份到“%1”。").arg(shown(path)));
}

void DataCommands::restoreData()
{
    const DailyBackup backups(m_parts.dataFile);
    const QString folder = QFileInfo(backups.folder()).isDir()
        ? backups.folder()
        : QFileInfo(m_parts.dataFile).absolutePath();
    const QString path = FileDialog::openFileName(
        m_parts.window, QStringLiteral("从备份恢复"), folder,
        {DataFilter, QStringLiteral("所有文件 (*)")});
    if (path.isEmpty())
        return;
    if (m_file.isDataFile(path)) {
        tell(QStringLiteral("“%1”就是正在使用的数据文件，不能用它来恢复。").arg(shown(path)));
        return;
    }
    // Every check, the upgrade of the backup's layout and its food tables included, before the
    // question and before anything is copied.
    std::unique_ptr<PreparedRestore> prepared;
    bool keptOwnFoods = false;
    try {
        verifyDatabaseFile(path);
        // The food log's tables, where the file has them, must be of a shape the upgrade takes.
        verifyTablesFit(path, DataLayout::logStatements());
        const QString templateFile = m_parts.templateFile;
        LongWork work(m_parts.window, QStringLiteral("正在检查备份"), LongWorkSteps);
        prepared = std::make_unique<PreparedRestore>(
            path,
            [&](sqlite3 *scratch, const QString &context) {
                keptOwnFoods = DataFileUpgrade::prepareRestored(scratch, templateFile, context);
            },
            work.share(0, 1));
    } catch (const WorkCancelled &) {
        tell(QStringLiteral("已取消恢复，现在的数据未作改动。"));
        return;
    } catch (const DataError &error) {
        tell(QStringLiteral("没有恢复：") + error.message());
        return;
    }
    // A record being typed would be lost with the view: ask first, as closing does.
    if (!m_parts.notebook->mayClose())
        return;
    // Everything the file holds goes, not only the notes: say so, and how old the backup is.
    const QString savedAt = QFileInfo(path).lastModified().toString(QStringLiteral("yyyy年M月d日 HH:mm"));
    if (MessageBox::question(m_parts.window, QString::fromUtf8(ApplicationTitle),
                             QStringLiteral("要用“%1”（保存于 %2）中的数据替换现在的全部数据吗？\n\n"
                                            "替换的是：四个栏目的全部笔记，饮食记录，体重记录，个人资料，"
                                            "以及食物表。\n\n"
                                            "现在的数据会先另存一份到备份文件夹“%3”。")
                                 .arg(shown(path), savedAt, shown(backups.folder())),
                             MessageBox::Cancel)
        != MessageBox::Ok)
        return;

    // The current data first, under the file's write lock, which is held until the restored data
    // is in place: without that copy nothing is replaced, and no write of another program falls
    // between the copy and the replacement.
    // The box's first half is that copy, its second the rows of the backup.
    const QString before = backups.beforeRestorePath(m_parts.clock.now());
    bool copied = false;
    try {
        LongWork work(m_parts.window, QStringLiteral("正在恢复数据"), LongWorkSteps);
        prepared->replace(
            *m_parts.db,
            [&] {
                if (!QDir().mkpath(backups.folder()))
                    throw DataError(QStringLiteral("无法建立备份文件夹“%1”。").arg(shown(backups.folder())));
                try {
                    copyDatabaseFile(m_parts.dataFile, before, DailyBackup::BeforeRestoreMarker, DefaultLockWaitMs,
                                     work.share(0, 2));
                } catch (const WorkCancelled &) {
                    throw;
                } catch (const DataError &error) {
                    throw DataError(QStringLiteral("现在的数据无法先备份。") + error.message(), error.code());
                }
                copied = true;
            },
            work.share(1, 2));
    } catch (const WorkCancelled &) {
        // Nothing was replaced: the copy is the data as it still is, and would only push a real
        // one out of the five kept.
        if (copied)
            QFile::remove(before);
        tell(QStringLiteral("已取消恢复，现在的数据未作改动。"));
        return;
    } catch (const DataError &error) {
        if (!copied) {
            tell(QStringLiteral("没有恢复：") + error.message());
            return;
        }
        m_parts.showRestoredData();
        tell(QStringLiteral("恢复失败：%1\n\n恢复前的数据保存在“%2”。").arg(error.message(), shown(before)));
        return;
    }
    m_parts.showRestoredData();
    backups.removeOldBeforeRestoreCopies(m_parts.clock.now());
    tell(QStringLiteral("已从“%1”恢复数据。\n\n恢复前的数据保存在“%2”。").arg(shown(path), shown(before))
         + (keptOwnFoods ? QStringLiteral("\n\n") + DataFileUpgrade::keptOwnFoodsText() : QString()));
}

void DataCommands::takeShippedFoods()
{
    if (m_parts.templateFile.isEmpty()) {
        tell(QStringLiteral("这个程序文件夹没有随附的食物表模板（share/pellomir/data.mdb），无法换用。"));
        return;
    }
    if (MessageBox::question(m_parts.window, QString::fromUtf8(ApplicationTitle),
                             QStringLiteral("要用随程序安装的食物表替换数据文件中的食物表吗？\n\n"
                                            "对食物表的改动会丢失；笔记、饮食记录、体重、运动和自定义食物都不受影响。"
                                            "替换前会先在数据文件旁另存一份备份。"),
                             MessageBox::Cancel)
        != MessageBox::Ok)
        return;
    QString backup;
    try {
        backup = DataFileUpgrade::takeShippedFoods(*m_parts.db, m_parts.templateFile, m_parts.clock);
    } catch (const DataError &error) {
        tell(error.message());
        return;
    }
    m_parts.showRestoredData();
    tell(QStringLiteral("已换用随附的食物表。替换前的数据保存在“%1”。").arg(shown(backup)));
}

QString DataCommands::aboutText(const QString &dataFile)
{
    return QStringLiteral(
               "Pellomir %1\n"
               "热量计算和瘦身笔记。\n\n"
               "许可证：GPL-3.0-or-later\n"
               "（GNU 通用公共许可证第 3 版或更高版本）\n\n"
               "食物数据来源：\n"
               "·《中国食物成分表》（标准版，第6版），中国疾病预防控制中心营养与健康所 编\n"
               "·常见菜肴、小吃和饮料的典型配方数值\n"
               "·衛生福利部食品藥物管理署「食品營養成分資料庫」（仅用于核对数值）\n\n"
               "数据文件：%2")
        .arg(QStringLiteral(PELLOMIR_VERSION), shown(dataFile));
}

void DataCommands::about()
{
    MessageBox::information(m_parts.window, QStringLiteral("关于 Pellomir"), aboutText(m_parts.dataFile));
}
