// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>

namespace zarvo {

class PixelBuffer;

// Decodes a JPEG XL held in memory (a bare codestream or the container; lossy, lossless or a
// recompressed JPEG; the first frame of an animation) at full size into a Format_RGB32 picture
// in sRGB where the file's colours allow, transparency drawn over white. The picture comes
// upright: libjxl turns it by the file's orientation. threads > 1 lets libjxl decode on up to
// that many threads of its own (for a single large picture; thumbnail workers, which already
// run side by side, pass 1). A file that ends early is a failure. Refuses pictures over
// kMaxPixels and pictures whose decode would need more than the decode budget's total, before
// libjxl allocates them. Prints nothing. reuse: see allocatePicture. Thread-safe; takes its
// memory through DecodeBudget::shared().
DecodedPicture decodeJxl(const QByteArray& bytes, int threads, PixelBuffer* reuse);

} // namespace zarvo
