// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skin file (Skin1.dat): its in-memory form, a reader for untrusted bytes, a writer and
// hit testing. This part needs Qt Core only, so it can be built on its own for fuzzing; turning
// the stored pictures into images lives in SkinPictures.h.
// The file layout is described field by field in docs/skin-format.md.

#include <QByteArray>
#include <QMetaType>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVector>

#include <stdexcept>

// A skin file that cannot be read or used. message() is a Chinese sentence that names the
// file and the cause, fit to show to the user.
class SkinError : public std::runtime_error
{
public:
    explicit SkinError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// What a skin of this program can need, with room to spare: its window is 632 x 443 with a
// handful of objects, drawn at up to three device pixels per window pixel, and its shape is a
// rounded outline with at most a few holes. Anything beyond is refused before it costs time or
// memory: a form's largest picture is 3072 x 3072 pixels (36 MiB decoded).
namespace SkinLimits {
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
constexpr int MaxFormSide = 1024;
constexpr int MaxForms = 64;
constexpr int MaxObjectsPerForm = 256;
constexpr int MaxNameBytes = 256;
constexpr int MaxPictureScale = 3;
constexpr int MaxPicturesPerForm = 2 * MaxPictureScale;
// The smallest PNG there can be: signature, header chunk, one image data chunk, end chunk.
constexpr int MinPngBytes = 8 + 25 + 12 + 12;
// Runs of opaque pixels in the window's shape: 16 a row for the tallest form.
constexpr int MaxShapeRuns = 16 * MaxFormSide;
} // namespace SkinLimits

enum class SkinObjectType : quint8 {
    FreeForm = 0,    // the window itself: its shape and background; dragging it moves the window
    CloseBox = 1,    // closes the window
    HotSpot = 2,     // a button that only reports clicks
    MinimizeBox = 5, // minimises the window
};

// One named object of a form. Its rectangle is in window pixels; right and bottom are exclusive.
class SkinObject
{
public:
    SkinObject() = default;
    SkinObject(const QString &name, SkinObjectType type, int left, int top, int right, int bottom);

    QString name() const { return m_name; }
    SkinObjectType type() const { return m_type; }
    int left() const { return m_left; }
    int top() const { return m_top; }
    int right() const { return m_right; }
    int bottom() const { return m_bottom; }
    QRect rect() const { return QRect(m_left, m_top, m_right - m_left, m_bottom - m_top); }
    bool contains(QPoint point) const;

    bool operator==(const SkinObject &other) const;
    bool operator!=(const SkinObject &other) const { return !(*this == other); }

private:
    QString m_name;
    SkinObjectType m_type = SkinObjectType::HotSpot;
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
};

enum class SkinPictureRole : quint8 { Normal = 0, Highlighted = 1 };

// A whole-window picture as stored: PNG bytes, drawn at `scale` device pixels per window pixel.
struct SkinPicture
{
    SkinPictureRole role = SkinPictureRole::Normal;
    int scale = 1;
    QByteArray png;

    bool operator==(const SkinPicture &other) const;
};

// One horizontal run of opaque pixels of a form: row y, columns [left, right).
struct SkinRun
{
    int y = 0;
    int left = 0;
    int right = 0;

    bool operator==(const SkinRun &other) const;
};

// The window's shape as opaque runs, sorted by row, then by column.
class SkinShape
{
public:
    SkinShape() = default;
    explicit SkinShape(QVector<SkinRun> runs);

    bool contains(QPoint point) const;
    const QVector<SkinRun> &runs() const { return m_runs; }
    bool isEmpty() const { return m_runs.isEmpty(); }

private:
    QVector<SkinRun> m_runs;
};

struct SkinForm
{
    QString name;
    int width = 0;
    int height = 0;
    QVector<SkinPicture> pictures;
    QVector<SkinObject> objects; // in drawing order: a later object lies above an earlier one
    // Not stored in the file: taken from the normal picture's alpha when the pictures are
    // decoded (SkinPictures.h). Empty until then.
    SkinShape shape;

    const SkinPicture *picture(SkinPictureRole role, int scale) const;
    const SkinObject *object(const QString &objectName) const;
};

struct SkinData
{
    QVector<SkinForm> forms;

    const SkinForm *form(const QString &formName) const;
};

// Reads a whole skin file held in `bytes`. `fileName` only goes into error messages.
// Throws SkinError for anything that is not a well-formed skin within the limits.
SkinData readSkin(const QByteArray &bytes, const QString &fileName);

// The inverse of readSkin. Throws SkinError if `data` breaks a limit of the format.
QByteArray writeSkin(const SkinData &data);

// The object under `point` (window pixels): the topmost non-free-form object whose rectangle
// holds the point; else the free-form object if the point lies inside the window's shape;
// else nullptr.
const SkinObject *hitTest(const SkinForm &form, QPoint point);

Q_DECLARE_METATYPE(SkinObject)
