// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>

namespace zarvo {

class PixelBuffer;

// Decodes the first image of a GIF held in memory onto a white Format_RGB32 picture of the
// GIF's logical screen size: drawn at its own position (clipped to the screen), with its
// local colour table or else the global one, and with the transparent index of a graphics
// control extension before it left white, as are indices beyond the colour table. The
// background colour is not used: what the first image does not cover stays white. A GIF whose
// logical screen is 0 wide or high gets the extent of its first image instead. Reads nothing after
// the first image. A failure: no image, no colour table, damaged or truncated image data, or
// dimensions over kMaxPixels. reuse: see allocatePicture. Thread-safe; takes its memory through
// DecodeBudget::shared().
DecodedPicture decodeGif(const QByteArray& bytes, PixelBuffer* reuse);

} // namespace zarvo
