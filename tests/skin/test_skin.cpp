// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/SkinFile.h"
#include "skin/SkinPictures.h"
#include "skin/ui/SkinEngine.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QXmlStreamReader>

#include <cmath>
#include <functional>

#include <zlib.h>

namespace {

const QString BuiltSkin = QStringLiteral(PELLOMIR_SKIN_FILE);
const QString FixtureName = QStringLiteral("/tmp/fixture/Skin1.dat");

// --- A little writer of raw skin bytes, free to break every rule of the format. ---

QByteArray u8(int v)
{
    return QByteArray(1, char(v));
}
QByteArray u16(int v)
{
    return u8(v & 0xff) + u8((v >> 8) & 0xff);
}
QByteArray u32(quint32 v)
{
    return u16(int(v & 0xffff)) + u16(int(v >> 16));
}
QByteArray name(const QByteArray &utf8)
{
    return u16(int(utf8.size())) + utf8;
}
QByteArray header(int version = 1, int forms = 1)
{
    return QByteArray("PLSKIN\0\0", 8) + u16(version) + u16(forms);
}
QByteArray pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
QByteArray png(int width, int height, QRgb fill = qRgba(10, 20, 30, 255))
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(fill);
    image.setPixel(0, 0, qRgba(0, 0, 0, 0)); // a transparent corner
    return pngOf(image);
}
QByteArray picture(int role, int scale, const QByteArray &data)
{
    return u8(role) + u8(scale) + u32(quint32(data.size())) + data;
}
QByteArray twoPictures(int width = 4, int height = 3)
{
    return u8(2) + picture(0, 1, png(width, height))
        + picture(1, 1, png(width, height, qRgba(200, 100, 0, 255)));
}
QByteArray object(const QByteArray &objectName, int type, int l, int t, int r, int b)
{
    return name(objectName) + u8(type) + u16(l) + u16(t) + u16(r) + u16(b);
}
QByteArray form(const QByteArray &formName, const QByteArray &objects = u16(0),
                const QByteArray &pictures = twoPictures(), int width = 4, int height = 3)
{
    return name(formName) + u16(width) + u16(height) + pictures + objects;
}
// A small valid skin: one 4 x 3 form with a free-form object and a button.
QByteArray tinySkin()
{
    return header() + form("F", u16(2) + object("SkinFreeForm Object", 0, 0, 0, 4, 3)
                                    + object("b", 2, 1, 1, 3, 2));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

QString readError(const QByteArray &bytes)
{
    try {
        readSkin(bytes, FixtureName);
    } catch (const SkinError &error) {
        return error.message();
    }
    return QString();
}

// A plain window with the built skin applied and on show.
struct SkinnedWindow
{
    SkinnedWindow()
    {
        engine.loadSkin(BuiltSkin);
        engine.applySkin(&window, QStringLiteral("Simple"));
        window.show();
    }
    SkinEngine engine;
    QWidget window;
};

QPoint centre(const SkinObject &object)
{
    return object.rect().center();
}

quint32 pngChunkCrc(const QByteArray &typeAndData)
{
    return quint32(crc32(0L, reinterpret_cast<const Bytef *>(typeAndData.constData()),
                         uInt(typeAndData.size())));
}

// `png` with the bytes of its first IDAT chunk after the two-byte zlib header replaced by
// 0xFF (a block type deflate does not have); the chunk's checksum is made right again if
// `fixChecksum`, so that only decoding the pixels can find the damage.
QByteArray brokenImageData(QByteArray png, bool fixChecksum)
{
    const qsizetype type = png.indexOf("IDAT");
    const auto length = qsizetype(quint8(png[type - 2])) << 8 | quint8(png[type - 1]);
    for (qsizetype i = type + 4 + 2; i < type + 4 + length; ++i)
        png[i] = char(0xFF);
    if (fixChecksum) {
        const quint32 crc = pngChunkCrc(png.mid(type, 4 + length));
        for (int i = 0; i < 4; ++i)
            png[type + 4 + length + i] = char(crc >> (24 - 8 * i));
    }
    return png;
}

// One PNG chunk: length, type, data, checksum.
QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray out;
    for (const quint32 value : {quint32(data.size())})
        for (int i = 0; i < 4; ++i)
            out += char(value >> (24 - 8 * i));
    out += type + data;
    const quint32 crc = pngChunkCrc(type + data);
    for (int i = 0; i < 4; ++i)
        out += char(crc >> (24 - 8 * i));
    return out;
}

// `png` with its chunks taken apart, changed by `edit` (type -> data, in order) and put together
// again with right checksums.
QByteArray rechunked(const QByteArray &png,
                     const std::function<void(QVector<QPair<QByteArray, QByteArray>> &)> &edit)
{
    QVector<QPair<QByteArray, QByteArray>> chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto length = qsizetype(quint8(png[at])) << 24 | qsizetype(quint8(png[at + 1])) << 16
            | qsizetype(quint8(png[at + 2])) << 8 | qsizetype(quint8(png[at + 3]));
        chunks.append({png.mid(at + 4, 4), png.mid(at + 8, length)});
        at += 12 + length;
    }
    edit(chunks);
    QByteArray out = png.left(8);
    for (const auto &[type, data] : std::as_const(chunks))
        out += pngChunk(type, data);
    return out;
}

// A 4 x 3 skin whose scale-1 normal picture is `normal` (the highlighted one is sound).
QByteArray skinWithNormal(const QByteArray &normal, int width = 4, int height = 3)
{
    return header()
        + form("F", u16(0), u8(2) + picture(0, 1, normal) + picture(1, 1, png(width, height)),
               width, height);
}

