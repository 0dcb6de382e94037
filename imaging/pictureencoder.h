// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace zarvo {

// What an encoder gives back: the file's bytes, or empty bytes and a short technical error text.
struct EncodedPicture
{
    QByteArray bytes;
    QString error;

    bool ok() const { return !bytes.isEmpty(); }
};

// Encoders of a work picture (any QImage format; alpha is ignored, pictures to be saved are
// already opaque) into the file formats a picture can be saved in. None throws; none keeps
// anything between calls; all are thread-safe.

// libjpeg-turbo, baseline, at `quality` (1-100).
EncodedPicture encodeJpegFile(const QImage& image, int quality);
// libpng, 8-bit RGB, zlib level 6.
EncodedPicture encodePngFile(const QImage& image);
// giflib: one image, its palette reduced by giflib's own quantiser to at most 256 colours.
EncodedPicture encodeGifFile(const QImage& image);
// Qt's Windows bitmap writer.
EncodedPicture encodeBmpFile(const QImage& image);
// A Windows icon with one 24-bit image: the colour image is the picture, the AND mask has a 1
// for each white pixel and a 0 for every other. Width and height at most 65535 (the directory
// entry says 0, "256 or more", beyond 255).
EncodedPicture encodeIcoFile(const QImage& image);

} // namespace zarvo
