// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

namespace zarvo {

// Largest picture any decoder accepts: 2^28 pixels (268 MP, 1 GiB as 32-bit pixels).
// Every decoder checks it against the dimensions in the header before it allocates
// anything, so a file that merely claims a huge size costs nothing. A refusal is an ordinary
// decode failure.
inline constexpr qint64 kMaxPixels = qint64(1) << 28;

// A progressive JPEG may consist of any number of scans, each re-reading the whole picture;
// files with more than this are refused so that a small crafted file cannot stall a worker.
inline constexpr int kMaxJpegScans = 500;

inline bool exceedsPixelLimit(qint64 width, qint64 height)
{
    return width <= 0 || height <= 0 || width > kMaxPixels || height > kMaxPixels
        || width * height > kMaxPixels;
}

inline QString pixelLimitError(const char* codec, qint64 width, qint64 height)
{
    return QStringLiteral("%1: picture too large (%2 x %3 pixels, limit %4)")
        .arg(QLatin1String(codec))
        .arg(width)
        .arg(height)
        .arg(kMaxPixels);
}

} // namespace zarvo
