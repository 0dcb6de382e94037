// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>

namespace zarvo {

class PixelBuffer;

// Decodes a Windows icon file (".ico"; cursor files are read the same way) held in memory.
// Of its images it takes the largest, by the pixel count its own header states (PNG or
// bitmap), then the one with more bits per pixel, then the first: so an icon always shows the
// same image. The result is a white Format_RGB32 picture of that image's size with the image
// drawn over it: alpha channel, else the AND mask, decides what stays white.
// Bitmap entries: 1, 4, 8, 24 and 32 bits per pixel, uncompressed; PNG entries: as decodePng.
// A failure: no usable image, data missing, or the chosen image over kMaxPixels.
// reuse: see allocatePicture. Thread-safe; takes its memory through DecodeBudget::shared().
DecodedPicture decodeIco(const QByteArray& bytes, PixelBuffer* reuse);

} // namespace zarvo
