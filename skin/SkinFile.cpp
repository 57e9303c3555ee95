// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/SkinFile.h"

#include <QSet>
#include <QStringDecoder>

#include <algorithm>

SkinError::SkinError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{
}

SkinObject::SkinObject(const QString &name, SkinObjectType type, int left, int top, int right,
                       int bottom)
    : m_name(name)
    , m_type(type)
    , m_left(left)
    , m_top(top)
    , m_right(right)
    , m_bottom(bottom)
{
}

bool SkinObject::contains(QPoint point) const
{
    return point.x() >= m_left && point.x() < m_right && point.y() >= m_top
        && point.y() < m_bottom;
}

bool SkinObject::operator==(const SkinObject &other) const
{
    return m_name == other.m_name && m_type == other.m_type && m_left == other.m_left
        && m_top == other.m_top && m_right == other.m_right && m_bottom == other.m_bottom;
}

bool SkinPicture::operator==(const SkinPicture &other) const
{
    return role == other.role && scale == other.scale && png == other.png;
}

bool SkinRun::operator==(const SkinRun &other) const
{
    return y == other.y && left == other.left && right == other.right;
}

SkinShape::SkinShape(QVector<SkinRun> runs)
    : m_runs(std::move(runs))
{
    std::sort(m_runs.begin(), m_runs.end(), [](const SkinRun &a, const SkinRun &b) {
        return a.y != b.y ? a.y < b.y : a.left < b.left;
    });
}

bool SkinShape::contains(QPoint point) const
{
    // The last run that starts at or before the point, on the point's row.
    auto after = std::upper_bound(m_runs.cbegin(), m_runs.cend(), point,
                                  [](QPoint p, const SkinRun &run) {
                                      return p.y() != run.y ? p.y() < run.y : p.x() < run.left;
                                  });
    if (after == m_runs.cbegin())
        return false;
    const SkinRun &run = *(after - 1);
    return run.y == point.y() && point.x() >= run.left && point.x() < run.right;
}

const SkinPicture *SkinForm::picture(SkinPictureRole role, int scale) const
{
    for (const SkinPicture &p : pictures) {
        if (p.role == role && p.scale == scale)
            return &p;
    }
    return nullptr;
}

const SkinObject *SkinForm::object(const QString &objectName) const
{
    for (const SkinObject &o : objects) {
        if (o.name() == objectName)
            return &o;
    }
    return nullptr;
}

const SkinForm *SkinData::form(const QString &formName) const
{
    for (const SkinForm &f : forms) {
        if (f.name == formName)
            return &f;
    }
    return nullptr;
}

const SkinObject *hitTest(const SkinForm &form, QPoint point)
{
    for (auto it = form.objects.crbegin(); it != form.objects.crend(); ++it) {
        if (it->type() != SkinObjectType::FreeForm && it->contains(point))
            return &*it;
    }
    if (!form.shape.contains(point))
        return nullptr;
    for (const SkinObject &o : form.objects) {
        if (o.type() == SkinObjectType::FreeForm && o.contains(point))
            return &o;
    }
    return nullptr;
}

namespace {

const char Magic[8] = {'P', 'L', 'S', 'K', 'I', 'N', '\0', '\0'};
constexpr quint16 FormatVersion = 1;
const char PngSignature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};

bool isKnownType(quint8 type)
{
    switch (static_cast<SkinObjectType>(type)) {
    case SkinObjectType::FreeForm:
    case SkinObjectType::CloseBox:
    case SkinObjectType::HotSpot:
    case SkinObjectType::MinimizeBox:
        return true;
    }
    return false;
}

// Reads little-endian fields from untrusted bytes. Every read checks the bytes that remain
// first, so nothing is ever allocated for a length the file cannot back up.
class SkinReader
{
public:
    SkinReader(const QByteArray &bytes, const QString &fileName)
        : m_bytes(bytes)
        , m_fileName(fileName)
    {
    }

