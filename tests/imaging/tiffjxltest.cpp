// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/fitrect.h"
#include "imaging/picturedecoder.h"
#include "imaging/thumbnailer.h"

#include "support/testpictures.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::testpictures;

// TIFF and JPEG XL files are made by Debian's own tools (ImageMagick, libtiff-tools,
// libjxl-tools) and compared with what those tools decode.

namespace {

QStringList args(const QString& line)
{
    return line.split(u' ');
}

// The picture as in.png, through the commands, to the files `results`.
QList<QByteArray> made(
    const QImage& image, const QList<QStringList>& commands, const QStringList& results)
{
    const bool alpha = image.hasAlphaChannel();
    return runTools(encodePng(image, alpha ? PngKind::Rgba8 : PngKind::Rgb8),
        QStringLiteral("in.png"), commands, results);
}

QByteArray made(const QImage& image, const QList<QStringList>& commands, const char* result)
{
    const QList<QByteArray> files = made(image, commands, { QString::fromLatin1(result) });
    return files.isEmpty() ? QByteArray() : files.first();
}

// The thumbnail as it is defined: the full-size picture drawn stretched into its FitRect.
QImage thumbnailOf(const QImage& picture)
{
    QImage thumbnail(150, 150, QImage::Format_RGB32);
    thumbnail.fill(0xffffffffu);
    const DrawRect r = FitRect(picture.width(), picture.height(), 150, 150);
    QPainter(&thumbnail)
        .drawImage(QPoint(r.left, r.top),
            picture.scaled(r.width(), r.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return thumbnail;
}

QImage pngImage(const QByteArray& bytes)
{
    QImage image;
    image.loadFromData(bytes, "PNG");
    return image;
}

QImage decodedOk(PictureFormat format, const QByteArray& bytes)
{
    const DecodedPicture decoded = decodePicture(format, bytes);
    EXPECT_TRUE(decoded.ok()) << decoded.error.toStdString();
    EXPECT_TRUE(!decoded.ok() || decoded.image.format() == QImage::Format_RGB32);
    return decoded.image;
}

QImage thumbnailOk(PictureFormat format, const QByteArray& bytes)
{
    Thumbnailer thumbnailer;
    const DecodedPicture thumbnail = thumbnailer.makeThumbnail(format, bytes);
    EXPECT_TRUE(thumbnail.ok()) << thumbnail.error.toStdString();
    EXPECT_EQ(thumbnail.image.size(), QSize(150, 150));
    return thumbnail.image;
}

// An opaque photo with a clear corner and a half-clear band.
QImage withAlpha(int width, int height)
{
    QImage image = photoLike(width, height, 9).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb p = image.pixel(x, y);
            const int alpha
                = x < width / 4 && y < height / 4 ? 0 : (y > height * 2 / 3 ? 128 : 255);
            image.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), alpha));
        }
    return image;
}

QImage filled(int width, int height, QRgb color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Bits of a JPEG XL codestream, least significant first.
struct BitWriter
{
    QByteArray bytes;
    int used = 0;
    void put(quint32 value, int count)
    {
        for (int i = 0; i < count; ++i, ++used) {
            if (used % 8 == 0)
                bytes.append('\0');
            if (value >> i & 1)
                bytes[bytes.size() - 1] = char(bytes.back() | 1 << (used % 8));
        }
    }
};

} // namespace

