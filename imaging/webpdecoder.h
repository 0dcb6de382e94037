// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"
#include "imaging/gifanimation.h"

#include <QByteArray>
#include <QRect>
#include <QSize>

namespace zarvo {

class PixelBuffer;

struct WebpDecodeResult
{
    DecodedPicture picture;
    // The picture's upright size (the canvas of an animation), also when decoded scaled down.
    QSize fullSize;
    // The part of the full-size picture that picture.image shows, when it is not all of it: an
    // animation's first frame, which may cover only part of its canvas (the rest is white).
    QRect part;
};

// Decodes a WebP held in memory (lossy or lossless, with or without alpha; of an animation its
// first frame) into a Format_RGB32 picture, its transparency blended over white. A still picture
// comes upright: turned and mirrored by the Exif orientation of its EXIF chunk (exifOrientation;
// none when the chunk is absent or damaged); an animation's frames are drawn as stored.
//
// box == 0: the whole picture at full size (an animation's first frame on its white canvas;
// `part` empty). box > 0: scaled down by libwebp while decoding to FitRect(full width, full
// height, box, box) when larger than that; of an animation only its first frame, at the size
// it takes in that rectangle, with `part` telling where it lies on the canvas.
//
// Refuses pictures over kMaxPixels (the canvas and the frame, from the headers, before
// anything is allocated) and decodes whose memory would exceed the decode budget's total.
// reuse: see allocatePicture. Thread-safe; takes its memory through DecodeBudget::shared().
WebpDecodeResult decodeWebp(const QByteArray& bytes, int box, PixelBuffer* reuse);

// Whether the bytes are a WebP animation (a VP8X header with the animation flag), from the header
// alone.
bool isAnimatedWebp(const QByteArray& bytes);

// Every frame of an animated WebP, composed on its canvas by libwebp (blending and disposal
// applied), for the viewer's player: each frame a Format_ARGB32_Premultiplied picture of the
// canvas (transparent where nothing is drawn) covering the whole screen, with its duration
// (in centiseconds, rounded) and the loop count read as a GIF's (a file that plays once has
// none). The frames kept take at most `maxFrameBytes` (4 bytes a pixel plus
// GifAnimation::kFrameOverheadBytes each); beyond that the animation is Truncated, a damaged
// file keeps the frames before the damage (Damaged), and one that gives no frame at all, or
// whose canvas is over kMaxPixels, Failed. libwebp's two canvases are taken through
// DecodeBudget::shared() while it decodes. Thread-safe.
GifAnimation decodeWebpAnimation(
    const QByteArray& bytes, qint64 maxFrameBytes = GifAnimation::kMaxFrameBytes);

} // namespace zarvo
