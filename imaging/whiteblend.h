// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

namespace zarvo {

// One colour channel c with alpha a (both 0..255, not premultiplied) drawn over white.
inline uint blendChannelOverWhite(uint c, uint a)
{
    const uint x = c * a + 255 * (255 - a) + 128;
    return (x + (x >> 8)) >> 8; // x / 255, rounded, exact for this range
}

inline QRgb blendOverWhite(QRgb argb)
{
    const uint a = qAlpha(argb);
    if (a == 255)
        return argb;
    if (a == 0)
        return 0xffffffffu;
    return qRgb(int(blendChannelOverWhite(uint(qRed(argb)), a)),
                int(blendChannelOverWhite(uint(qGreen(argb)), a)),
                int(blendChannelOverWhite(uint(qBlue(argb)), a)));
}

// Treats the 32-bit pixels of `image` as non-premultiplied ARGB, draws them over white and
// leaves them opaque, in place. The image's format is not changed (callers use RGB32).
void blendOverWhite(QImage& image);

} // namespace zarvo