TEST(TiffAndJxl, EveryKindMatchesTheToolsDecodeAtFullSizeAndAsThumbnail)
{
    struct Case
    {
        const char* name;
        PictureFormat format;
        char source; // 'p'hoto, photo with 'a'lpha, 'b'locks of few colours
        QList<const char*> make; // commands from in.png to x.tif or x.jxl
        double tolerance; // mean difference per channel from the reference
    };
    const Case cases[] = {
        { "tiff rgb 8 bits deflate", PictureFormat::Tiff, 'p',
            { "convert in.png -depth 8 -compress zip x.tif" }, 0.5 },
        { "tiff rgb 16 bits", PictureFormat::Tiff, 'p', { "convert in.png -depth 16 x.tif" }, 0.5 },
        { "tiff gray 8 bits", PictureFormat::Tiff, 'p',
            { "convert in.png -colorspace Gray -depth 8 x.tif" }, 0.5 },
        { "tiff gray 16 bits", PictureFormat::Tiff, 'p',
            { "convert in.png -colorspace Gray -depth 16 x.tif" }, 0.5 },
        { "tiff palette", PictureFormat::Tiff, 'b',
            { "convert in.png -type Palette -depth 8 x.tif" }, 0.5 },
        { "tiff rgba", PictureFormat::Tiff, 'a', { "convert in.png -depth 8 x.tif" }, 1.0 },
        { "tiff gray with alpha", PictureFormat::Tiff, 'a',
            { "convert in.png -colorspace Gray -depth 8 x.tif" }, 1.0 },
        { "tiff jpeg ycbcr tiles", PictureFormat::Tiff, 'p',
            { "convert in.png -depth 8 -compress none plain.tif",
                "tiffcp -c jpeg:90 -t -w 32 -l 32 plain.tif x.tif" },
            2.5 },
        { "tiff planes separate lzw", PictureFormat::Tiff, 'p',
            { "convert in.png -depth 8 -compress none plain.tif",
                "tiffcp -c lzw -p separate -r 7 plain.tif x.tif" },
            0.5 },
        { "tiff cmyk", PictureFormat::Tiff, 'p',
            { "convert in.png -colorspace CMYK -depth 8 x.tif" }, 2.0 },
        { "jxl lossy", PictureFormat::Jxl, 'p', { "cjxl -q 90 in.png x.jxl" }, 1.0 },
        { "jxl lossless", PictureFormat::Jxl, 'p', { "cjxl -d 0 in.png x.jxl" }, 0.5 },
        { "jxl lossless with alpha", PictureFormat::Jxl, 'a', { "cjxl -d 0 in.png x.jxl" }, 0.5 },
        { "jxl lossy with alpha", PictureFormat::Jxl, 'a', { "cjxl -q 90 in.png x.jxl" }, 1.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool tiff = c.format == PictureFormat::Tiff;
        const QImage source = c.source == 'a' ? withAlpha(301, 203)
            : c.source == 'b'                 ? blocks(301, 203, false)
                                              : photoLike(301, 203, 4);
        QList<QStringList> commands;
        for (const char* line : c.make)
            commands.append(args(QString::fromLatin1(line)));
        commands.append(args(tiff ? QStringLiteral("convert x.tif[0] ref.png")
                                  : QStringLiteral("djxl x.jxl ref.png")));
        const QList<QByteArray> files = made(source, commands,
            { tiff ? QStringLiteral("x.tif") : QStringLiteral("x.jxl"),
                QStringLiteral("ref.png") });
        ASSERT_EQ(files.size(), 2);
        const QByteArray& bytes = files[0];
        const QImage reference = overWhite(pngImage(files[1]));
        ASSERT_EQ(reference.size(), QSize(301, 203));

        const QImage full = decodedOk(c.format, bytes);
        EXPECT_EQ(full.size(), QSize(301, 203));
        EXPECT_LT(meanDifference(full, reference), c.tolerance);
        EXPECT_LT(
            meanDifference(thumbnailOk(c.format, bytes), thumbnailOf(reference)), c.tolerance);
    }
}

TEST(TiffAndJxl, EveryOrientationDecodesUprightOnce)
{
    // The upright reference is the JPEG decoder's picture of a JPEG carrying the same Exif
    // orientation. A TIFF keeps the orientation in its own tag (set by tiffset); cjxl
    // recompresses the JPEG and carries it into the JPEG XL codestream.
    const QImage source = photoLike(120, 72, 11, 0);
    const QByteArray plainJpeg = encodeJpeg(source, 97);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const QByteArray jpeg
            = withApp1(plainJpeg, exifWithOrientation(orientation, orientation % 2 == 0));
        const QImage upright = decodedOk(PictureFormat::Jpeg, jpeg);
        ASSERT_EQ(upright.size(), orientation >= 5 ? QSize(72, 120) : QSize(120, 72));

        const QByteArray tiff = made(source,
            { args(QStringLiteral("convert in.png -depth 8 -compress zip x.tif")),
                args(QStringLiteral("tiffset -s 274 %1 x.tif").arg(orientation)) },
            "x.tif");
        const QList<QByteArray> jxlFiles = runTools(jpeg, QStringLiteral("in.jpg"),
            { args(QStringLiteral("cjxl --lossless_jpeg=1 in.jpg x.jxl")) },
            { QStringLiteral("x.jxl") });
        const QByteArray jxl = jxlFiles.value(0);
        for (const auto& [format, bytes] :
            { std::pair(PictureFormat::Tiff, tiff), std::pair(PictureFormat::Jxl, jxl) }) {
            SCOPED_TRACE(format == PictureFormat::Tiff ? "tiff" : "jxl");
            ASSERT_FALSE(bytes.isEmpty());
            const QImage full = decodedOk(format, bytes);
            EXPECT_EQ(full.size(), upright.size());
            EXPECT_LT(meanDifference(full, upright), 2.0);
            EXPECT_LT(
                meanDifference(thumbnailOk(format, bytes), Thumbnailer::normalized(upright)), 2.0);
        }
    }
}

