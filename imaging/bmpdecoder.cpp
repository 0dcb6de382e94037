// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/bmpdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>
#include <limits>

namespace zarvo {

namespace {

constexpr qsizetype kFileHeaderSize = 14;
constexpr quint32 kCoreHeaderSize = 12; // the old OS/2 header with 16-bit sizes

struct BmpHeader
{
    qint64 width = 0;
    qint64 height = 0;
    qint64 dataOffset = 0;
    int bits = 0;
    bool fixedRows = false; // uncompressed or bit-field rows, of a size the header fixes
};

// Where the pixel rows of an uncompressed bitmap end, or 0 when compressed; saturates instead
// of overflowing, whatever the header says.
qint64 rowsEnd(const BmpHeader& header)
{
    if (!header.fixedRows)
        return 0;
    const qint64 rowBits = saturatingProduct(header.width, header.bits);
    const qint64 stride = saturatingProduct(rowBits / 32 + (rowBits % 32 ? 1 : 0), 4);
    const qint64 rows = saturatingProduct(stride, header.height);
    return rows > std::numeric_limits<qint64>::max() - header.dataOffset ? rows
                                                                         : rows + header.dataOffset;
}

bool readHeader(const QByteArray& bytes, BmpHeader* header)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < kFileHeaderSize + kCoreHeaderSize || p[0] != 'B' || p[1] != 'M')
        return false;
    header->dataOffset = qFromLittleEndian<quint32>(p + 10);
    const uchar* info = p + kFileHeaderSize;
    const quint32 infoSize = qFromLittleEndian<quint32>(info);
    quint32 compression = 0;
    if (infoSize == kCoreHeaderSize) {
        header->width = qFromLittleEndian<quint16>(info + 4);
        header->height = qFromLittleEndian<quint16>(info + 6);
        header->bits = qFromLittleEndian<quint16>(info + 10);
    } else {
        if (infoSize < 40 || bytes.size() < kFileHeaderSize + 40)
            return false;
        header->width = qint32(qFromLittleEndian<quint32>(info + 4));
        header->height = std::abs(qint64(qint32(qFromLittleEndian<quint32>(info + 8))));
        header->bits = qFromLittleEndian<quint16>(info + 14);
        compression = qFromLittleEndian<quint32>(info + 16);
    }
    // Uncompressed and bit-field rows have a fixed size; Qt checks the run-length ones itself.
    header->fixedRows = compression == 0 || compression == 3 || compression == 6;
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
    if (rowsEnd(header) > bytes.size()) {
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
    // Qt keeps the pixel indices of a palette bitmap as they are, also those beyond a short
    // colour table, and drawing such a picture reads past the table. Indices without a colour
    // are black.
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono
        || image.format() == QImage::Format_MonoLSB) {
        QList<QRgb> colors = image.colorTable();
        colors.resize(image.depth() == 1 ? 2 : 256, qRgb(0, 0, 0));
        image.setColorTable(colors);
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    result.image = std::move(image);
    return result;
}

} // namespace zarvo
