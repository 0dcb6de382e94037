// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/bmpdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <bit>
#include <cstdlib>
#include <limits>

namespace zarvo {

namespace {

constexpr qsizetype kFileHeaderSize = 14;
constexpr quint32 kCoreHeaderSize = 12; // the old OS/2 header with 16-bit sizes
constexpr quint32 kInfoHeaderSize = 40;
constexpr quint32 kRgb = 0;
constexpr quint32 kBitFields = 3;
constexpr quint32 kAlphaBitFields = 6; // a fourth mask, for alpha, after the header

struct BmpHeader
{
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    qint64 dataOffset = 0;
    int bits = 0;
    bool fixedRows = false; // uncompressed or bit-field rows, of a size the header fixes
    // Pixels read here through masks (red, green, blue, alpha) rather than by Qt, whose reader
    // refuses the 52- and 56-byte headers and keeps only the top bits of narrow channels.
    bool masked = false;
    quint32 masks[4] = {};
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

// Finds the masks of a bitmap in one of the info header variants Windows writes: 40 bytes with
// bit-field masks after it, the 52- and 56-byte ones with masks inside (the second with
// alpha), V4 (108) and V5 (124). Unmasked 52- and 56-byte bitmaps get the masks their depth
// implies. False when the masks are not all in the file.
bool readMasks(const uchar* info, qsizetype infoBytes, quint32 infoSize, quint32 compression,
    BmpHeader* header)
{
    const bool windowsHeader = infoSize == kInfoHeaderSize || infoSize == 52 || infoSize == 56
        || infoSize == 108 || infoSize == 124;
    const bool bitFields = (compression == kBitFields || compression == kAlphaBitFields)
        && (header->bits == 16 || header->bits == 32);
    const bool unmaskedV2V3 = (infoSize == 52 || infoSize == 56) && compression == kRgb
        && (header->bits == 16 || header->bits == 24 || header->bits == 32);
    if (!windowsHeader || !(bitFields || unmaskedV2V3))
        return true;
    header->masked = true;
    if (!bitFields) {
        const bool narrow = header->bits == 16;
        header->masks[0] = narrow ? 0x7c00 : 0xff0000;
        header->masks[1] = narrow ? 0x03e0 : 0x00ff00;
        header->masks[2] = narrow ? 0x001f : 0x0000ff;
        return true;
    }
    const int count = infoSize == kInfoHeaderSize ? (compression == kAlphaBitFields ? 4 : 3)
                                                  : (infoSize == 52 ? 3 : 4);
    if (infoBytes < kInfoHeaderSize + 4 * count)
        return false;
    for (int i = 0; i < count; ++i)
        header->masks[i] = qFromLittleEndian<quint32>(info + kInfoHeaderSize + 4 * i);
    return true;
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
        if (infoSize < kInfoHeaderSize || bytes.size() < kFileHeaderSize + kInfoHeaderSize)
            return false;
        header->width = qint32(qFromLittleEndian<quint32>(info + 4));
        const qint32 height = qint32(qFromLittleEndian<quint32>(info + 8));
        header->height = std::abs(qint64(height));
        header->topDown = height < 0;
        header->bits = qFromLittleEndian<quint16>(info + 14);
        compression = qFromLittleEndian<quint32>(info + 16);
        if (!readMasks(info, bytes.size() - kFileHeaderSize, infoSize, compression, header))
            return false;
    }
    // Uncompressed and bit-field rows have a fixed size; Qt checks the run-length ones itself.
    header->fixedRows
        = compression == kRgb || compression == kBitFields || compression == kAlphaBitFields;
    return true;
}

// One colour channel of a pixel, scaled from the width of its mask to 0..255.
class Channel
{
public:
    explicit Channel(quint32 mask)
        : m_mask(mask)
        , m_shift(mask ? std::countr_zero(mask) : 0)
        , m_max(mask ? (quint64(1) << std::bit_width(mask >> m_shift)) - 1 : 0)
    {
    }

    uint operator()(quint32 pixel) const
    {
        const quint64 value = (pixel & m_mask) >> m_shift;
        if (m_max == 255 || m_max == 0) // eight bits, or no mask and so 0
            return uint(value);
        return uint((value * 255 + m_max / 2) / m_max);
    }

private:
    quint32 m_mask;
    int m_shift;
    quint64 m_max;
};

// Reads the rows of a masked bitmap (their presence in the file is checked): ARGB32 when its
// alpha mask gives any pixel some opacity, else RGB32. A missing or zero alpha mask, or one
// that leaves every pixel fully transparent (as writers that fill it with zeros do), means an
// opaque picture.
QImage readMaskedPixels(const QByteArray& bytes, const BmpHeader& header)
{
    const int width = int(header.width);
    const int height = int(header.height);
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const Channel red(header.masks[0]);
    const Channel green(header.masks[1]);
    const Channel blue(header.masks[2]);
    const Channel alpha(header.masks[3]);
    const int bytesPerPixel = header.bits / 8;
    const qint64 stride = (qint64(width) * header.bits + 31) / 32 * 4;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData()) + header.dataOffset;
    bool seenOpacity = false;
    for (int y = 0; y < height; ++y) {
        const uchar* in = data + stride * (header.topDown ? y : height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, in += bytesPerPixel) {
            quint32 pixel = 0;
            for (int i = 0; i < bytesPerPixel; ++i)
                pixel |= quint32(in[i]) << (8 * i);
            const uint a = alpha(pixel);
            seenOpacity = seenOpacity || a != 0;
            out[x] = qRgba(red(pixel), green(pixel), blue(pixel), a);
        }
    }
    if (!seenOpacity) {
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x)
                row[x] |= 0xff000000u;
        }
        image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    return image;
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

    const DecodeBudget::Reservation reservation
        = DecodeBudget::shared().acquire(header.width * header.height * 4);
    if (header.masked) {
        result.image = readMaskedPixels(bytes, header);
        if (result.image.isNull())
            result.error = QStringLiteral("BMP: out of memory");
        return result;
    }

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
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
