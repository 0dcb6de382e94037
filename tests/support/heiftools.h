// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

// HEIF and AVIF files made by Debian's own tools (heif-enc from libheif-examples, avifenc from
// libavif-bin, exiftool), and the pictures those tools' decoders (heif-convert, avifdec) read
// back from them: real files for the tests, the fuzz seeds and the benchmark corpus.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

namespace zarvo::testpictures {

// Runs `program` on `image` written as a PNG: the arguments, then the PNG's path, then the
// output path (ending in `outputSuffix`, such as ".heic"); the output file's bytes, or empty when
// the program failed or is missing (`error`, when given, then tells why).
QByteArray encodeWithTool(const QString& program, const QStringList& arguments, const QImage& image,
    const QString& outputSuffix, QString* error = nullptr);

// heif-enc at `quality`; `thumbnail` > 0 also stores a thumbnail of at most that size.
QByteArray encodeHeic(const QImage& image, int quality, int thumbnail = 0);
// avifenc at its fastest speed with `arguments` (such as --irot 1, --imir 0, --yuv 420).
QByteArray encodeAvif(const QImage& image, const QStringList& arguments = {});

// The file with its Exif orientation tag set to `orientation` by exiftool; empty on failure.
QByteArray withExifOrientation(const QByteArray& file, const QString& suffix, int orientation);

// What the format's own tool decodes the file into (heif-convert for ".heic", avifdec for
// ".avif", as PNG); null on failure. avifdec leaves irot and imir unapplied.
QImage referenceDecode(const QByteArray& file, const QString& suffix);

} // namespace zarvo::testpictures
