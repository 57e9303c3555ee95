// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/SystemErrorText.h"

#include <QFileDevice>
#include <cerrno>

QString SystemErrorText::of(int errnum)
{
    switch (errnum) {
    case ENOENT: return QStringLiteral("文件或文件夹不存在");
    case EACCES: return QStringLiteral("没有权限");
    case EPERM: return QStringLiteral("系统不允许这样做");
    case ENOSPC: return QStringLiteral("磁盘空间不足");
#ifdef EDQUOT
    case EDQUOT: return QStringLiteral("超出了磁盘配额");
#endif
    case EROFS: return QStringLiteral("文件所在的磁盘是只读的");
    case EISDIR: return QStringLiteral("这是一个文件夹");
    case ENOTDIR: return QStringLiteral("路径中有一段不是文件夹");
    case EEXIST: return QStringLiteral("已有同名的文件");
    case EIO: return QStringLiteral("读写磁盘时出错");
    case ENAMETOOLONG: return QStringLiteral("文件名太长");
    case EMFILE:
    case ENFILE: return QStringLiteral("打开的文件太多");
    case EBUSY: return QStringLiteral("文件正被占用");
#ifdef ETXTBSY
    case ETXTBSY: return QStringLiteral("文件正被占用");
#endif
    case EXDEV: return QStringLiteral("不能在两个磁盘之间改名");
#ifdef ELOOP
    case ELOOP: return QStringLiteral("符号链接形成了循环");
#endif
    case ENOMEM: return QStringLiteral("内存不足");
    case EFBIG: return QStringLiteral("文件太大");
    case EINVAL: return QStringLiteral("文件名或参数无效");
    case EAGAIN: return QStringLiteral("暂时无法完成，请稍后再试");
    case ENXIO:
    case ENODEV: return QStringLiteral("设备不存在或不可用");
    default: return QStringLiteral("系统错误 %1").arg(errnum);
    }
}

QString SystemErrorText::of(const QFileDevice &file)
{
    if (errno != 0)
        return of(errno);
    switch (file.error()) {
    case QFileDevice::ReadError: return QStringLiteral("读取时出错");
    case QFileDevice::WriteError: return QStringLiteral("写入时出错");
    case QFileDevice::ResourceError: return QStringLiteral("磁盘空间或系统资源不足");
    case QFileDevice::PermissionsError: return QStringLiteral("没有权限");
    case QFileDevice::OpenError: return QStringLiteral("无法打开文件");
    case QFileDevice::RenameError: return QStringLiteral("无法改名");
    case QFileDevice::RemoveError: return QStringLiteral("无法删除");
    case QFileDevice::CopyError: return QStringLiteral("无法复制");
    default: return QStringLiteral("文件操作失败");
    }
}