    SkinData read();

private:
    [[noreturn]] void fail(const QString &cause) const
    {
        throw SkinError(QStringLiteral("皮肤文件“%1”已损坏：%2。").arg(m_fileName, cause));
    }
    [[noreturn]] void failAt(qsizetype offset, const QString &cause) const
    {
        fail(QStringLiteral("第 %1 字节处%2").arg(offset).arg(cause));
    }

    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    void need(qsizetype count)
    {
        if (count > remaining())
            fail(QStringLiteral("在第 %1 字节处意外结束").arg(m_bytes.size()));
    }
    quint8 u8()
    {
        need(1);
        return static_cast<quint8>(m_bytes[m_pos++]);
    }
    quint16 u16()
    {
        need(2);
        const quint16 value = static_cast<quint8>(m_bytes[m_pos])
            | static_cast<quint16>(static_cast<quint8>(m_bytes[m_pos + 1]) << 8);
        m_pos += 2;
        return value;
    }
    quint32 u32()
    {
        const quint32 low = u16();
        return low | static_cast<quint32>(u16()) << 16;
    }
    QByteArray bytes(qsizetype count)
    {
        need(count);
        QByteArray out = m_bytes.mid(m_pos, count);
        m_pos += count;
        return out;
    }

    QString name(const QString &what);
    SkinForm form();
    SkinPicture picture(const SkinForm &form);
    SkinObject object(const SkinForm &form);

    const QByteArray &m_bytes;
    QString m_fileName;
    qsizetype m_pos = 0;
};

SkinData SkinReader::read()
{
    if (m_bytes.size() > SkinLimits::MaxFileBytes)
        fail(QStringLiteral("文件大小 %1 字节超过上限 %2 字节")
                 .arg(m_bytes.size())
                 .arg(SkinLimits::MaxFileBytes));
    if (bytes(sizeof Magic) != QByteArray::fromRawData(Magic, sizeof Magic))
        fail(QStringLiteral("文件头不是皮肤文件的标志"));
    const qsizetype versionAt = m_pos;
    const quint16 version = u16();
    if (version != FormatVersion)
        failAt(versionAt, QStringLiteral("的格式版本 %1 不受支持（只支持版本 %2）")
                              .arg(version)
                              .arg(FormatVersion));
    const qsizetype countAt = m_pos;
    const quint16 formCount = u16();
    if (formCount < 1 || formCount > SkinLimits::MaxForms)
        failAt(countAt, QStringLiteral("的窗体数 %1 不在 1 到 %2 之间")
                            .arg(formCount)
                            .arg(SkinLimits::MaxForms));

    SkinData data;
    QSet<QString> names;
    for (int i = 0; i < formCount; ++i) {
        const qsizetype formAt = m_pos;
        SkinForm f = form();
        if (names.contains(f.name))
            failAt(formAt, QStringLiteral("的窗体名“%1”重复").arg(f.name));
        names.insert(f.name);
        data.forms.append(std::move(f));
    }
    if (remaining() != 0)
        failAt(m_pos, QStringLiteral("之后多出 %1 字节").arg(remaining()));
    return data;
}

QString SkinReader::name(const QString &what)
{
    const qsizetype at = m_pos;
    const quint16 length = u16();
    if (length < 1 || length > SkinLimits::MaxNameBytes)
        failAt(at, QStringLiteral("的%1长度 %2 不在 1 到 %3 字节之间")
                       .arg(what)
                       .arg(length)
                       .arg(SkinLimits::MaxNameBytes));
    const QByteArray utf8 = bytes(length);
    // Keep a leading byte-order mark as a character: a name must read back byte for byte.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                     | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder.decode(utf8);
    if (decoder.hasError())
        failAt(at, QStringLiteral("的%1不是有效的 UTF-8 文本").arg(what));
    return text;
}

