// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/PhotoDate.h"

#include "display/CalendarDate.h"

#include <QByteArray>
#include <QFile>

#include <libexif/exif-data.h>
#include <libexif/exif-loader.h>

#include <cstring>
#include <memory>

namespace lumi::display {
namespace {

// The header that libexif expects before a TIFF-structured block.
constexpr char kExifHeader[] = "Exif\0\0";
constexpr qsizetype kExifHeaderSize = 6;
// The part of a TIFF file that is read for its tags.
constexpr qint64 kTiffReadBytes = 16 << 20;
// The largest eXIf chunk that is read; EXIF blocks of cameras are well under 1 MiB.
constexpr quint32 kLargestExifChunk = 4 << 20;

struct ExifDataRelease {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};
using ExifDataPointer = std::unique_ptr<ExifData, ExifDataRelease>;
struct ExifLoaderRelease {
    void operator()(ExifLoader* loader) const { exif_loader_unref(loader); }
};

std::optional<QDate> dateOf(const ExifData* data) {
    if (!data) {
        return std::nullopt;
    }
    // DateTimeOriginal belongs in the EXIF sub-IFD; a camera that put it elsewhere is read too.
    for (ExifContent* content : data->ifd) {
        const ExifEntry* entry = exif_content_get_entry(content, EXIF_TAG_DATE_TIME_ORIGINAL);
        if (entry && entry->format == EXIF_FORMAT_ASCII && entry->data) {
            return parseExifDate(QByteArrayView(reinterpret_cast<const char*>(entry->data),
                                                static_cast<qsizetype>(entry->size)));
        }
    }
    return std::nullopt;
}

// A libexif data object that reads tags as they are, without the fixes it would make to
// write them back.
ExifDataPointer newExifData() {
    ExifDataPointer data(exif_data_new());
    if (data) {
        exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    }
    return data;
}

quint32 bigEndian32(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return (quint32{b[0]} << 24) | (quint32{b[1]} << 16) | (quint32{b[2]} << 8) | b[3];
}

std::optional<QDate> jpegDate(const QString& path) {
    const std::unique_ptr<ExifLoader, ExifLoaderRelease> loader(exif_loader_new());
    if (!loader) {
        return std::nullopt;
    }
    // The loader reads the file up to the end of its EXIF segment, or to the first segment
    // that is neither EXIF nor another application segment.
    exif_loader_write_file(loader.get(), QFile::encodeName(path).constData());
    const ExifDataPointer data(exif_loader_get_data(loader.get()));
    return dateOf(data.get());
}

std::optional<QDate> tiffDate(QFile& file) {
    QByteArray block(kExifHeader, kExifHeaderSize);
    block += file.read(kTiffReadBytes);
    return photoDateOfExif(block);
}

std::optional<QDate> pngDate(QFile& file) {
    // After the signature, chunks of: length (4 bytes, big-endian), type (4), data, CRC (4).
    qint64 position = 8;
    char header[8];
    while (file.seek(position) && file.read(header, 8) == 8) {
        const quint32 length = bigEndian32(header);
        const QByteArrayView type(header + 4, 4);
        if (type == "eXIf") {
            if (length > kLargestExifChunk) {
                return std::nullopt;
            }
            return photoDateOfExif(file.read(length));
        }
        if (type == "IEND") {
            return std::nullopt;
        }
        position += 12 + qint64{length};
    }
    return std::nullopt;
}

}  // namespace

std::optional<QDate> parseExifDate(QByteArrayView text) {
    const std::optional<CalendarDate> day =
        display::parseExifDate(std::string_view(text.data(), static_cast<std::size_t>(text.size())));
    if (!day) {
        return std::nullopt;
    }
    return QDate(day->year, day->month, day->day);
}

std::optional<QDate> photoDateOfExif(QByteArrayView exif) {
    QByteArray block;
    if (exif.startsWith(QByteArrayView(kExifHeader, kExifHeaderSize))) {
        block = exif.toByteArray();
    } else if (exif.startsWith("II") || exif.startsWith("MM")) {
        block = QByteArray(kExifHeader, kExifHeaderSize) + exif.toByteArray();
    } else {
        return std::nullopt;
    }
    const ExifDataPointer data = newExifData();
    if (!data) {
        return std::nullopt;
    }
    exif_data_load_data(data.get(), reinterpret_cast<const unsigned char*>(block.constData()),
                        static_cast<unsigned int>(block.size()));
    return dateOf(data.get());
}

std::optional<QDate> readPhotoDate(const QString& path) {
    QFile file(path);
    // Unbuffered: the PNG reader jumps from chunk header to chunk header.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return std::nullopt;
    }
    const QByteArray start = file.read(8);
    if (start.startsWith("\xFF\xD8")) {
        file.close();
        return jpegDate(path);
    }
    if (start.startsWith(QByteArrayView("II*\0", 4)) || start.startsWith(QByteArrayView("MM\0*", 4))) {
        file.seek(0);
        return tiffDate(file);
    }
    if (start == QByteArrayView("\x89PNG\r\n\x1A\n", 8)) {
        return pngDate(file);
    }
    return std::nullopt;
}

}  // namespace lumi::display
