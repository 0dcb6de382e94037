// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>
#include <QSize>

namespace zarvo {

struct HeifDecodeResult
{
    DecodedPicture picture;
    // The primary picture's upright size (also when a stored thumbnail was decoded instead).
    QSize fullSize;
};

// Decodes the primary picture of a HEIF file (HEIC: HEVC inside, and whatever else libheif reads)
// held in memory into a Format_RGB32 picture, its alpha blended over white. libheif applies the
// file's clean aperture, rotation and mirroring (clap, irot, imir), so the picture comes upright;
// an Exif orientation inside the file describes the same turn and is not applied again.
// box == 0 decodes at full size. box > 0 asks for a thumbnail of at most box x box: the smallest
// thumbnail stored in the file whose longer side is at least box and whose shape is the primary
// picture's is decoded instead when there is one (fullSize still tells the primary's size).
// Refuses pictures over kMaxPixels and decodes whose memory would exceed the decode budget's total,
// both from the sizes the file states, before any pixel is decoded.
// Thread-safe; takes its memory through DecodeBudget::shared().
HeifDecodeResult decodeHeif(const QByteArray& bytes, int box);

} // namespace zarvo
