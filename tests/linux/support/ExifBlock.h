// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// EXIF blocks built byte by byte, for the tests of the photo date.

#include <QByteArray>

namespace lumi::testing {

enum class ByteOrder { Little, Big };

// An EXIF block in TIFF structure ("II" or "MM" first, no "Exif" header): IFD0 with an
// Orientation tag of `orientation` and a pointer to the EXIF IFD, which holds the ASCII
// DateTimeOriginal `dateTime` (with its closing NUL) unless `dateTime` is null.
inline QByteArray exifBlock(const char* dateTime, ByteOrder order = ByteOrder::Little,
                            quint16 orientation = 1) {
    QByteArray block;
    const auto put = [&](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            const int shift = order == ByteOrder::Little ? 8 * i : 8 * (bytes - 1 - i);
            block.append(char((value >> shift) & 0xFF));
        }
    };
    const QByteArray date = dateTime ? QByteArray(dateTime) + '\0' : QByteArray();
    const quint32 exifIfd = 8 + 2 + 2 * 12 + 4;
    const quint32 exifEntries = dateTime ? 1 : 0;
    const quint32 values = exifIfd + 2 + 12 * exifEntries + 4;
    block += order == ByteOrder::Little ? QByteArray("II*\0", 4) : QByteArray("MM\0*", 4);
    put(8, 4);
    put(2, 2);
    put(0x0112, 2), put(3, 2), put(1, 4), put(orientation, 2), put(0, 2);
    put(0x8769, 2), put(4, 2), put(1, 4), put(exifIfd, 4);
    put(0, 4);
    put(exifEntries, 2);
    if (dateTime) {
        put(0x9003, 2), put(2, 2), put(static_cast<quint32>(date.size()), 4), put(values, 4);
    }
    put(0, 4);
    return block + date;
}

}  // namespace lumi::testing
