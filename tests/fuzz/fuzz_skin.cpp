// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry for the skin-file reader: any input must either read or be rejected with a
// SkinError; whatever reads must write back to exactly the same bytes.

#include "skin/SkinFile.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     qsizetype(size));
    SkinData skin;
    try {
        skin = readSkin(bytes, QStringLiteral("fuzz"));
    } catch (const SkinError &) {
        return 0;
    }

    if (writeSkin(skin) != bytes) {
        std::fprintf(stderr, "a skin read from %zu bytes does not write back the same\n", size);
        std::abort();
    }
    for (const SkinForm &form : skin.forms) {
        // Corners and just outside them; the shape is empty before decoding, which is fine.
        for (const QPoint point : {QPoint(0, 0), QPoint(form.width - 1, form.height - 1),
                                   QPoint(form.width, form.height), QPoint(-1, -1)})
            hitTest(form, point);
    }
    return 0;
}
