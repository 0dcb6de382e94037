// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

namespace zarvo {

class PixelBuffer;

// Decodes the first image of a GIF held in memory onto a white Format_RGB32 picture of the
// GIF's logical screen size: drawn at its own position (clipped to the screen), with its
// local colour table or else the global one, and with the transparent index of a graphics
// control extension before it left white, as are indices beyond the colour table. The
// background colour is not used: what the first image does not cover stays white. A GIF whose
// logical screen is 0 wide or high gets the extent of its first image instead. Reads nothing after
// the first image. Image data that ends early or is damaged after whole rows keeps the rows read
// (an interlaced image's rows of the passes read); the rows not read stay white. A failure: no
// image, no colour table, image data without one whole row, or dimensions over kMaxPixels.
// reuse: see allocatePicture. Thread-safe; takes its memory through DecodeBudget::shared().
DecodedPicture decodeGif(const QByteArray& bytes, PixelBuffer* reuse);

// The first image as decodeGif draws it, but when it covers less than a quarter of the screen,
// only the part of the screen it covers: the rest of that picture is white. So it costs at most
// four times the image's pixels, however large the screen it declares.
struct GifFirstImage
{
    QImage image; // Format_RGB32; null when the image covers nothing of the screen
    QPoint position; // where image lies on the screen
    QSize screen; // the size of decodeGif's picture
    QString error; // empty on success; what decodeGif would fail with

    bool ok() const { return error.isEmpty(); }
};
GifFirstImage decodeGifFirstImage(const QByteArray& bytes, PixelBuffer* reuse);

} // namespace zarvo
