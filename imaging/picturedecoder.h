// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"
#include "imaging/pictureformat.h"

#include <QByteArray>

namespace zarvo {

// Decodes stored picture bytes into the full-size work picture of their format:
//   Gif:  the first image on a white picture of the logical screen size (decodeGif);
//   Ico:  a white picture of the icon's size with the icon drawn at its top left (decodeIco);
//   Png:  a white picture of the PNG's size, its transparency blended over white (decodePng);
//   Bmp:  the bitmap as it is, in the format Qt reads it in (decodeBmp);
//   Jpeg: the JPEG at full size (decodeJpeg);
//   Heif: the primary picture of a HEIF/HEIC file, upright (decodeHeif);
//   Avif: the primary picture of an AVIF file, upright (decodeAvif);
//   Tiff: the first page at full size (decodeTiff);
//   Jxl:  the JPEG XL (its first frame) at full size (decodeJxl);
//   Webp: the WebP at full size, an animation's first frame (decodeWebp);
//   Other: a failure.
// Every format but Bmp gives Format_RGB32. The picture owns its memory.
// Failures (damaged, truncated, wrong format, over kMaxPixels) come back as !ok() with an
// error text; nothing is thrown and nothing is printed.
// Thread-safe: shares nothing between calls but DecodeBudget::shared(), which may make a call
// wait while other threads decode very large pictures.
DecodedPicture decodePicture(PictureFormat format, const QByteArray& bytes);

} // namespace zarvo
