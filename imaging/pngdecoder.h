// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>

namespace zarvo {

class PixelBuffer;

// Decodes a PNG held in memory (any colour type and bit depth, interlaced or not) into a
// Format_RGB32 picture of the PNG's size with its transparency blended over white.
// Ignores data after the last image row. Refuses pictures over kMaxPixels.
// reuse: see allocatePicture. Thread-safe; takes its memory through DecodeBudget::shared().
DecodedPicture decodePng(const QByteArray& bytes, PixelBuffer* reuse);

// The same for a PNG inside another file (an icon entry); bytes are not copied.
DecodedPicture decodePng(const uchar* data, qsizetype size, PixelBuffer* reuse);

} // namespace zarvo