TEST(TiffAndJxl, TiffThumbnailsUseTheSmallestFittingReducedPage)
{
    // The first page is red; later pages have colours of their own, so the thumbnail's centre
    // tells which page it was made from. tiffset marks pages as reduced images (tag 254).
    const QRgb red = qRgb(220, 0, 0);
    struct Page
    {
        QSize size;
        QRgb color;
        bool reduced;
    };
    struct Case
    {
        const char* name;
        QList<Page> pages; // after the first, 400 x 300
        QRgb expected;
    };
    const QRgb blue = qRgb(0, 0, 220);
    const QRgb green = qRgb(0, 200, 0);
    const Case cases[] = {
        { "reduced page", { { { 200, 150 }, blue, true } }, blue },
        { "smallest of two", { { { 300, 225 }, green, true }, { { 200, 150 }, blue, true } },
            blue },
        { "a page not marked reduced", { { { 200, 150 }, blue, false } }, red },
        { "too small", { { { 148, 111 }, blue, true } }, red },
        { "another aspect", { { { 200, 120 }, blue, true } }, red },
        { "as large as the first", { { { 400, 300 }, blue, true } }, red },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes;
        {
            // ImageMagick writes every page of a multi-page TIFF as a picture of its own; a
            // 1-pixel picture before it holds the pages' pictures (in.png is the first page).
            QStringList convert = { QStringLiteral("convert"), QStringLiteral("in.png") };
            QList<QStringList> commands;
            for (int i = 0; i < c.pages.size(); ++i) {
                const Page& page = c.pages[i];
                commands.append({ QStringLiteral("convert"), QStringLiteral("-size"),
                    QStringLiteral("%1x%2").arg(page.size.width()).arg(page.size.height()),
                    QStringLiteral("xc:#%1").arg(page.color & 0xffffff, 6, 16, QLatin1Char('0')),
                    QStringLiteral("p%1.png").arg(i) });
                convert.append(QStringLiteral("p%1.png").arg(i));
            }
            convert.append(
                { QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("x.tif") });
            commands.append(convert);
            for (int i = 0; i < c.pages.size(); ++i) {
                if (c.pages[i].reduced)
                    commands.append(
                        args(QStringLiteral("tiffset -d %1 -s 254 1 x.tif").arg(i + 1)));
            }
            bytes = made(filled(400, 300, red), commands, "x.tif");
        }
        ASSERT_FALSE(bytes.isEmpty());
        const QImage full = decodedOk(PictureFormat::Tiff, bytes);
        EXPECT_EQ(full.size(), QSize(400, 300));
        EXPECT_EQ(full.pixel(200, 150), red);
        const QImage thumbnail = thumbnailOk(PictureFormat::Tiff, bytes);
        EXPECT_EQ(thumbnail.pixel(75, 75), c.expected);
        EXPECT_EQ(thumbnail.pixel(75, 10), qRgb(255, 255, 255)) << "above the 150 x 112 picture";
    }
}

TEST(TiffAndJxl, HugeClaimsAreRefusedBeforeAllocating)
{
    const QByteArray tiff = made(filled(8, 8, qRgb(1, 2, 3)),
        { args(QStringLiteral("convert in.png -depth 8 -compress zip x.tif")),
            args(QStringLiteral("tiffset -s 256 100000 x.tif")),
            args(QStringLiteral("tiffset -s 257 100000 x.tif")) },
        "x.tif");
    ASSERT_FALSE(tiff.isEmpty());
    ASSERT_LT(tiff.size(), 1000);

    // A bare codestream: its signature, a size header of 100000 x 100000 (height and width each
    // as 1 + an 18-bit number, no ratio) and default metadata; nothing else.
    BitWriter jxl;
    jxl.put(0x0aff, 16);
    jxl.put(0, 1); // not a multiple of 8
    jxl.put(2, 2);
    jxl.put(99999, 18);
    jxl.put(0, 3); // no ratio: the width follows
    jxl.put(2, 2);
    jxl.put(99999, 18);
    jxl.put(1, 1); // all metadata default
    jxl.bytes.append(QByteArray(16, '\0'));

    Thumbnailer thumbnailer;
    for (const auto& [format, bytes] :
        { std::pair(PictureFormat::Tiff, tiff), std::pair(PictureFormat::Jxl, jxl.bytes) }) {
        SCOPED_TRACE(format == PictureFormat::Tiff ? "tiff" : "jxl");
        for (const DecodedPicture& decoded :
            { decodePicture(format, bytes), thumbnailer.makeThumbnail(format, bytes) }) {
            EXPECT_FALSE(decoded.ok());
            EXPECT_TRUE(decoded.error.contains(QStringLiteral("too large")))
                << decoded.error.toStdString();
        }
    }
}
