// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/icodecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/pixelbuffer.h"
#include "imaging/pngdecoder.h"
#include "imaging/whiteblend.h"

#include <QtEndian>

#include <cstring>

namespace zarvo {

namespace {

constexpr uchar kPngSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
constexpr qsizetype kInfoHeaderSize = 40;

struct Entry
{
    const uchar* data = nullptr;
    qsizetype size = 0;
    bool png = false;
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
};

// Reads an entry's own header; false if it is not an image we can place.
bool readEntry(const uchar* file, qsizetype fileSize, const uchar* dirEntry, Entry* entry)
{
    const quint32 length = qFromLittleEndian<quint32>(dirEntry + 8);
    const quint32 offset = qFromLittleEndian<quint32>(dirEntry + 12);
    if (offset >= quint64(fileSize) || length > quint64(fileSize) - offset)
        return false;
    entry->data = file + offset;
    entry->size = qsizetype(length);
    if (entry->size >= 24 && std::memcmp(entry->data, kPngSignature, sizeof kPngSignature) == 0) {
        entry->png = true;
        entry->width = qFromBigEndian<quint32>(entry->data + 16);
        entry->height = qFromBigEndian<quint32>(entry->data + 20);
        entry->bits = qFromLittleEndian<quint16>(dirEntry + 6);
    } else {
        if (entry->size < kInfoHeaderSize
            || qFromLittleEndian<quint32>(entry->data) < kInfoHeaderSize)
            return false;
        entry->width = qint32(qFromLittleEndian<quint32>(entry->data + 4));
        // Colour rows, then as many mask rows.
        entry->height = qint32(qFromLittleEndian<quint32>(entry->data + 8)) / 2;
        entry->bits = qFromLittleEndian<quint16>(entry->data + 14);
    }
    return entry->width > 0 && entry->height > 0;
}

DecodedPicture failure(const char* text)
{
    DecodedPicture result;
    result.error = QStringLiteral("ICO: ") + QLatin1String(text);
    return result;
}

DecodedPicture decodeBitmapEntry(const Entry& entry, PixelBuffer* reuse)
{
    const uchar* const data = entry.data;
    const quint32 headerSize = qFromLittleEndian<quint32>(data);
    const int bits = entry.bits;
    const quint32 compression = qFromLittleEndian<quint32>(data + 16);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return failure("unsupported bits per pixel");
    if (compression != 0)
        return failure("compressed bitmap");
    const int width = int(entry.width);
    const int height = int(entry.height);

    const quint32 colorsUsed = qFromLittleEndian<quint32>(data + 32);
    const qint64 paletteInFile
        = colorsUsed ? qint64(colorsUsed) : (bits <= 8 ? qint64(1) << bits : 0);
    const qint64 paletteUsable = bits <= 8 ? std::min<qint64>(paletteInFile, qint64(1) << bits) : 0;
    const qint64 colorStride = (qint64(width) * bits + 31) / 32 * 4;
    const qint64 maskStride = (qint64(width) + 31) / 32 * 4;
    const qint64 colorStart = qint64(headerSize) + paletteInFile * 4;
    const qint64 maskStart = colorStart + colorStride * height;
    if (colorsUsed > 65536 || maskStart > entry.size)
        return failure("image data missing");
    const bool hasMask = maskStart + maskStride * height <= entry.size;

    QRgb palette[256] = {};
    for (qint64 i = 0; i < paletteUsable; ++i) {
        const uchar* p = data + headerSize + i * 4;
        palette[i] = qRgb(p[2], p[1], p[0]);
    }
    bool useAlpha = false;
    if (bits == 32) {
        for (int y = 0; y < height && !useAlpha; ++y) {
            const uchar* row = data + colorStart + y * colorStride;
            for (int x = 0; x < width; ++x) {
                if (row[x * 4 + 3] != 0) {
                    useAlpha = true;
                    break;
                }
            }
        }
    }

    const DecodeBudget::Reservation reservation
        = DecodeBudget::shared().acquire(qint64(width) * height * 4);
    QImage image = allocatePicture(reuse, width, height);
    if (image.isNull())
        return failure("out of memory");
    for (int y = 0; y < height; ++y) {
        const int fileRow = height - 1 - y; // stored bottom-up
        const uchar* color = data + colorStart + fileRow * colorStride;
        const uchar* mask = hasMask ? data + maskStart + fileRow * maskStride : nullptr;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb pixel = 0;
            switch (bits) {
            case 1:
                pixel = palette[(color[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                pixel = palette[(color[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xf];
                break;
            case 8:
                pixel = palette[color[x]];
                break;
            case 24:
                pixel = qRgb(color[x * 3 + 2], color[x * 3 + 1], color[x * 3]);
                break;
            default:
                pixel = qRgba(color[x * 4 + 2], color[x * 4 + 1], color[x * 4],
                    useAlpha ? color[x * 4 + 3] : 255);
                break;
            }
            if (!useAlpha && mask && ((mask[x >> 3] >> (7 - (x & 7))) & 1))
                pixel = 0xffffffffu;
            out[x] = blendOverWhite(pixel | (useAlpha ? 0 : 0xff000000u));
        }
    }
    DecodedPicture result;
    result.image = std::move(image);
    return result;
}

} // namespace

DecodedPicture decodeIco(const QByteArray& bytes, PixelBuffer* reuse)
{
    const auto* file = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 6 || qFromLittleEndian<quint16>(file) != 0
        || (qFromLittleEndian<quint16>(file + 2) != 1 && qFromLittleEndian<quint16>(file + 2) != 2))
        return failure("not an icon file");
    const int count = qFromLittleEndian<quint16>(file + 4);
    if (count == 0 || size < 6 + 16 * qsizetype(count))
        return failure("icon directory missing");

    Entry best;
    bool found = false;
    for (int i = 0; i < count; ++i) {
        Entry entry;
        if (!readEntry(file, size, file + 6 + 16 * i, &entry))
            continue;
        const qint64 pixels = saturatingProduct(entry.width, entry.height);
        const qint64 bestPixels = saturatingProduct(best.width, best.height);
        if (!found || pixels > bestPixels || (pixels == bestPixels && entry.bits > best.bits)) {
            best = entry;
            found = true;
        }
    }
    if (!found)
        return failure("no usable image");
    if (exceedsPixelLimit(best.width, best.height)) {
        DecodedPicture result;
        result.error = pixelLimitError("ICO", best.width, best.height);
        return result;
    }
    if (best.png) {
        DecodedPicture result = decodePng(best.data, best.size, reuse);
        if (!result.ok())
            result.error = QStringLiteral("ICO: ") + result.error;
        return result;
    }
    return decodeBitmapEntry(best, reuse);
}

} // namespace zarvo