SkinForm SkinReader::form()
{
    SkinForm f;
    f.name = name(QStringLiteral("窗体名"));
    const qsizetype sizeAt = m_pos;
    f.width = u16();
    f.height = u16();
    if (f.width < 1 || f.width > SkinLimits::MaxFormSide || f.height < 1
        || f.height > SkinLimits::MaxFormSide)
        failAt(sizeAt, QStringLiteral("窗体“%1”的大小 %2×%3 不在 1 到 %4 像素之间")
                           .arg(f.name)
                           .arg(f.width)
                           .arg(f.height)
                           .arg(SkinLimits::MaxFormSide));

    const qsizetype picturesAt = m_pos;
    const quint8 pictureCount = u8();
    if (pictureCount < 2 || pictureCount > SkinLimits::MaxPicturesPerForm)
        failAt(picturesAt, QStringLiteral("窗体“%1”的图片数 %2 不在 2 到 %3 之间")
                               .arg(f.name)
                               .arg(pictureCount)
                               .arg(SkinLimits::MaxPicturesPerForm));
    for (int i = 0; i < pictureCount; ++i)
        f.pictures.append(picture(f));
    // Every scale needs both pictures, and scale 1 must be there.
    for (const SkinPicture &p : std::as_const(f.pictures)) {
        const auto other = p.role == SkinPictureRole::Normal ? SkinPictureRole::Highlighted
                                                             : SkinPictureRole::Normal;
        if (!f.picture(other, p.scale))
            failAt(picturesAt, QStringLiteral("窗体“%1”缺少 %2 倍的%3图片")
                                   .arg(f.name)
                                   .arg(p.scale)
                                   .arg(other == SkinPictureRole::Normal ? QStringLiteral("普通")
                                                                         : QStringLiteral("高亮")));
    }
    if (!f.picture(SkinPictureRole::Normal, 1))
        failAt(picturesAt, QStringLiteral("窗体“%1”缺少 1 倍的图片").arg(f.name));

    const qsizetype objectsAt = m_pos;
    const quint16 objectCount = u16();
    if (objectCount > SkinLimits::MaxObjectsPerForm)
        failAt(objectsAt, QStringLiteral("窗体“%1”的对象数 %2 超过上限 %3")
                              .arg(f.name)
                              .arg(objectCount)
                              .arg(SkinLimits::MaxObjectsPerForm));
    QSet<QString> names;
    bool hasFreeForm = false;
    for (int i = 0; i < objectCount; ++i) {
        const qsizetype objectAt = m_pos;
        SkinObject o = object(f);
        if (names.contains(o.name()))
            failAt(objectAt, QStringLiteral("窗体“%1”的对象名“%2”重复").arg(f.name, o.name()));
        names.insert(o.name());
        if (o.type() == SkinObjectType::FreeForm) {
            if (hasFreeForm)
                failAt(objectAt,
                       QStringLiteral("窗体“%1”有不止一个自由形状窗口对象").arg(f.name));
            hasFreeForm = true;
        }
        f.objects.append(std::move(o));
    }
    return f;
}

SkinPicture SkinReader::picture(const SkinForm &form)
{
    const qsizetype at = m_pos;
    SkinPicture p;
    const quint8 role = u8();
    if (role > quint8(SkinPictureRole::Highlighted))
        failAt(at, QStringLiteral("窗体“%1”的图片用途 %2 未知").arg(form.name).arg(role));
    p.role = static_cast<SkinPictureRole>(role);
    p.scale = u8();
    if (p.scale < 1 || p.scale > SkinLimits::MaxPictureScale)
        failAt(at, QStringLiteral("窗体“%1”的图片倍数 %2 不在 1 到 %3 之间")
                       .arg(form.name)
                       .arg(p.scale)
                       .arg(SkinLimits::MaxPictureScale));
    if (form.picture(p.role, p.scale))
        failAt(at, QStringLiteral("窗体“%1”的 %2 倍图片重复").arg(form.name).arg(p.scale));
    const QString picture = QStringLiteral("窗体“%1”的 %2 倍%3图片")
                                .arg(form.name)
                                .arg(p.scale)
                                .arg(p.role == SkinPictureRole::Normal ? QStringLiteral("普通")
                                                                       : QStringLiteral("高亮"));
    const quint32 length = u32();
    if (length > remaining())
        failAt(at, QStringLiteral("%1的长度 %2 字节超出文件余下的 %3 字节")
                       .arg(picture)
                       .arg(length)
                       .arg(remaining()));
    if (length < quint32(SkinLimits::MinPngBytes))
        failAt(at, QStringLiteral("%1只有 %2 字节，不是完整的 PNG 图片（至少 %3 字节）")
                       .arg(picture)
                       .arg(length)
                       .arg(SkinLimits::MinPngBytes));
    p.png = bytes(length);

    // Check the picture's declared size before anyone decodes it.
    if (!p.png.startsWith(QByteArray::fromRawData(PngSignature, sizeof PngSignature))
        || p.png.mid(12, 4) != "IHDR")
        failAt(at, QStringLiteral("%1不是 PNG 图片").arg(picture));
    auto bigEndian = [&](int offset) {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | static_cast<quint8>(p.png[offset + i]);
        return value;
    };
    const quint32 pngWidth = bigEndian(16);
    const quint32 pngHeight = bigEndian(20);
    if (pngWidth != quint32(form.width * p.scale) || pngHeight != quint32(form.height * p.scale))
        failAt(at, QStringLiteral("%1的大小 %2×%3 应为 %4×%5")
                       .arg(picture)
                       .arg(pngWidth)
                       .arg(pngHeight)
                       .arg(form.width * p.scale)
                       .arg(form.height * p.scale));
    return p;
}