// A picture whose opaque pixels form `runsPerRow` one-pixel runs in each of `rows` rows,
// starting at column 0.
QByteArray checkerboard(int runsPerRow, int rows)
{
    QImage image(runsPerRow * 2, rows, QImage::Format_ARGB32);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, x % 2 ? qRgba(0, 0, 0, 0) : qRgba(90, 20, 30, 255));
    return pngOf(image);
}

// A 4 x 3 picture, transparent but for the pixel at (2, 1).
QByteArray onePixel()
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    image.setPixel(2, 1, qRgba(90, 20, 30, 255));
    return pngOf(image);
}


// WCAG 2 relative luminance of an sRGB colour.
double relativeLuminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

// WCAG 2 contrast ratio, 1 to 21, whichever colour is lighter.
double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A top-to-bottom gradient of the skin artwork in window pixels (gradientUnits="userSpaceOnUse").
struct VerticalGradient
{
    double top = 0;
    double bottom = 0;
    QList<QPair<double, QColor>> stops; // offset 0..1, colour

    // The colour painted at height y: clamped beyond the ends, blended between the stops.
    QColor at(double y) const
    {
        const double t = std::clamp((y - top) / (bottom - top), 0.0, 1.0);
        for (int i = 1; i < stops.size(); ++i) {
            if (t > stops[i].first)
                continue;
            const auto &[fromOffset, from] = stops[i - 1];
            const auto &[toOffset, to] = stops[i];
            const double f = toOffset > fromOffset ? (t - fromOffset) / (toOffset - fromOffset) : 1.0;
            return QColor::fromRgbF(float(from.redF() + f * (to.redF() - from.redF())),
                                    float(from.greenF() + f * (to.greenF() - from.greenF())),
                                    float(from.blueF() + f * (to.blueF() - from.blueF())));
        }
        return stops.last().second;
    }
};

struct ArtworkText
{
    QString text;
    double baseline = 0;
    double fontSize = 0;
    QColor colour;
};

struct SkinArtwork
{
    QHash<QString, VerticalGradient> gradients;
    QList<ArtworkText> texts;
};

// The gradients and the words drawn in one of the skin's SVG pictures.
SkinArtwork readArtwork(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    SkinArtwork artwork;
    QXmlStreamReader xml(&file);
    VerticalGradient *gradient = nullptr;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attributes = xml.attributes();
        const auto number = [&](const char *name) { return attributes.value(QLatin1String(name)).toDouble(); };
        const QStringView name = xml.name();
        if (name == QLatin1String("linearGradient")) {
            gradient = nullptr;
            if (attributes.value(QLatin1String("gradientUnits")) == QLatin1String("userSpaceOnUse")
                && number("x1") == number("x2")) {
                gradient = &artwork.gradients[attributes.value(QLatin1String("id")).toString()];
                gradient->top = number("y1");
                gradient->bottom = number("y2");
            }
        } else if (name == QLatin1String("stop") && gradient) {
            gradient->stops.append({number("offset"),
                                    QColor(attributes.value(QLatin1String("stop-color")).toString())});
        } else if (name == QLatin1String("text")) {
            ArtworkText text;
            text.baseline = number("y");
            text.fontSize = number("font-size");
            text.colour = QColor(attributes.value(QLatin1String("fill")).toString());
            text.text = xml.readElementText();
            artwork.texts.append(text);
        }
    }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
    return artwork;
}

} // namespace

class TestSkin : public QObject
{
    Q_OBJECT

private slots:
    void builtSkinHasTheWindowLayout();
    void writerRoundTrips();
    void truncatedFileIsRejected_data();
    void truncatedFileIsRejected();
    void hostileFileIsRejected_data();
    void hostileFileIsRejected();
    void garbageIsRejected();
    void undecodablePictureIsRejected();
    void damagedPictureNamesTheCause_data();
    void damagedPictureNamesTheCause();
    void unusableShapeIsRefused_data();
    void unusableShapeIsRefused();
    void loadAndApplyReportMissingThings();
    void readErrorsAreToldInChinese_data();
    void readErrorsAreToldInChinese();
    void picturesSuitTheScreenScale();
    void damagedHighlightedPicture_data();
    void damagedHighlightedPicture();

    void hitTestBuiltSkin_data();
    void hitTestBuiltSkin();
    void hitTestPrefersTopmostAndNeedsTheShape();

    void appliedWindowTakesFormSizeAndShape();
    void clickOnEachObjectNotifiesOnce_data();
    void clickOnEachObjectNotifiesOnce();
    void pressAndReleaseOnDifferentObjectsIsNoClick();
    void hoveredObjectIsDrawnHighlighted();

    void footerTextIsReadable_data();
    void footerTextIsReadable();

private:
    static SkinForm builtForm();
};

SkinForm TestSkin::builtForm()
{
    const SkinData data = readSkin(readFile(BuiltSkin), BuiltSkin);
    SkinForm form = *data.form(QStringLiteral("Simple"));
    SkinPictureSet::decode(form, BuiltSkin);
    return form;
}

