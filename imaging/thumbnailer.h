// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"
#include "imaging/pictureformat.h"
#include "imaging/pixelbuffer.h"

#include <QByteArray>

namespace zarvo {

// Makes folder-view thumbnails: a white kSize x kSize picture with the stored picture drawn
// stretched (smooth filter) into FitRect(w, h, kSize, kSize) of its full-size dimensions.
// It looks like decodePicture followed by that drawing, but is fast: a JPEG is scaled down
// by libjpeg-turbo while it is decoded (to the smallest M/8 that still covers the rectangle), a
// GIF costs only the part of its logical screen that its first image covers (drawn scaled into
// its place; the rest is white), and every format decodes into memory this object keeps for the
// next picture.
//
// Memory: keeps up to PixelBuffer::kKeepBytes (64 MiB) between calls, plus what the current
// decode needs while it runs (a 12 MP JPEG: about 0.8 MB; a 12 MP PNG: 48 MB).
// Threads: not thread-safe; make one per worker thread. Different Thumbnailers run in
// parallel; they share only DecodeBudget::shared().
class Thumbnailer
{
public:
    static constexpr int kSize = 150;
    // Raise whenever a change of this class or of a decoder changes any thumbnail: thumbnails
    // kept from an older version are then not used.
    static constexpr int kVersion = 3;

    // The Format_RGB32 thumbnail, or !ok() with the decoder's error text for a picture that
    // decodePicture would fail on as well (Other included).
    DecodedPicture makeThumbnail(PictureFormat format, const QByteArray& bytes);

    // An image made a thumbnail: the image itself when it is kSize x kSize RGB32; otherwise a
    // white kSize x kSize RGB32 picture with the image drawn over it into FitRect(w, h, kSize,
    // kSize) (transparency blended over white). Thread-safe.
    static QImage normalized(const QImage& image);

private:
    PixelBuffer m_buffer;
};

} // namespace zarvo