SkinObject SkinReader::object(const SkinForm &form)
{
    const QString objectName = name(QStringLiteral("对象名"));
    const qsizetype at = m_pos;
    const quint8 type = u8();
    if (!isKnownType(type))
        failAt(at, QStringLiteral("对象“%1”的类型 %2 未知").arg(objectName).arg(type));
    const int left = u16();
    const int top = u16();
    const int right = u16();
    const int bottom = u16();
    if (left >= right || top >= bottom)
        failAt(at, QStringLiteral("对象“%1”的矩形 %2,%3,%4,%5 是空的：右边须大于左边，下边须大于上边")
                       .arg(objectName)
                       .arg(left)
                       .arg(top)
                       .arg(right)
                       .arg(bottom));
    if (right > form.width || bottom > form.height)
        failAt(at, QStringLiteral("对象“%1”的矩形 %2,%3,%4,%5 不在窗体 %6×%7 之内")
                       .arg(objectName)
                       .arg(left)
                       .arg(top)
                       .arg(right)
                       .arg(bottom)
                       .arg(form.width)
                       .arg(form.height));
    return SkinObject(objectName, static_cast<SkinObjectType>(type), left, top, right, bottom);
}

class SkinWriter
{
public:
    QByteArray write(const SkinData &data);

private:
    [[noreturn]] static void fail(const QString &cause)
    {
        throw SkinError(QStringLiteral("无法写出皮肤文件：%1。").arg(cause));
    }
    void u8(int value) { m_out.append(static_cast<char>(value)); }
    void u16(int value)
    {
        u8(value & 0xff);
        u8((value >> 8) & 0xff);
    }
    void u32(quint32 value)
    {
        u16(int(value & 0xffff));
        u16(int(value >> 16));
    }
    void name(const QString &text);

    QByteArray m_out;
};

void SkinWriter::name(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.isEmpty() || utf8.size() > SkinLimits::MaxNameBytes)
        fail(QStringLiteral("名称“%1”的长度不在 1 到 %2 字节之间")
                 .arg(text)
                 .arg(SkinLimits::MaxNameBytes));
    u16(int(utf8.size()));
    m_out.append(utf8);
}

QByteArray SkinWriter::write(const SkinData &data)
{
    if (data.forms.isEmpty() || data.forms.size() > SkinLimits::MaxForms)
        fail(QStringLiteral("窗体数 %1 不在 1 到 %2 之间")
                 .arg(data.forms.size())
                 .arg(SkinLimits::MaxForms));
    m_out.append(Magic, sizeof Magic);
    u16(FormatVersion);
    u16(int(data.forms.size()));
    for (const SkinForm &f : data.forms) {
        name(f.name);
        if (f.width < 1 || f.width > SkinLimits::MaxFormSide || f.height < 1
            || f.height > SkinLimits::MaxFormSide)
            fail(QStringLiteral("窗体“%1”的大小超出范围").arg(f.name));
        u16(f.width);
        u16(f.height);
        if (f.pictures.size() > SkinLimits::MaxPicturesPerForm)
            fail(QStringLiteral("窗体“%1”的图片过多").arg(f.name));
        u8(int(f.pictures.size()));
        for (const SkinPicture &p : f.pictures) {
            u8(int(p.role));
            u8(p.scale);
            u32(quint32(p.png.size()));
            m_out.append(p.png);
        }
        if (f.objects.size() > SkinLimits::MaxObjectsPerForm)
            fail(QStringLiteral("窗体“%1”的对象过多").arg(f.name));
        u16(int(f.objects.size()));
        for (const SkinObject &o : f.objects) {
            name(o.name());
            u8(int(o.type()));
            u16(o.left());
            u16(o.top());
            u16(o.right());
            u16(o.bottom());
        }
    }
    if (m_out.size() > SkinLimits::MaxFileBytes)
        fail(QStringLiteral("文件大小超过上限 %1 字节").arg(SkinLimits::MaxFileBytes));
    return m_out;
}

} // namespace

SkinData readSkin(const QByteArray &bytes, const QString &fileName)
{
    return SkinReader(bytes, fileName).read();
}

QByteArray writeSkin(const SkinData &data)
{
    QByteArray out = SkinWriter().write(data);
    // Whatever we write must read back: catch out-of-range fields here, not in the program.
    readSkin(out, QStringLiteral("(新写出的皮肤)"));
    return out;
}