void TestSkin::builtSkinHasTheWindowLayout()
{
    const SkinData data = readSkin(readFile(BuiltSkin), BuiltSkin);
    const SkinForm *form = data.form(QStringLiteral("Simple"));
    QVERIFY(form);
    QCOMPARE(form->width, 632);
    QCOMPARE(form->height, 443);
    using T = SkinObjectType;
    const QVector<SkinObject> expected = {
        {QStringLiteral("SkinFreeForm Object"), T::FreeForm, 0, 0, 632, 443},
        {QStringLiteral("a"), T::HotSpot, 499, 52, 618, 87},
        {QStringLiteral("b"), T::HotSpot, 501, 107, 617, 142},
        {QStringLiteral("c"), T::HotSpot, 501, 166, 617, 203},
        {QStringLiteral("d"), T::HotSpot, 498, 220, 617, 256},
        {QStringLiteral("e"), T::HotSpot, 499, 275, 619, 314},
        {QStringLiteral("f"), T::HotSpot, 499, 319, 619, 356},
        {QStringLiteral("logo"), T::HotSpot, 26, 366, 78, 419},
        {QStringLiteral("-"), T::MinimizeBox, 557, 12, 582, 35},
        {QStringLiteral("x"), T::CloseBox, 587, 11, 611, 35},
    };
    QCOMPARE(form->objects, expected);
    QVERIFY(form->picture(SkinPictureRole::Normal, 1));
    QVERIFY(form->picture(SkinPictureRole::Highlighted, 1));
}

void TestSkin::writerRoundTrips()
{
    for (const QByteArray &bytes : {tinySkin(), readFile(BuiltSkin)}) {
        const SkinData data = readSkin(bytes, FixtureName);
        QCOMPARE(writeSkin(data), bytes);
    }
}

void TestSkin::truncatedFileIsRejected_data()
{
    QTest::addColumn<int>("length");
    const QByteArray whole = tinySkin();
    for (int length = 0; length < whole.size(); ++length)
        QTest::addRow("%d of %d bytes", length, int(whole.size())) << length;
}

void TestSkin::truncatedFileIsRejected()
{
    QFETCH(int, length);
    const QString message = readError(tinySkin().left(length));
    QVERIFY2(message.startsWith(QStringLiteral("皮肤文件“%1”已损坏：").arg(FixtureName)),
             qPrintable(message));
}

void TestSkin::hostileFileIsRejected_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("cause");

    const QByteArray free = object("SkinFreeForm Object", 0, 0, 0, 4, 3);
    auto row = [](const char *tag, const QByteArray &bytes, const char *cause) {
        QTest::newRow(tag) << bytes << QString::fromUtf8(cause);
    };
    row("empty", QByteArray(), "意外结束");
    row("cut inside the header", header().left(9), "在第 9 字节处意外结束");
    row("wrong magic", QByteArray("PLSKIM\0\0", 8) + tinySkin().mid(8), "文件头");
    row("newer version", header(2) + form("F"), "格式版本 2 不受支持");
    row("no forms", header(1, 0), "窗体数 0");
    row("too many forms", header(1, 65) + form("F"), "窗体数 65");
    row("forms promised, not there", header(1, 64) + form("F"), "意外结束");
    row("empty form name", header() + name("") + u16(4) + u16(3), "窗体名长度 0");
    row("form name too long", header() + name(QByteArray(257, 'n')), "窗体名长度 257");
    row("form name not UTF-8", header() + form("\xff\xfe"), "UTF-8");
    row("name length past the end", header() + u16(200) + "F", "意外结束");
    row("zero width", header() + form("F", u16(0), twoPictures(), 0, 3), "大小 0×3");
    row("huge height", header() + form("F", u16(0), twoPictures(), 4, 65535), "大小 4×65535");
    row("wider than a skin needs", header() + form("F", u16(0), twoPictures(), 1025, 3),
        "大小 1025×3 不在 1 到 1024 像素之间");
    row("4096 square", header() + form("F", u16(0), twoPictures(), 4096, 4096),
        "大小 4096×4096 不在 1 到 1024 像素之间");
    row("one picture", header() + form("F", u16(0), u8(1) + picture(0, 1, png(4, 3))),
        "图片数 1");
    row("255 pictures", header() + form("F", u16(0), u8(255)), "图片数 255");
    row("7 pictures", header() + form("F", u16(0), u8(7)), "图片数 7 不在 2 到 6 之间");
    row("picture length beyond the file",
        header() + form("F", u16(0), u8(2) + u8(0) + u8(1) + u32(0xffffffffu) + "x"),
        "1 倍普通图片的长度 4294967295 字节超出文件余下的 3 字节");
    row("empty picture", header() + form("F", u16(0), u8(2) + picture(0, 1, "")),
        "1 倍普通图片只有 0 字节，不是完整的 PNG 图片（至少 57 字节）");
    row("picture shorter than a PNG header",
        header() + form("F", u16(0), u8(2) + picture(0, 1, "\x89PNG")), "只有 4 字节");
    row("picture of a PNG header alone",
        header() + form("F", u16(0), u8(2) + picture(1, 1, png(4, 3).left(24))),
        "1 倍高亮图片只有 24 字节");
    row("picture not PNG",
        header() + form("F", u16(0), u8(2) + picture(0, 1, QByteArray(64, 'j'))), "不是 PNG");
    row("picture of the wrong size",
        header() + form("F", u16(0), u8(2) + picture(0, 1, png(5, 3)) + picture(1, 1, png(4, 3))),
        "大小 5×3 应为 4×3");
    row("unknown picture role",
        header() + form("F", u16(0), u8(2) + picture(7, 1, png(4, 3))), "用途 7");
    row("picture scale 4",
        header() + form("F", u16(0), u8(2) + picture(0, 4, png(16, 12))), "倍数 4 不在 1 到 3 之间");
    row("same picture twice",
        header() + form("F", u16(0), u8(2) + picture(0, 1, png(4, 3)) + picture(0, 1, png(4, 3))),
        "图片重复");
    row("no highlighted picture",
        header()
            + form("F", u16(0), u8(2) + picture(0, 1, png(4, 3)) + picture(0, 2, png(8, 6))),
        "缺少 1 倍的高亮图片");
    row("only scale 2",
        header()
            + form("F", u16(0), u8(2) + picture(0, 2, png(8, 6)) + picture(1, 2, png(8, 6))),
        "缺少 1 倍的图片");
    row("257 objects", header() + form("F", u16(257)), "对象数 257");
    row("65535 objects promised", header() + form("F", u16(65535)), "对象数 65535");
    row("objects promised, not there", header() + form("F", u16(3) + free), "意外结束");
    row("unknown object type", header() + form("F", u16(1) + object("o", 3, 0, 0, 1, 1)),
        "类型 3 未知");
    row("rect past the right edge", header() + form("F", u16(1) + object("o", 2, 0, 0, 5, 1)),
        "矩形 0,0,5,1 不在窗体 4×3 之内");
    row("rect past the bottom", header() + form("F", u16(1) + object("o", 2, 0, 0, 1, 4)),
        "不在窗体");
    row("empty rect", header() + form("F", u16(1) + object("o", 2, 2, 0, 2, 1)),
        "矩形 2,0,2,1 是空的");
    row("inverted rect", header() + form("F", u16(1) + object("o", 2, 3, 2, 1, 0)),
        "矩形 3,2,1,0 是空的");
    row("object name too long",
        header() + form("F", u16(1) + object(QByteArray(300, 'o'), 2, 0, 0, 1, 1)),
        "对象名长度 300");
    row("same object name twice",
        header() + form("F", u16(2) + object("o", 2, 0, 0, 1, 1) + object("o", 2, 1, 1, 2, 2)),
        "对象名“o”重复");
    row("two free-form objects", header() + form("F", u16(2) + free + object("w", 0, 0, 0, 1, 1)),
        "不止一个自由形状");
    row("same form name twice", header(1, 2) + form("F") + form("F"), "窗体名“F”重复");
    row("a byte after the end", tinySkin() + "!", "多出 1 字节");
    row("over 16 MiB", tinySkin() + QByteArray(SkinLimits::MaxFileBytes, '\0'), "超过上限");
}

