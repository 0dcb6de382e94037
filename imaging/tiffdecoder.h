// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>
#include <QSize>

namespace zarvo {

class PixelBuffer;

struct TiffDecodeResult
{
    DecodedPicture picture;
    // The first page's upright size (also when a smaller page was decoded).
    QSize fullSize;
};

// Decodes the first page of a TIFF held in memory into a Format_RGB32 picture: every
// photometric interpretation libtiff's RGBA reader takes (gray, palette, RGB, CMYK, YCbCr, CIE
// Lab), 1 to 16 bits per sample, strips or tiles, contiguous or planar; transparency drawn over
// white. The picture comes upright by the page's orientation tag. box == 0 decodes the first
// page at full size. box > 0 may decode a reduced-resolution page of the file instead (a SubIFD
// of the first page or a later page marked as a reduced image) when one has the first page's
// aspect, is at least box pixels on its long side and is smaller than the first page: the
// smallest such. A damaged page is a failure. Refuses pages over kMaxPixels and pages whose
// decode would need more than the decode budget's total; libtiff itself is never let take more
// than that in one allocation. Prints nothing. reuse: see allocatePicture. Thread-safe; takes
// its memory through DecodeBudget::shared().
TiffDecodeResult decodeTiff(const QByteArray& bytes, int box, PixelBuffer* reuse);

} // namespace zarvo
