// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

// Pictures made on the spot for the imaging tests and the benchmark corpus: the encoders
// here write files the way other programs do (libjpeg, libpng, giflib, Qt's writers), so the
// decoders are tested on real files without any stored fixture.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>
#include <QStringList>

namespace zarvo::testpictures {

// A photograph-like RGB32 picture: smooth colour gradients, a soft texture and fine grain.
// The same seed gives the same picture. grain is the amplitude of per-pixel noise.
QImage photoLike(int width, int height, quint32 seed, int grain = 4);

// A picture with sharp, distinct regions (easy to check after decoding), ARGB32 when
// withAlpha (a transparent corner and a half-transparent band), else RGB32.
QImage blocks(int width, int height, bool withAlpha);

enum class JpegColor { Rgb, Gray, Cmyk };
// libjpeg at the given quality; Gray writes the green channel, Cmyk writes Adobe-style
// (inverted) CMYK that decodes back to the picture's colours.
QByteArray encodeJpeg(
    const QImage& image, int quality, bool progressive = false, JpegColor color = JpegColor::Rgb);
// A valid progressive JPEG of some 570 scans (every AC coefficient in a band of its own,
// refined twice), more than a decoder should be made to read.
QByteArray encodeJpegManyScans(const QImage& image);

// An Exif block holding only an orientation tag in IFD0, as libexif writes it: the APP1
// payload ("Exif\0\0" and the TIFF structure), in big-endian (Motorola) or little-endian order.
QByteArray exifWithOrientation(int orientation, bool bigEndian);
// The JPEG with an APP1 segment of `payload` inserted right after its start marker.
QByteArray withApp1(const QByteArray& jpeg, const QByteArray& payload);

enum class PngKind { Rgb8, Rgba8, Rgb16, Rgba16, Gray8, Gray16, GrayAlpha8, Gray1, Palette8 };
// libpng. Gray kinds write the green channel (Gray1: green >= 128). Palette8 needs at most
// 256 distinct colours and writes their alpha as a tRNS chunk. 16-bit kinds write v * 257.
QByteArray encodePng(const QImage& image, PngKind kind, bool interlaced = false);

struct GifFrame
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    QByteArray indices; // width * height colour indices, row by row
    QList<QRgb> localColors; // empty: use the global table
    int transparentIndex = -1; // -1: no graphics control extension
    bool interlaced = false;
    int delayCentiseconds = 10;
    int disposal = 0; // 0 to 3 as stored
};
// giflib. globalColors may be empty (no global table). A file of several frames loops for ever;
// a frame gets a graphics control extension when it is transparent or one of several.
QByteArray encodeGif(int screenWidth, int screenHeight, const QList<QRgb>& globalColors,
    const QList<GifFrame>& frames);
// The same with every choice open: loopCount -1 writes no NETSCAPE2.0 extension, and
// `controlEveryFrame` gives every frame a graphics control extension.
QByteArray encodeGif(int screenWidth, int screenHeight, const QList<QRgb>& globalColors,
    const QList<GifFrame>& frames, int loopCount, bool controlEveryFrame);

struct IcoImage
{
    QImage image; // ARGB32
    bool png = false; // stored as a PNG entry, else as a bitmap entry
    int bits = 32; // bitmap entries: 1, 4, 8, 24 or 32
};
// An icon file: bitmap entries with an AND mask (set where alpha < 128) and, for 32 bits,
// the alpha channel; palette entries need at most 2^bits distinct colours.
QByteArray encodeIco(const QList<IcoImage>& images);

// Windows metafiles drawn by hand, record by record: on a drawing of `size` (pixels at 96 dpi),
// a rectangle filled with `fill` (and outlined in it), an ellipse, a black polyline and, when
// `text` is not empty, that text.
QByteArray encodeEmf(QSize size, QRect filled, QRgb fill, const QString& text = QString());
QByteArray encodeWmf(QSize size, QRect filled, QRgb fill, const QString& text = QString());

// WebP files made by Debian's own tools (package webp), run on files in a temporary directory.
// A failure of a tool is warned about and gives empty bytes (the tests check for them).
// cwebp of the picture (its alpha kept) at `quality`, lossless when quality < 0; with an EXIF
// chunk (webpmux) holding only that orientation (exifWithOrientation, little-endian) when
// orientation > 0.
QByteArray encodeWebp(const QImage& image, int quality, int orientation = 0);
// cwebp of a JPEG or PNG file's bytes at `quality` (as a photo would be turned into WebP).
QByteArray encodeWebpFromFile(const QByteArray& file, int quality);
struct WebpFrame
{
    QImage image;
    QPoint at; // even coordinates: WebP stores offsets halved
    int durationMs = 100;
};
// An animation put together by webpmux of lossless frames at their offsets (the canvas is what
// they cover together), blended over what is below, playing `plays` times (0: endless).
QByteArray encodeAnimatedWebp(const QList<WebpFrame>& frames, int plays);
// The WebP with the canvas size of its VP8X header (an extended file's) replaced; empty for a
// file without one.
QByteArray withWebpCanvas(QByteArray webp, int width, int height);
// dwebp's decode of a still WebP: ARGB32 (not premultiplied), null when it fails.
QImage decodeWithDwebp(const QByteArray& webp);

// Qt's writer for a format such as "BMP".
QByteArray encodeWithQt(const QImage& image, const char* format, int quality = -1);

// Runs a tool to its end (in `directory` when given); false when it cannot start or fails, and
// what it said then goes to *error, or to the log when error is null.
bool runTool(const QString& program, const QStringList& arguments, QString* error = nullptr,
    const QString& directory = {});
QByteArray readFile(const QString& path); // empty when it cannot be read
bool writeFile(const QString& path, const QByteArray& bytes);

// `input` written as the file `inputName` in a fresh directory, where each command (a program
// and its arguments) runs in turn; the bytes of the files `results` made there, in their order.
// Empty when a command fails or does not start, or a result is missing: Debian's encoders
// (ImageMagick, libtiff-tools, libjxl-tools) make the test files of the formats this program
// only reads.
QList<QByteArray> runTools(const QByteArray& input, const QString& inputName,
    const QList<QStringList>& commands, const QStringList& results);

// What a picture with alpha looks like over white (as decoders of this program draw it).
QImage overWhite(const QImage& image);

// Mean absolute difference per channel of two pictures of the same size (any format).
double meanDifference(const QImage& a, const QImage& b);

} // namespace zarvo::testpictures