void TestSkin::hostileFileIsRejected()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, cause);
    const QString message = readError(bytes);
    QVERIFY2(message.startsWith(QStringLiteral("皮肤文件“%1”已损坏：").arg(FixtureName)),
             qPrintable(message));
    QVERIFY2(message.contains(cause), qPrintable(message));
}

void TestSkin::garbageIsRejected()
{
    QRandomGenerator random(20240611);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random.bounded(2000)), Qt::Uninitialized);
        for (char &c : bytes)
            c = char(random.bounded(256));
        // Half of the rounds pass the magic and version, to get further in.
        if (round % 2)
            bytes = header(1, int(random.bounded(3))) + bytes;
        QVERIFY2(!readError(bytes).isEmpty(), qPrintable(QString::number(round)));
    }
}

void TestSkin::undecodablePictureIsRejected()
{
    // The header promises a 4 x 3 PNG but the pixel data is broken.
    QByteArray broken = png(4, 3);
    broken.truncate(40);
    broken += QByteArray(20, '\x7f');
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Skin1.dat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(header() + form("F", u16(0), u8(2) + picture(0, 1, png(4, 3)) + picture(1, 1, broken)));
    file.close();

    SkinEngine engine;
    engine.loadSkin(path); // the structure is sound
    QWidget window;
    try {
        engine.applySkin(&window, QStringLiteral("F"));
        QFAIL("a broken picture was applied");
    } catch (const SkinError &error) {
        QVERIFY2(error.message().contains(path) && error.message().contains(QStringLiteral("无法解码")),
                 qPrintable(error.message()));
    }
}

void TestSkin::damagedPictureNamesTheCause_data()
{
    // Pictures that pass the file reader (a PNG signature and the right size in the header) but
    // cannot be decoded; the message says why.
    QTest::addColumn<QByteArray>("normal");
    QTest::addColumn<QString>("cause");
    using Chunks = QVector<QPair<QByteArray, QByteArray>>;
    const QByteArray sound = png(4, 3);
    auto edited = [&](const std::function<void(Chunks &)> &edit) { return rechunked(sound, edit); };
    auto row = [](const char *tag, const QByteArray &normal, const char *cause) {
        QTest::newRow(tag) << normal << QString::fromUtf8(cause);
    };
    row("cut inside the image data", sound.left(sound.size() - 16), "超出余下的");
    row("end chunk missing", sound.chopped(12), "数据在第");
    row("checksum altered", brokenImageData(sound, false), "“IDAT”块的校验和不符");
    row("pixels broken, chunks sound", brokenImageData(sound, true),
        "压缩的像素数据已损坏或不完整");
    row("bit depth 7", edited([](Chunks &c) { c[0].second[8] = 7; }),
        "位深 7 与颜色类型 6 不是 PNG 允许的组合");
    row("interlace method 2", edited([](Chunks &c) { c[0].second[12] = 2; }), "隔行方式 2 未知");
    row("header chunk too long", edited([](Chunks &c) { c[0].second += "xx"; }),
        "文件头块的长度 15 字节应为 13 字节");
    row("palette picture without its palette", edited([](Chunks &c) {
            c[0].second[8] = 8;
            c[0].second[9] = 3;
            c.erase(std::remove_if(c.begin(), c.end(), [](const auto &chunk) {
                return chunk.first == "PLTE";
            }), c.end());
        }),
        "没有调色板");
    row("unknown critical chunk", edited([](Chunks &c) { c.insert(1, {"ABCD", "?"}); }),
        "“ABCD”块是未知的关键块");
    row("chunk type not letters", edited([](Chunks &c) { c.insert(1, {"a1b2", "?"}); }),
        "第 2 个块的类型不是四个字母");
    row("no image data", edited([](Chunks &c) {
            c.erase(std::remove_if(c.begin(), c.end(), [](const auto &chunk) {
                return chunk.first == "IDAT";
            }), c.end());
            c.insert(1, {"tEXt", QByteArray(40, 'x')});
        }),
        "没有图像数据");
}

