// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>

namespace zarvo {

// Reads a Windows bitmap file held in memory as it is: RGB32, or ARGB32 for bitmaps whose alpha
// mask makes some pixel not fully transparent. Bitmaps with colour masks (bit fields after a
// 40-byte info header or inside a V2, V3, V4 or V5 one, and unmasked 52- and 56-byte ones) are
// read here, every channel scaled to eight bits; a missing or zero alpha mask means opaque.
// The others (plain RGB, palettes, run-length, the OS/2 headers) are read with Qt's bitmap
// reader, palettes made RGB32. The size in the header is checked against kMaxPixels before
// anything is allocated, and an uncompressed bitmap whose pixel rows are not all in the file
// is a failure. Qt's own limits apply to what it reads as well: its reader refuses bitmaps
// over 16384 x 16384 pixels, and QImageReader::allocationLimit() (256 MB by default) bounds
// the picture it allocates.
// Thread-safe; takes its memory through DecodeBudget::shared().
DecodedPicture decodeBmp(const QByteArray& bytes);

} // namespace zarvo
