// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/orientation.h"

#include <QByteArray>
#include <QTransform>

#include <libexif/exif-data.h>

namespace zarvo {

int exifOrientation(QByteArrayView exif)
{
    static constexpr char kHeader[] = "Exif\0\0";
    constexpr qsizetype kHeaderSize = sizeof kHeader - 1;
    if (exif.size() < 8)
        return 1;
    // libexif takes a JPEG or a block that starts with the Exif header; a bare TIFF
    // structure gets the header in front.
    QByteArray withHeader;
    if (exif.startsWith(QByteArrayView("II*\0", 4))
        || exif.startsWith(QByteArrayView("MM\0*", 4))) {
        withHeader.reserve(kHeaderSize + exif.size());
        withHeader.append(kHeader, kHeaderSize).append(exif);
        exif = withHeader;
    }
    // A JPEG's Exif block is at most 64 KiB; libexif counts in unsigned int.
    if (exif.size() > qsizetype(1) << 30)
        return 1;
    ExifData* data = exif_data_new();
    if (!data)
        return 1;
    exif_data_load_data(data, reinterpret_cast<const unsigned char*>(exif.data()),
        static_cast<unsigned int>(exif.size()));
    int orientation = 1;
    if (ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
        entry && entry->components == 1 && entry->data) {
        const ExifByteOrder order = exif_data_get_byte_order(data);
        long value = 0;
        if (entry->format == EXIF_FORMAT_SHORT && entry->size >= 2)
            value = exif_get_short(entry->data, order);
        else if (entry->format == EXIF_FORMAT_LONG && entry->size >= 4)
            value = long(exif_get_long(entry->data, order));
        if (value >= 1 && value <= 8)
            orientation = int(value);
    }
    exif_data_unref(data);
    return orientation;
}

QImage applyOrientation(QImage picture, int orientation)
{
    switch (orientation) {
    case 2:
        return std::move(picture).mirrored(true, false);
    case 3:
        return std::move(picture).mirrored(true, true);
    case 4:
        return std::move(picture).mirrored(false, true);
    case 5:
        return picture.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return picture.transformed(QTransform().rotate(90));
    case 7:
        return picture.transformed(QTransform().rotate(-90)).mirrored(true, false);
    case 8:
        return picture.transformed(QTransform().rotate(-90));
    default:
        return picture;
    }
}

} // namespace zarvo
