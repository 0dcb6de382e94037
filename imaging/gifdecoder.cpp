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

} // namespace

DecodedPicture decodeGif(const QByteArray& bytes, PixelBuffer* reuse)
{
    DecodedPicture result;
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

    const DecodeBudget::Reservation reservation
        = DecodeBudget::shared().acquire(qint64(screenWidth) * screenHeight * 4 + frame.Width);
    QImage image = allocatePicture(reuse, screenWidth, screenHeight);
    if (image.isNull()) {
        result.error = QStringLiteral("GIF: out of memory");
        return result;
    }
    uchar* const base = image.bits();
    const qsizetype bytesPerLine = image.bytesPerLine();
    for (int y = 0; y < screenHeight; ++y)
        std::memset(base + y * bytesPerLine, 0xff, size_t(screenWidth) * 4);

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
        const int drawFrom = std::max(0, -frame.Left);
        const int drawTo = std::clamp(screenWidth - frame.Left, 0, frame.Width);
        std::vector<GifPixelType> line(size_t(frame.Width));
        const auto readRow = [&](int y) {
            if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
                return false;
            const int screenY = frame.Top + y;
            if (screenY < 0 || screenY >= screenHeight)
                return true;
            auto* out = reinterpret_cast<QRgb*>(base + screenY * bytesPerLine);
            for (int x = drawFrom; x < drawTo; ++x) {
                const QRgb color = palette[line[size_t(x)]];
                if (color)
                    out[frame.Left + x] = color;
            }
            return true;
        };
        const bool ok = giflib::forEachStoredRow(frame.Height, frame.Interlace, readRow);
        if (!ok) {
            result.error = gifError(gif->Error);
            return result;
        }
    }
    result.image = std::move(image);
    return result;
}

} // namespace zarvo