void TestSkin::damagedPictureNamesTheCause()
{
    QFETCH(QByteArray, normal);
    QFETCH(QString, cause);
    SkinForm form = readSkin(skinWithNormal(normal), FixtureName).forms.first();
    try {
        SkinPictureSet::decode(form, FixtureName);
        QFAIL("a damaged picture was decoded");
    } catch (const SkinError &error) {
        const QString message = error.message();
        QVERIFY2(message.startsWith(QStringLiteral("皮肤文件“%1”已损坏：窗体“F”的 1 倍普通图片无法解码（")
                                        .arg(FixtureName)),
                 qPrintable(message));
        QVERIFY2(message.contains(cause), qPrintable(message));
    }
}

void TestSkin::unusableShapeIsRefused_data()
{
    QTest::addColumn<QByteArray>("skin");
    QTest::addColumn<QString>("cause");  // empty: the skin is applied
    QTest::addColumn<QPoint>("inside");  // of the applied window's shape
    QTest::addColumn<QPoint>("outside");
    // Each run here is one pixel of a row: 512 to a row of a 1024-pixel form.
    QTest::newRow("fully transparent") << skinWithNormal(png(4, 3, qRgba(0, 0, 0, 0)))
                                       << QStringLiteral("完全透明") << QPoint() << QPoint();
    QTest::newRow("one opaque pixel")
        << skinWithNormal(onePixel()) << QString() << QPoint(2, 1) << QPoint(1, 1);
    QTest::newRow("as many runs as allowed") << skinWithNormal(checkerboard(512, 32), 1024, 32)
                                             << QString() << QPoint(1022, 31) << QPoint(1023, 31);
    QTest::newRow("one row more than allowed")
        << skinWithNormal(checkerboard(512, 33), 1024, 33)
        << QStringLiteral("窗口形状由超过 16384 段不透明的像素组成，超出上限") << QPoint() << QPoint();
}

void TestSkin::unusableShapeIsRefused()
{
    QFETCH(QByteArray, skin);
    QFETCH(QString, cause);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Skin1.dat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(skin);
    file.close();

    SkinEngine engine;
    engine.loadSkin(path);
    QWidget window;
    try {
        engine.applySkin(&window, QStringLiteral("F"));
        QVERIFY2(cause.isEmpty(), "a skin without a usable shape was applied");
    } catch (const SkinError &error) {
        QVERIFY2(!cause.isEmpty(), qPrintable(error.message()));
        QVERIFY2(error.message().startsWith(QStringLiteral("皮肤文件“%1”已损坏：").arg(path))
                     && error.message().contains(cause),
                 qPrintable(error.message()));
        QVERIFY(!window.testAttribute(Qt::WA_TranslucentBackground)); // left untouched
        return;
    }
    QVERIFY(window.mask().contains(inside));
    QVERIFY(!window.mask().contains(outside));
}

void TestSkin::loadAndApplyReportMissingThings()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("Skin1.dat"));
    SkinEngine engine;
    QWidget window;
    try {
        engine.loadSkin(missing);
        QFAIL("a missing skin file was loaded");
    } catch (const SkinError &error) {
        QVERIFY2(error.message().contains(missing), qPrintable(error.message()));
    }
    QVERIFY_THROWS_EXCEPTION(SkinError, engine.applySkin(&window, QStringLiteral("Simple")));
    try {
        engine.loadSkin(dir.path());
        QFAIL("a folder was loaded as a skin file");
    } catch (const SkinError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("不是一个文件")), qPrintable(error.message()));
    }

    engine.loadSkin(BuiltSkin);
    try {
        engine.applySkin(&window, QStringLiteral("simple"));
        QFAIL("a form name was matched without regard to case");
    } catch (const SkinError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("“simple”")), qPrintable(error.message()));
    }
}

void TestSkin::readErrorsAreToldInChinese_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cause");
    QTest::newRow("no permission to read") << "unreadable" << "没有权限";
    // Linux answers a read of its own memory at address 0 with EIO.
    QTest::newRow("a read that fails") << "eio" << "读写磁盘时出错";
}

