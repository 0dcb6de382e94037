// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

#include <limits>

namespace zarvo {

// Largest picture any decoder accepts: 2^28 pixels (268 MP, 1 GiB as 32-bit pixels).
// Every decoder checks it against the dimensions in the header before it allocates
// anything, so a file that merely claims a huge size costs nothing. A refusal is an ordinary
// decode failure. Fuzzing builds lower the limits so that the fuzzer's memory limit (512 MB)
// catches what is really wrong rather than pictures the limits admit by design, and its time
// limit what is slow rather than large: a 30-byte GIF may declare a screen of 16 MP, which
// costs a third of a second under the sanitizers to fill (1 MP is as good for finding faults).
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr qint64 kMaxPixels = qint64(1) << 20;
#else
inline constexpr qint64 kMaxPixels = qint64(1) << 28;
#endif

// libjpeg's own memory for one decode: the whole-image coefficient buffers of progressive and
// multi-scan files (2 bytes per coefficient, some 3 to 6 bytes per pixel), which a few hundred
// bytes of header can make it ask for. A file needing more is refused before they are
// allocated: 512 MiB still holds a 170 MP progressive photo (4:2:0).
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr qint64 kMaxJpegWorkBytes = qint64(128) << 20;
#else
inline constexpr qint64 kMaxJpegWorkBytes = qint64(512) << 20;
#endif

// A progressive JPEG may consist of any number of scans, each re-reading the whole picture;
// files with more than this are refused so that a small crafted file cannot stall a worker.
inline constexpr int kMaxJpegScans = 500;

inline bool exceedsPixelLimit(qint64 width, qint64 height)
{
    return width <= 0 || height <= 0 || width > kMaxPixels || height > kMaxPixels
        || width * height > kMaxPixels;
}

// a * b, or the largest qint64 when the product does not fit (sizes read from a file may be
// anything; comparing a saturated product with a limit still refuses it).
inline qint64 saturatingProduct(qint64 a, qint64 b)
{
    qint64 product = 0;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<qint64>::max() : product;
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
