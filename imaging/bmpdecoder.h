// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>

namespace zarvo {

// Reads a Windows bitmap file held in memory as it is, with Qt's bitmap reader: the result
// keeps the format Qt gives it (indexed, RGB32, or ARGB32 for bitmaps with an alpha mask).
// The size in the header is checked against kMaxPixels before anything is allocated, and an
// uncompressed bitmap whose pixel rows are not all in the file is a failure. Qt's own limits
// apply as well: its reader refuses bitmaps over 16384 x 16384 pixels, and
// QImageReader::allocationLimit() (256 MB by default) bounds the picture it allocates.
// Thread-safe; takes its memory through DecodeBudget::shared().
DecodedPicture decodeBmp(const QByteArray& bytes);

} // namespace zarvo