// The system's cause of a failed read, in Chinese, as for every other file the program reads.
void TestSkin::readErrorsAreToldInChinese()
{
    QFETCH(QString, kind);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    QString path;
    if (kind == QLatin1String("unreadable")) {
        path = dir.filePath(QStringLiteral("Skin1.dat"));
        QVERIFY(QFile::copy(BuiltSkin, path));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("this user reads every file (root)");
    } else {
        path = QStringLiteral("/proc/self/mem");
        if (!QFileInfo(path).isFile())
            QSKIP("no /proc/self/mem here");
    }
    SkinEngine engine;
    try {
        engine.loadSkin(path);
        QFAIL("an unreadable skin file was loaded");
    } catch (const SkinError &error) {
        QString text = error.message();
        QVERIFY2(text.contains(cause), qPrintable(text));
        text.remove(path);
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}"))), qPrintable(text));
    }
}

void TestSkin::picturesSuitTheScreenScale()
{
    SkinForm built = builtForm();
    SkinPictureSet pictures = SkinPictureSet::decode(built, BuiltSkin);
    const struct {
        qreal ratio;
        int scale;
    } cases[] = {{1, 1}, {0.5, 1}, {1.25, 2}, {2, 2}, {3, 2}};
    for (const auto &c : cases) {
        const SkinPicturePair *pair = pictures.best(c.ratio);
        QCOMPARE(pair->scale, c.scale);
        QCOMPARE(pair->normal.size(), QSize(632, 443) * c.scale);
        QCOMPARE(pair->highlighted.deviceIndependentSize(), QSizeF(632, 443));
    }

    // A damaged scale-2 picture is found only when a screen needs it; then scale 1 stands in.
    QByteArray broken = png(8, 6);
    broken.truncate(40);
    broken += QByteArray(20, '\x7f');
    const SkinData data = readSkin(
        header()
            + form("F", u16(0),
                   u8(4) + picture(0, 1, png(4, 3)) + picture(1, 1, png(4, 3))
                       + picture(0, 2, png(8, 6)) + picture(1, 2, broken)),
        FixtureName);
    SkinForm damaged = data.forms.first();
    SkinPictureSet fallback = SkinPictureSet::decode(damaged, FixtureName, 1);
    QCOMPARE(fallback.best(2)->scale, 1);
    QVERIFY_THROWS_EXCEPTION(SkinError, SkinPictureSet::decode(damaged, FixtureName, 2));

    // A skin may carry scale-3 pictures too; a screen at 2 takes them over scale 1.
    SkinForm triple = readSkin(header()
                                   + form("F", u16(0),
                                          u8(4) + picture(0, 1, png(4, 3)) + picture(1, 1, png(4, 3))
                                              + picture(0, 3, png(12, 9))
                                              + picture(1, 3, png(12, 9))),
                               FixtureName)
                          .forms.first();
    SkinPictureSet sharp = SkinPictureSet::decode(triple, FixtureName, 3);
    QCOMPARE(sharp.best(1)->scale, 1);
    QCOMPARE(sharp.best(2)->scale, 3);
    QCOMPARE(sharp.best(3)->highlighted.size(), QSize(12, 9));
}

void TestSkin::damagedHighlightedPicture_data()
{
    // The highlighted picture is decoded only when first drawn, so a damaged one must be
    // found without decoding it; what only decoding can find must not stop the window.
    QTest::addColumn<int>("scale");           // the scale of the damaged highlighted picture
    QTest::addColumn<QByteArray>("damaged");
    QTest::addColumn<bool>("rejected");       // by decode(), naming the highlighted picture
    const QByteArray small = png(4, 3, qRgba(200, 100, 0, 255));
    const QByteArray large = png(8, 6, qRgba(200, 100, 0, 255));
    QTest::newRow("a byte altered") << 1 << brokenImageData(small, false) << true;
    QTest::newRow("end chunk missing") << 1 << small.chopped(12) << true;
    QTest::newRow("cut inside a chunk") << 1 << small.left(small.size() - 16) << true;
    QTest::newRow("chunks sound, pixels not") << 1 << brokenImageData(small, true) << false;
    QTest::newRow("scale 2, a byte altered") << 2 << brokenImageData(large, false) << true;
    QTest::newRow("scale 2, chunks sound, pixels not") << 2 << brokenImageData(large, true)
                                                       << false;
}

void TestSkin::damagedHighlightedPicture()
{
    QFETCH(int, scale);
    QFETCH(QByteArray, damaged);
    QFETCH(bool, rejected);
    const QByteArray highlighted1 = scale == 1 ? damaged : png(4, 3, qRgba(200, 100, 0, 255));
    const QByteArray highlighted2 = scale == 2 ? damaged : png(8, 6, qRgba(200, 100, 0, 255));
    const SkinData data = readSkin(
        header()
            + form("F", u16(0),
                   u8(4) + picture(0, 1, png(4, 3)) + picture(1, 1, highlighted1)
                       + picture(0, 2, png(8, 6)) + picture(1, 2, highlighted2)),
        FixtureName);
    SkinForm form = data.forms.first();

    if (rejected) {
        try {
            SkinPictureSet::decode(form, FixtureName, scale);
            QFAIL("a damaged highlighted picture was accepted");
        } catch (const SkinError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("无法解码"))
                         && error.message().contains(QStringLiteral("高亮")),
                     qPrintable(error.message()));
        }
        return;
    }

    SkinPictureSet pictures = SkinPictureSet::decode(form, FixtureName, scale);
    const SkinPicturePair *drawn = pictures.best(scale, SkinPictureNeed::NormalOnly);
    QCOMPARE(drawn->scale, scale);
    QVERIFY(!drawn->normal.isNull());
    // Hovering needs the highlighted picture: the scale-1 pair stands in for a broken scale 2,
    // and where nothing can stand in the normal picture is drawn without a highlight.
    const SkinPicturePair *hovered = pictures.best(scale);
    QCOMPARE(hovered->scale, 1);
    QCOMPARE(hovered->normal.pixel(1, 1), qRgba(10, 20, 30, 255));
    QCOMPARE(hovered->highlighted.pixel(1, 1),
             scale == 1 ? qRgba(10, 20, 30, 255) : qRgba(200, 100, 0, 255));
}

