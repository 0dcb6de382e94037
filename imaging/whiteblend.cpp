// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/whiteblend.h"

namespace zarvo {

void blendOverWhite(QImage& image)
{
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = blendOverWhite(row[x]);
    }
}

} // namespace zarvo
