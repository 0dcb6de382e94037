// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/picturedecoder.h"

#include "imaging/bmpdecoder.h"
#include "imaging/gifdecoder.h"
#include "imaging/icodecoder.h"
#include "imaging/jpegdecoder.h"
#include "imaging/pngdecoder.h"
#include "imaging/webpdecoder.h"

namespace zarvo {

DecodedPicture decodePicture(PictureFormat format, const QByteArray& bytes)
{
    switch (format) {
    case PictureFormat::Gif:
        return decodeGif(bytes, nullptr);
    case PictureFormat::Ico:
        return decodeIco(bytes, nullptr);
    case PictureFormat::Bmp:
        return decodeBmp(bytes);
    case PictureFormat::Png:
        return decodePng(bytes, nullptr);
    case PictureFormat::Jpeg:
        return decodeJpeg(bytes, 0, nullptr).picture;
    case PictureFormat::Webp:
        return decodeWebp(bytes, 0, nullptr).picture;
    case PictureFormat::Heif:
    case PictureFormat::Avif:
    case PictureFormat::Tiff:
    case PictureFormat::Jxl:
    case PictureFormat::Other:
        break;
    }
    DecodedPicture result;
    result.error = QStringLiteral("not a picture format that is decoded");
    return result;
}

} // namespace zarvo
