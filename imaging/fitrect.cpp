// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/fitrect.h"

namespace zarvo {

DrawRect FitRect(int w, int h, int bw, int bh)
{
    DrawRect r;
    if (w <= bw && h <= bh) {
        r.left = static_cast<int>((static_cast<double>(bw) - w) / 2.0);
        r.top = static_cast<int>((static_cast<double>(bh) - h) / 2.0);
        r.right = r.left + w;
        r.bottom = r.top + h;
    } else if (h > w) {
        r.top = 0;
        r.bottom = bh;
        // Each intermediate is stored as a double on its own, as the rule prescribes.
        const double s = static_cast<double>(w) / static_cast<double>(h);
        const double t = static_cast<double>(bw) * s;
        r.left = static_cast<int>((static_cast<double>(bw) - t) / 2.0);
        r.right = static_cast<int>(static_cast<double>(r.left) + t);
    } else {
        r.left = 0;
        r.right = bw;
        const double s = static_cast<double>(h) / static_cast<double>(w);
        const double t = static_cast<double>(bh) * s;
        r.top = static_cast<int>((static_cast<double>(bh) - t) / 2.0);
        r.bottom = static_cast<int>(static_cast<double>(r.top) + t);
    }
    return r;
}

} // namespace zarvo