void TestSkin::hitTestBuiltSkin_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("hit"); // empty: nothing
    const QString window = QStringLiteral("SkinFreeForm Object");
    const SkinForm form = builtForm();
    for (const SkinObject &o : form.objects) {
        if (o.type() == SkinObjectType::FreeForm)
            continue;
        const QByteArray n = o.name().toUtf8();
        QTest::addRow("%s centre", n.constData()) << centre(o) << o.name();
        QTest::addRow("%s top left", n.constData()) << QPoint(o.left(), o.top()) << o.name();
        QTest::addRow("%s bottom right", n.constData())
            << QPoint(o.right() - 1, o.bottom() - 1) << o.name();
        QTest::addRow("%s right edge is outside", n.constData())
            << QPoint(o.right(), o.top()) << window;
        QTest::addRow("%s bottom edge is outside", n.constData())
            << QPoint(o.left(), o.bottom()) << window;
    }
    QTest::newRow("between a and b") << QPoint(560, 95) << window;
    QTest::newRow("between - and x") << QPoint(584, 20) << window;
    QTest::newRow("blank middle") << QPoint(250, 200) << window;
    QTest::newRow("top left corner, transparent") << QPoint(0, 0) << QString();
    QTest::newRow("top right corner, transparent") << QPoint(631, 0) << QString();
    QTest::newRow("bottom left corner, transparent") << QPoint(0, 442) << QString();
    QTest::newRow("bottom right corner, transparent") << QPoint(631, 442) << QString();
    QTest::newRow("left of the window") << QPoint(-1, 200) << QString();
    QTest::newRow("below the window") << QPoint(300, 443) << QString();
}

void TestSkin::hitTestBuiltSkin()
{
    static const SkinForm form = builtForm();
    QFETCH(QPoint, point);
    QFETCH(QString, hit);
    const SkinObject *object = hitTest(form, point);
    QCOMPARE(object ? object->name() : QString(), hit);
}

void TestSkin::hitTestPrefersTopmostAndNeedsTheShape()
{
    SkinForm form;
    form.width = 10;
    form.height = 4;
    form.objects = {{QStringLiteral("w"), SkinObjectType::FreeForm, 0, 0, 10, 4},
                    {QStringLiteral("under"), SkinObjectType::HotSpot, 0, 0, 6, 2},
                    {QStringLiteral("over"), SkinObjectType::HotSpot, 4, 0, 8, 2}};
    // Opaque: row 0 columns 2..9, row 1 nothing, rows 2 and 3 columns 0..4 and 6..9.
    form.shape = SkinShape({{3, 6, 10}, {0, 2, 10}, {2, 0, 5}, {2, 6, 10}, {3, 0, 5}});
    auto nameAt = [&](int x, int y) {
        const SkinObject *o = hitTest(form, QPoint(x, y));
        return o ? o->name() : QStringLiteral("none");
    };
    QCOMPARE(nameAt(5, 0), QStringLiteral("over"));  // both overlap: the later one wins
    QCOMPARE(nameAt(3, 0), QStringLiteral("under"));
    QCOMPARE(nameAt(0, 0), QStringLiteral("under")); // a button counts outside the shape too
    QCOMPARE(nameAt(9, 1), QStringLiteral("none"));  // a row with no opaque pixel
    QCOMPARE(nameAt(9, 0), QStringLiteral("w"));
    QCOMPARE(nameAt(5, 2), QStringLiteral("none"));  // the gap between two runs
    QCOMPARE(nameAt(4, 3), QStringLiteral("w"));
    QCOMPARE(nameAt(6, 3), QStringLiteral("w"));
    form.shape = SkinShape();
    QCOMPARE(nameAt(9, 0), QStringLiteral("none"));
}

void TestSkin::appliedWindowTakesFormSizeAndShape()
{
    SkinnedWindow skinned;
    QWidget &window = skinned.window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(632, 443));
    QCOMPARE(window.minimumSize(), QSize(632, 443));
    QCOMPARE(window.maximumSize(), QSize(632, 443));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(window.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!window.mask().contains(QPoint(0, 0)));
    QVERIFY(!window.mask().contains(QPoint(631, 442)));
    QVERIFY(window.mask().contains(QPoint(316, 221)));
    QVERIFY(window.mask().contains(QPoint(558, 13)));
}

void TestSkin::clickOnEachObjectNotifiesOnce_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QPoint>("point");
    for (const SkinObject &o : builtForm().objects) {
        // The free-form object is clicked on the blank middle, away from every button.
        const QPoint point = o.type() == SkinObjectType::FreeForm ? QPoint(250, 200) : centre(o);
        QTest::newRow(o.name().toUtf8().constData()) << o.name() << point;
    }
}

