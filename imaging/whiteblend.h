// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

namespace zarvo {

// A non-premultiplied ARGB pixel drawn over white, opaque. Over white, c * a / 255 + 255 *
// (255 - a) / 255 is c * a / 255 + (255 - a), so each channel needs one rounded product; red
// and blue are computed together in one 32-bit word, as Qt's own compositing does.
inline QRgb blendOverWhite(QRgb argb)
{
    const uint a = argb >> 24;
    uint redBlue = (argb & 0x00ff00ffu) * a;
    redBlue = ((redBlue + ((redBlue >> 8) & 0x00ff00ffu) + 0x00800080u) >> 8) & 0x00ff00ffu;
    uint alphaGreen = ((argb >> 8) & 0x00ff00ffu) * a;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0x00ff00ffu) + 0x00800080u) & 0xff00ff00u;
    return 0xff000000u | (redBlue + (alphaGreen & 0x0000ff00u) + (255 - a) * 0x00010101u);
}

// Treats the 32-bit pixels of `image` as non-premultiplied ARGB, draws them over white and
// leaves them opaque, in place. The image's format is not changed (callers use RGB32).
void blendOverWhite(QImage& image);

} // namespace zarvo
