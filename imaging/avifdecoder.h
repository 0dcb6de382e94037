// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>
#include <QSize>

namespace zarvo {

class PixelBuffer;

struct AvifDecodeResult
{
    DecodedPicture picture;
    // The picture's upright size.
    QSize fullSize;
};

// The Exif orientation (1 to 8) that turns stored rows upright the way a HEIF rotation (irot:
// `angle` quarter turns anticlockwise, 0 to 3) followed by a mirroring (imir: `mirror` -1 for
// none, 0 exchanging top and bottom, 1 exchanging left and right) does.
int orientationOfRotationAndMirror(int angle, int mirror);

// Decodes the primary picture of an AVIF file held in memory (libavif on dav1d; 8 to 12 bits,
// any chroma subsampling) into a Format_RGB32 picture, its alpha blended over white. libavif only
// reports the clean aperture, rotation and mirroring (clap, irot, imir): they are applied here,
// once, in that order, so the picture comes upright; an Exif orientation inside the file describes
// the same turn and is not applied again. box == 0 decodes at full size with the best chroma
// upsampling; box > 0 (a thumbnail) with the fastest (AVIF has no smaller decode). Refuses
// pictures over kMaxPixels and decodes whose memory would exceed the decode budget's total, both
// from the sizes the file states, before any pixel is decoded. reuse: see allocatePicture.
// Thread-safe; takes its memory through DecodeBudget::shared().
AvifDecodeResult decodeAvif(const QByteArray& bytes, int box, PixelBuffer* reuse);

} // namespace zarvo
