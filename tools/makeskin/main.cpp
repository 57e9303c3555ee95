// SPDX-License-Identifier: GPL-3.0-or-later
// makeskin: builds a skin file from an object list (JSON) and the SVG pictures it names.
//
//   makeskin <object-list.json> <output.dat>
//
// Each form's two SVG pictures are rendered at every listed scale on a transparent background;
// their alpha gives the window its shape. The output is written only if it reads back cleanly.

#include "skin/SkinFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

#include <zlib.h>

namespace {

[[noreturn]] void fail(const QString &message)
{
    throw SkinError(message);
}

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (24 - 8 * i));
    return bytes;
}

// CRC-32 of a PNG chunk's type and data: zlib's.
quint32 pngCrc(const QByteArray &typeAndData)
{
    return quint32(crc32(0L, reinterpret_cast<const Bytef *>(typeAndData.constData()),
                         uInt(typeAndData.size())));
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray typeAndData = QByteArray(type, 4) + data;
    return bigEndian32(quint32(data.size())) + typeAndData + bigEndian32(pngCrc(typeAndData));
}

// An 8-bit RGBA PNG whose rows are stored unfiltered and deflated at the fastest level. The
// program decodes a skin picture at every start: for this flat artwork the usual adaptive
// row filters and maximal compression save only about a tenth of the size, while undoing
// them made decoding about three times slower.
QByteArray fastDecodingPng(const QImage &picture)
{
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888); // PNG's byte order
    const qsizetype rowBytes = qsizetype(rgba.width()) * 4;
    QByteArray rows;
    rows.reserve((rowBytes + 1) * rgba.height());
    for (int y = 0; y < rgba.height(); ++y) {
        rows.append('\0'); // filter type 0: none
        rows.append(reinterpret_cast<const char *>(rgba.constScanLine(y)), rowBytes);
    }
    // qCompress puts the uncompressed length before the zlib stream; PNG wants the stream.
    const QByteArray zlibStream = qCompress(rows, 1).mid(4);
    QByteArray header = bigEndian32(quint32(rgba.width())) + bigEndian32(quint32(rgba.height()));
    header += QByteArray("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no interlace
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header)
        + pngChunk("IDAT", zlibStream) + pngChunk("IEND", QByteArray());
}

QByteArray renderPng(const QString &svgPath, int width, int height, int scale)
{
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid())
        fail(QStringLiteral("无法读取图片“%1”。").arg(svgPath));
    QImage image(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(0, 0, image.width(), image.height()));
    }
    const QByteArray png = fastDecodingPng(image);
    // Our own encoder: make sure any PNG reader gets back exactly the rendered picture.
    if (QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGBA8888)
        != image.convertToFormat(QImage::Format_RGBA8888))
        fail(QStringLiteral("无法把“%1”编码为 PNG。").arg(svgPath));
    return png;
}

int intField(const QJsonObject &object, const char *key, const QString &where)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isDouble())
        fail(QStringLiteral("%1缺少整数字段“%2”。").arg(where, QLatin1String(key)));
    return value.toInt();
}

SkinObject readObject(const QJsonObject &json, const QString &formName)
{
    const QString name = json.value(QLatin1String("name")).toString();
    const QString where = QStringLiteral("窗体“%1”的对象“%2”").arg(formName, name);
    const QJsonArray rect = json.value(QLatin1String("rect")).toArray();
    if (name.isEmpty() || rect.size() != 4)
        fail(QStringLiteral("%1需要名称和四个数的矩形。").arg(where));
    return SkinObject(name, static_cast<SkinObjectType>(intField(json, "type", where)),
                      rect[0].toInt(), rect[1].toInt(), rect[2].toInt(), rect[3].toInt());
}

SkinForm readForm(const QJsonObject &json, const QDir &sourceDir)
{
    SkinForm form;
    form.name = json.value(QLatin1String("name")).toString();
    const QString where = QStringLiteral("窗体“%1”").arg(form.name);
    form.width = intField(json, "width", where);
    form.height = intField(json, "height", where);
    QJsonArray scales = json.value(QLatin1String("scales")).toArray();
    if (scales.isEmpty())
        scales.append(1);
    const struct {
        SkinPictureRole role;
        const char *key;
    } roles[] = {{SkinPictureRole::Normal, "normal"},
                 {SkinPictureRole::Highlighted, "highlighted"}};
    for (const QJsonValue &scale : std::as_const(scales)) {
        for (const auto &role : roles) {
            const QString svg = sourceDir.filePath(json.value(QLatin1String(role.key)).toString());
            form.pictures.append(SkinPicture{role.role, scale.toInt(),
                                             renderPng(svg, form.width, form.height,
                                                       scale.toInt())});
        }
    }
    for (const QJsonValue &object : json.value(QLatin1String("objects")).toArray())
        form.objects.append(readObject(object.toObject(), form.name));
    return form;
}

SkinData readObjectList(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("无法读取对象表“%1”：%2。").arg(path, file.errorString()));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject())
        fail(QStringLiteral("对象表“%1”不是有效的 JSON：%2。").arg(path, error.errorString()));
    SkinData data;
    const QDir sourceDir = QFileInfo(path).absoluteDir();
    for (const QJsonValue &form : document.object().value(QLatin1String("forms")).toArray())
        data.forms.append(readForm(form.toObject(), sourceDir));
    return data;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail(QStringLiteral("无法写入“%1”：%2。").arg(path, file.errorString()));
}

} // namespace

int main(int argc, char *argv[])
{
    // Text in the pictures needs fonts, and fonts need a GUI platform; none has to be on screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: makeskin <object-list.json> <output.dat>\n");
        return 2;
    }
    try {
        const QByteArray bytes = writeSkin(readObjectList(args[1]));
        writeFile(args[2], bytes);
    } catch (const SkinError &error) {
        std::fprintf(stderr, "makeskin: %s\n", error.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