void TestSkin::clickOnEachObjectNotifiesOnce()
{
    QFETCH(QString, objectName);
    QFETCH(QPoint, point);
    SkinnedWindow skinned;
    SkinEngine &engine = skinned.engine;
    QWidget &window = skinned.window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QStringList clicked;
    QStringList stateAtClick;
    connect(&engine, &SkinEngine::clicked, this, [&](const SkinObject &object) {
        clicked << object.name();
        stateAtClick << (window.isVisible() ? QStringLiteral("shown") : QStringLiteral("gone"));
    });
    QTest::mouseMove(&window, point);
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, point);
    QCOMPARE(clicked, QStringList{objectName});
    QCOMPARE(stateAtClick, QStringList{QStringLiteral("shown")}); // told before it acts

    const bool closeBox = objectName == QStringLiteral("x");
    const bool minimizeBox = objectName == QStringLiteral("-");
    QCOMPARE(window.isVisible(), !closeBox);
    QCOMPARE(bool(window.windowState() & Qt::WindowMinimized), minimizeBox);
}

void TestSkin::pressAndReleaseOnDifferentObjectsIsNoClick()
{
    SkinnedWindow skinned;
    SkinEngine &engine = skinned.engine;
    QWidget &window = skinned.window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy spy(&engine, &SkinEngine::clicked);
    const SkinForm form = builtForm();
    const QPoint a = centre(*form.object(QStringLiteral("a")));
    const QPoint x = centre(*form.object(QStringLiteral("x")));

    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, x);
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, x);
    QTest::mouseMove(&window, a);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mousePress(&window, Qt::RightButton, Qt::NoModifier, x);
    QTest::mouseRelease(&window, Qt::RightButton, Qt::NoModifier, x);
    QCOMPARE(spy.count(), 0);
    QVERIFY(window.isVisible());
}

void TestSkin::hoveredObjectIsDrawnHighlighted()
{
    SkinForm form = builtForm();
    SkinPictureSet pictures = SkinPictureSet::decode(form, BuiltSkin);
    const QImage normal = pictures.best(1)->normal;
    const QImage highlighted = pictures.best(1)->highlighted;
    const SkinObject *a = form.object(QStringLiteral("a"));
    // The pixel of `a` that differs most between the two pictures (on its arrow).
    QPoint differing(-1, -1);
    int largest = 0;
    for (int y = a->top(); y < a->bottom(); ++y) {
        for (int x = a->left(); x < a->right(); ++x) {
            const QRgb n = normal.pixel(x, y);
            const QRgb h = highlighted.pixel(x, y);
            const int difference = qAbs(qRed(n) - qRed(h)) + qAbs(qGreen(n) - qGreen(h))
                + qAbs(qBlue(n) - qBlue(h));
            if (difference > largest) {
                largest = difference;
                differing = QPoint(x, y);
            }
        }
    }
    QVERIFY2(largest > 60, "the pictures of `a` hardly differ");

    SkinnedWindow skinned;
    QWidget &window = skinned.window;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto shown = [&] { return window.grab().toImage().pixel(differing); };

    QCOMPARE(shown(), normal.pixel(differing));
    QTest::mouseMove(&window, centre(*a));
    QCOMPARE(shown(), highlighted.pixel(differing));
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, centre(*a));
    QCOMPARE(shown(), highlighted.pixel(differing));
    QTest::mouseMove(&window, QPoint(250, 200)); // pressed, but the pointer left it
    QCOMPARE(shown(), normal.pixel(differing));
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(250, 200));
    // A point other than the earlier one: the test driver drops a move to a position it
    // believes the pointer already has.
    QTest::mouseMove(&window, centre(*a) + QPoint(1, 1));
    QCOMPARE(shown(), highlighted.pixel(differing));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&window, &leave);
    QCOMPARE(shown(), normal.pixel(differing));
}

void TestSkin::footerTextIsReadable_data()
{
    QTest::addColumn<QString>("picture");
    QTest::newRow("normal") << QStringLiteral("normal.svg");
    QTest::newRow("highlighted") << QStringLiteral("highlight.svg");
}

// The footer's words lie on the footer's gradient, white above and green below. Every pixel row
// of every word, from its top to its descenders, reaches 4.5:1 against the ground there, the
// contrast small text needs.
void TestSkin::footerTextIsReadable()
{
    // The ratio itself, on pairs whose ratios are known.
    QCOMPARE(qRound(contrastRatio(Qt::black, Qt::white) * 100), 2100);
    QCOMPARE(qRound(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white) * 100), 454);
    QCOMPARE(qRound(contrastRatio(Qt::white, QColor(0x00, 0x00, 0xFF)) * 100), 859);

    QFETCH(QString, picture);
    const SkinArtwork artwork = readArtwork(QStringLiteral(PELLOMIR_SKIN_SOURCE_DIR) + QLatin1Char('/') + picture);
    QVERIFY(artwork.gradients.contains(QStringLiteral("footer")));
    const VerticalGradient footer = artwork.gradients.value(QStringLiteral("footer"));
    QVERIFY(footer.stops.size() >= 2);

    int footerTexts = 0;
    for (const ArtworkText &text : artwork.texts) {
        if (text.baseline < footer.top)
            continue;
        ++footerTexts;
        double worst = 21;
        for (double y = text.baseline - text.fontSize; y <= text.baseline + text.fontSize / 4; y += 1)
            worst = std::min(worst, contrastRatio(text.colour, footer.at(y)));
        QVERIFY2(worst >= 4.5, qPrintable(QStringLiteral("%1 (%2): %3:1")
                                              .arg(text.text, text.colour.name())
                                              .arg(worst, 0, 'f', 2)));
    }
    QCOMPARE(footerTexts, 2);
}

QTEST_MAIN(TestSkin)
#include "test_skin.moc"
