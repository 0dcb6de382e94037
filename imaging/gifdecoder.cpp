// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/gifdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/giflibsupport.h"
#include "imaging/pixelbuffer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace zarvo {

namespace {

using giflib::MemorySource;
using giflib::readFromMemory;
using GifHandle = giflib::Handle;

QString gifError(int code)
{
    return giflib::errorText(code);
}

// Reads the extension records up to the first image; returns the transparent colour index
// of the last graphics control extension (NO_TRANSPARENT_COLOR if none), or false on damage.
bool readUpToFirstImage(GifFileType* gif, int* transparent, bool* foundImage)
{
    *transparent = NO_TRANSPARENT_COLOR;
    *foundImage = false;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return false;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            *foundImage = true;
            return true;
        }
        if (type == TERMINATE_RECORD_TYPE)
            return true;
        if (type != EXTENSION_RECORD_TYPE)
            return false;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
            return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && block) {
            GraphicsControlBlock gcb;
            if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
                *transparent = gcb.TransparentColor;
        }
        while (block) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                return false;
        }
    }
}

// Reads the first image onto white: the whole logical screen, or (unless wholeScreen) only the
// part of it that the image covers when that is less than a quarter of the screen (the rest of
// the screen is white by definition, so a huge screen with a small image costs only the image's
// pixels).
GifFirstImage decodeFirstImage(const QByteArray& bytes, PixelBuffer* reuse, bool wholeScreen)
{
    GifFirstImage result;
    MemorySource source { reinterpret_cast<const uchar*>(bytes.constData()), size_t(bytes.size()),
        0 };
    int error = 0;
    GifHandle gif(DGifOpen(&source, readFromMemory, &error));
    if (!gif) {
        result.error = gifError(error);
        return result;
    }

    int transparent = NO_TRANSPARENT_COLOR;
    bool foundImage = false;
    if (!readUpToFirstImage(gif.get(), &transparent, &foundImage)) {
        result.error = gifError(gif->Error);
        return result;
    }
    if (!foundImage) {
        result.error = QStringLiteral("GIF: no image");
        return result;
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR) {
        result.error = gifError(gif->Error);
        return result;
    }

    const GifImageDesc& frame = gif->Image;
    int screenWidth = gif->SWidth;
    int screenHeight = gif->SHeight;
    if (screenWidth <= 0 || screenHeight <= 0) {
        screenWidth = frame.Left + frame.Width;
        screenHeight = frame.Top + frame.Height;
    }
    if (screenWidth <= 0 || screenHeight <= 0) {
        result.error = QStringLiteral("GIF: empty picture");
        return result;
    }
    if (exceedsPixelLimit(screenWidth, screenHeight)) {
        result.error = pixelLimitError("GIF", screenWidth, screenHeight);
        return result;
    }
    if (frame.Width > 0 && frame.Height > 0 && exceedsPixelLimit(frame.Width, frame.Height)) {
        result.error = pixelLimitError("GIF", frame.Width, frame.Height);
        return result;
    }
    const ColorMapObject* colors = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!colors || colors->ColorCount <= 0 || !colors->Colors) {
        result.error = QStringLiteral("GIF: no colour table");
        return result;
    }

    result.screen = QSize(screenWidth, screenHeight);
    const QRect screen(QPoint(0, 0), result.screen);
    const QRect covered
        = QRect(frame.Left, frame.Top, frame.Width, frame.Height).intersected(screen);
    const bool small
        = qint64(covered.width()) * covered.height() * 4 < qint64(screen.width()) * screen.height();
    const QRect area = wholeScreen || !small ? screen : covered;
    const DecodeBudget::Reservation reservation = DecodeBudget::shared().acquire(
        qint64(area.width()) * area.height() * 4 + std::max(0, frame.Width));
    QImage image;
    uchar* base = nullptr;
    qsizetype bytesPerLine = 0;
    if (!area.isEmpty()) {
        image = allocatePicture(reuse, area.width(), area.height());
        if (image.isNull()) {
            result.error = QStringLiteral("GIF: out of memory");
            return result;
        }
        base = image.bits();
        bytesPerLine = image.bytesPerLine();
        for (int y = 0; y < area.height(); ++y)
            std::memset(base + y * bytesPerLine, 0xff, size_t(area.width()) * 4);
    }

    if (frame.Width > 0 && frame.Height > 0) {
        QRgb palette[256];
        for (int i = 0; i < 256; ++i) {
            if (i < colors->ColorCount && i != transparent) {
                const GifColorType& c = colors->Colors[i];
                palette[i] = qRgb(c.Red, c.Green, c.Blue);
            } else {
                palette[i] = 0; // drawn as nothing: stays white
            }
        }
        // The image's columns and rows inside the area, in the image's coordinates.
        const int drawFrom = std::max(0, area.left() - frame.Left);
        const int drawTo = std::clamp(area.left() + area.width() - frame.Left, 0, frame.Width);
        std::vector<GifPixelType> line(size_t(frame.Width));
        const auto readRow = [&](int y) {
            if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
                return false;
            const int row = frame.Top + y - area.top();
            if (row < 0 || row >= area.height())
                return true;
            auto* out = reinterpret_cast<QRgb*>(base + row * bytesPerLine);
            for (int x = drawFrom; x < drawTo; ++x) {
                const QRgb color = palette[line[size_t(x)]];
                if (color)
                    out[frame.Left + x - area.left()] = color;
            }
            return true;
        };
        // Data that ends early keeps the rows read before; the rest stays white.
        if (giflib::forEachStoredRow(frame.Height, frame.Interlace, readRow) == 0) {
            result.error = gifError(gif->Error);
            return result;
        }
    }
    result.image = std::move(image);
    result.position = area.topLeft();
    return result;
}

} // namespace

DecodedPicture decodeGif(const QByteArray& bytes, PixelBuffer* reuse)
{
    GifFirstImage first = decodeFirstImage(bytes, reuse, true);
    DecodedPicture result;
    result.image = std::move(first.image);
    result.error = std::move(first.error);
    return result;
}

GifFirstImage decodeGifFirstImage(const QByteArray& bytes, PixelBuffer* reuse)
{
    return decodeFirstImage(bytes, reuse, false);
}

} // namespace zarvo
