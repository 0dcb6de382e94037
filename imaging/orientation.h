// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QImage>

namespace zarvo {

// The Exif orientation (1 to 8: how the stored rows must be turned and mirrored to stand
// upright) of an Exif block, read by libexif. `exif` is a JPEG's APP1 payload ("Exif\0\0" and
// the TIFF structure), the bare TIFF structure (as PNG's eXIf and WebP's EXIF chunks hold it)
// or a whole JPEG. An absent, damaged or out-of-range value is 1: never an error.
// Thread-safe.
int exifOrientation(QByteArrayView exif);

// The picture turned upright by an Exif orientation: 2 mirrors the columns, 3 turns half a
// turn, 4 mirrors the rows, 5 transposes, 6 turns a quarter clockwise, 7 transposes across the
// other diagonal, 8 turns a quarter anticlockwise; 5 to 8 swap width and height. 1 and any
// other value give the picture unchanged. Mirroring and the half turn reuse the picture's
// memory when nothing else shares it; the quarter turns make a new picture (null when there is
// no memory for it). Thread-safe.
QImage applyOrientation(QImage picture, int orientation);

// Whether the orientation swaps width and height (5 to 8).
constexpr bool orientationSwapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

} // namespace zarvo
