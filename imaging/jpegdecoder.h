// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>
#include <QSize>

namespace zarvo {

class PixelBuffer;

struct JpegDecodeResult
{
    DecodedPicture picture;
    // The picture's upright size as the file states it (also when it was decoded scaled down).
    QSize fullSize;
};

// Decodes a JPEG held in memory into a Format_RGB32 picture; grayscale, RGB, YCbCr, CMYK and
// YCCK, baseline and progressive. The picture comes upright: turned and mirrored by the Exif
// orientation of its APP1 block (exifOrientation; none when the block is absent or damaged). box ==
// 0 decodes at full size. box > 0 lets libjpeg-turbo scale in the DCT domain by the smallest factor
// M/8 whose output still covers FitRect(full width, full height, box, box) in both directions. A
// file that ends early is a failure (not a picture with a grey bottom); a missing end marker after
// complete data is tolerated. Refuses pictures over kMaxPixels, progressive files of more than
// kMaxJpegScans scans, and files whose coefficient buffers would take more than kMaxJpegWorkBytes
// or whose whole decode more than the decode budget's total. reuse: see allocatePicture.
// Thread-safe; takes its memory through DecodeBudget::shared().
JpegDecodeResult decodeJpeg(const QByteArray& bytes, int box, PixelBuffer* reuse);

} // namespace zarvo
