// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/thumbnailer.h"

#include "imaging/avifdecoder.h"
#include "imaging/bmpdecoder.h"
#include "imaging/fitrect.h"
#include "imaging/gifdecoder.h"
#include "imaging/heifdecoder.h"
#include "imaging/icodecoder.h"
#include "imaging/jpegdecoder.h"
#include "imaging/jxldecoder.h"
#include "imaging/pngdecoder.h"
#include "imaging/tiffdecoder.h"
#include "imaging/webpdecoder.h"

#include <QPainter>

#include <cmath>
#include <cstring>
#include <optional>

namespace zarvo {

namespace {

void drawInto(QImage& thumbnail, const QImage& picture, const DrawRect& rect)
{
    if (rect.isEmpty())
        return;
    QImage scaled = picture.size() == QSize(rect.width(), rect.height())
        ? picture
        : picture.scaled(
            rect.width(), rect.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.format() == QImage::Format_RGB32) {
        // Opaque: copy the rows, no painter needed.
        const size_t rowBytes = size_t(rect.width()) * 4;
        for (int y = 0; y < rect.height(); ++y)
            std::memcpy(thumbnail.scanLine(rect.top + y) + qsizetype(rect.left) * 4,
                scaled.constScanLine(y), rowBytes);
        return;
    }
    QPainter painter(&thumbnail);
    painter.drawImage(rect.left, rect.top, scaled);
}

// Where `part` of a picture of `size` lands when the whole picture is drawn into `whole`.
DrawRect partOf(const DrawRect& whole, QSize size, const QRect& part)
{
    const double sx = double(whole.width()) / size.width();
    const double sy = double(whole.height()) / size.height();
    return { whole.left + int(std::lround(part.left() * sx)),
        whole.top + int(std::lround(part.top() * sy)),
        whole.left + int(std::lround((part.left() + part.width()) * sx)),
        whole.top + int(std::lround((part.top() + part.height()) * sy)) };
}

} // namespace

DecodedPicture Thumbnailer::makeThumbnail(PictureFormat format, const QByteArray& bytes)
{
    DecodedPicture decoded;
    QSize fullSize;
    // The part of the full-size picture that decoded.image shows, when it is not all of it.
    std::optional<QRect> part;
    switch (format) {
    case PictureFormat::Jpeg: {
        JpegDecodeResult jpeg = decodeJpeg(bytes, kSize, &m_buffer);
        decoded = std::move(jpeg.picture);
        fullSize = jpeg.fullSize;
        break;
    }
    case PictureFormat::Png:
        decoded = decodePng(bytes, &m_buffer);
        break;
    case PictureFormat::Gif: {
        GifFirstImage gif = decodeGifFirstImage(bytes, &m_buffer);
        if (!gif.ok()) {
            decoded.error = std::move(gif.error);
            break;
        }
        part = QRect(gif.position, gif.image.size());
        fullSize = gif.screen;
        // An image that covers nothing of its screen leaves the picture white.
        decoded.image = gif.image.isNull() ? QImage(1, 1, QImage::Format_RGB32) : gif.image;
        break;
    }
    case PictureFormat::Ico:
        decoded = decodeIco(bytes, &m_buffer);
        break;
    case PictureFormat::Bmp:
        decoded = decodeBmp(bytes);
        break;
    case PictureFormat::Heif: {
        HeifDecodeResult heif = decodeHeif(bytes, kSize);
        decoded = std::move(heif.picture);
        fullSize = heif.fullSize;
        break;
    }
    case PictureFormat::Avif: {
        AvifDecodeResult avif = decodeAvif(bytes, kSize, &m_buffer);
        decoded = std::move(avif.picture);
        fullSize = avif.fullSize;
        break;
    }
    case PictureFormat::Tiff: {
        TiffDecodeResult tiff = decodeTiff(bytes, kSize, &m_buffer);
        decoded = std::move(tiff.picture);
        fullSize = tiff.fullSize;
        break;
    }
    case PictureFormat::Webp: {
        WebpDecodeResult webp = decodeWebp(bytes, kSize, &m_buffer);
        decoded = std::move(webp.picture);
        fullSize = webp.fullSize;
        if (!webp.part.isEmpty())
            part = webp.part;
        break;
    }
    case PictureFormat::Jxl:
        // Thumbnail workers run side by side already: one thread each.
        decoded = decodeJxl(bytes, 1, &m_buffer);
        break;
    case PictureFormat::Other:
        decoded.error = QStringLiteral("not a picture format that is decoded");
        break;
    }
    if (!decoded.ok()) {
        m_buffer.trim();
        return decoded;
    }
    if (fullSize.isEmpty())
        fullSize = decoded.image.size();

    DecodedPicture result;
    result.image = QImage(kSize, kSize, QImage::Format_RGB32);
    if (result.image.isNull()) {
        result.error = QStringLiteral("out of memory");
    } else {
        result.image.fill(0xffffffffu);
        DrawRect rect = FitRect(fullSize.width(), fullSize.height(), kSize, kSize);
        if (part && !part->isEmpty())
            rect = partOf(rect, fullSize, *part);
        if (!part || !part->isEmpty())
            drawInto(result.image, decoded.image, rect);
    }
    // The decoded picture may view m_buffer: drop it before the buffer can shrink.
    decoded.image = QImage();
    m_buffer.trim();
    return result;
}

QImage Thumbnailer::normalized(const QImage& image)
{
    if (image.format() == QImage::Format_RGB32 && image.size() == QSize(kSize, kSize))
        return image;
    QImage full(kSize, kSize, QImage::Format_RGB32);
    full.fill(0xffffffffu);
    if (image.isNull())
        return full;
    const DrawRect rect = FitRect(image.width(), image.height(), kSize, kSize);
    if (rect.isEmpty())
        return full;
    QPainter painter(&full);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(rect.left, rect.top, rect.width(), rect.height()), image);
    return full;
}

} // namespace zarvo
