// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/picturedecoder.h"

#include "imaging/avifdecoder.h"
#include "imaging/bmpdecoder.h"
#include "imaging/gifdecoder.h"
#include "imaging/heifdecoder.h"
#include "imaging/icodecoder.h"
#include "imaging/jpegdecoder.h"
#include "imaging/jxldecoder.h"
#include "imaging/pngdecoder.h"
#include "imaging/tiffdecoder.h"
#include "imaging/webpdecoder.h"

#include <thread>

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
        return decodeHeif(bytes, 0).picture;
    case PictureFormat::Avif:
        return decodeAvif(bytes, 0, nullptr).picture;
    case PictureFormat::Tiff:
        return decodeTiff(bytes, 0, nullptr).picture;
    case PictureFormat::Jxl:
        // One picture wanted now: libjxl may use every core for it.
        return decodeJxl(bytes, int(std::thread::hardware_concurrency()), nullptr);
    case PictureFormat::Other:
        break;
    }
    DecodedPicture result;
    result.error = QStringLiteral("not a picture format that is decoded");
    return result;
}

} // namespace zarvo
