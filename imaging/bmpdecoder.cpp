// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/bmpdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdlib>

namespace zarvo {

namespace {

quint16 le16(const uchar* p)
{
    return quint16(p[0] | (p[1] << 8));
}
quint32 le32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

constexpr qsizetype kFileHeaderSize = 14;
constexpr quint32 kCoreHeaderSize = 12; // the old OS/2 header with 16-bit sizes

struct BmpHeader
{
    qint64 width = 0;
    qint64 height = 0;
    qint64 rowsEnd = 0; // where the pixel rows end if uncompressed; 0 if compressed
};

bool readHeader(const QByteArray& bytes, BmpHeader* header)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < kFileHeaderSize + kCoreHeaderSize || p[0] != 'B' || p[1] != 'M')
        return false;
    const quint32 dataOffset = le32(p + 10);
    const uchar* info = p + kFileHeaderSize;
    const quint32 infoSize = le32(info);
    int bits = 0;
    quint32 compression = 0;
    if (infoSize == kCoreHeaderSize) {
        header->width = le16(info + 4);
        header->height = le16(info + 6);
        bits = le16(info + 10);
    } else {
        if (infoSize < 40 || bytes.size() < kFileHeaderSize + 40)
            return false;
        header->width = qint32(le32(info + 4));
        header->height = std::abs(qint64(qint32(le32(info + 8))));
        bits = le16(info + 14);
        compression = le32(info + 16);
    }
    // Uncompressed and bit-field rows have a fixed size; Qt checks the run-length ones itself.
    if (compression == 0 || compression == 3 || compression == 6) {
        const qint64 stride = (header->width * bits + 31) / 32 * 4;
        header->rowsEnd = qint64(dataOffset) + stride * header->height;
    }
    return true;
}

} // namespace

DecodedPicture decodeBmp(const QByteArray& bytes)
{
    DecodedPicture result;
    BmpHeader header;
    if (!readHeader(bytes, &header)) {
        result.error = QStringLiteral("BMP: not a bitmap file");
        return result;
    }
    if (exceedsPixelLimit(header.width, header.height)) {
        result.error = header.width > 0 && header.height > 0
            ? pixelLimitError("BMP", header.width, header.height)
            : QStringLiteral("BMP: empty picture");
        return result;
    }
    // Qt fills the missing rows of a short uncompressed bitmap and calls it a success.
    if (header.rowsEnd > bytes.size()) {
        result.error = QStringLiteral("BMP: pixel data missing");
        return result;
    }

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    const DecodeBudget::Reservation reservation
        = DecodeBudget::shared().acquire(header.width * header.height * 4);
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        result.error = QStringLiteral("BMP: ") + reader.errorString();
        return result;
    }
    result.image = std::move(image);
    return result;
}

} // namespace zarvo
