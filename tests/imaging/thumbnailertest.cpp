// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/thumbnailer.h"

#include "imaging/fitrect.h"
#include "imaging/picturedecoder.h"

#include "support/testpictures.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <thread>

using namespace zarvo;
using namespace zarvo::testpictures;

namespace {

constexpr QRgb kWhite = 0xffffffffu;

// The slow way the thumbnail is defined: full-size work picture, drawn stretched into its
// FitRect on white.
QImage referenceThumbnail(PictureFormat format, const QByteArray& bytes)
{
    const DecodedPicture work = decodePicture(format, bytes);
    EXPECT_TRUE(work.ok()) << work.error.toStdString();
    QImage thumbnail(150, 150, QImage::Format_RGB32);
    thumbnail.fill(kWhite);
    const DrawRect r = FitRect(work.image.width(), work.image.height(), 150, 150);
    if (!r.isEmpty()) {
        QPainter painter(&thumbnail);
        painter.drawImage(QPoint(r.left, r.top),
            work.image.scaled(
                r.width(), r.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    return thumbnail;
}

QImage thumbnailOk(Thumbnailer& thumbnailer, PictureFormat format, const QByteArray& bytes)
{
    const DecodedPicture t = thumbnailer.makeThumbnail(format, bytes);
    EXPECT_TRUE(t.ok()) << t.error.toStdString();
    EXPECT_EQ(t.image.size(), QSize(150, 150));
    EXPECT_EQ(t.image.format(), QImage::Format_RGB32);
    return t.image;
}

// Everything outside the rectangle is white.
bool whiteOutside(const QImage& image, const DrawRect& r)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            if (!inside && image.pixel(x, y) != kWhite)
                return false;
        }
    }
    return true;
}

bool isWhite(QRgb p)
{
    return qRed(p) > 250 && qGreen(p) > 250 && qBlue(p) > 250;
}

} // namespace

TEST(Thumbnailer, SmallPictureIsCentredAtItsOwnSize)
{
    Thumbnailer thumbnailer;
    const QImage picture = blocks(40, 31, false);
    const QImage t
        = thumbnailOk(thumbnailer, PictureFormat::Png, encodePng(picture, PngKind::Rgb8));
    const DrawRect r = FitRect(40, 31, 150, 150); // (55, 59, 95, 90)
    EXPECT_TRUE(whiteOutside(t, r));
    EXPECT_EQ(t.copy(r.left, r.top, 40, 31).convertToFormat(QImage::Format_RGB32),
        picture.convertToFormat(QImage::Format_RGB32));
}

TEST(Thumbnailer, LargePictureTouchesTwoOppositeEdges)
{
    Thumbnailer thumbnailer;
    const QImage wide
        = thumbnailOk(thumbnailer, PictureFormat::Jpeg, encodeJpeg(photoLike(600, 300, 1), 90));
    const DrawRect wideRect = FitRect(600, 300, 150, 150);
    EXPECT_EQ(wideRect.top, 37);
    EXPECT_TRUE(whiteOutside(wide, wideRect));
    for (int y = wideRect.top; y < wideRect.bottom; ++y) {
        EXPECT_FALSE(isWhite(wide.pixel(0, y)));
        EXPECT_FALSE(isWhite(wide.pixel(149, y)));
    }

    const QImage tall
        = thumbnailOk(thumbnailer, PictureFormat::Bmp, encodeWithQt(photoLike(200, 700, 2), "BMP"));
    const DrawRect tallRect = FitRect(200, 700, 150, 150);
    EXPECT_TRUE(whiteOutside(tall, tallRect));
    for (int x = tallRect.left; x < tallRect.right; ++x) {
        EXPECT_FALSE(isWhite(tall.pixel(x, 0)));
        EXPECT_FALSE(isWhite(tall.pixel(x, 149)));
    }
}

TEST(Thumbnailer, TransparentPngShowsWhiteBehind)
{
    Thumbnailer thumbnailer;
    const QImage t = thumbnailOk(
        thumbnailer, PictureFormat::Png, encodePng(blocks(300, 300, true), PngKind::Rgba8));
    // Fully transparent top-left quarter of the quarter, half-transparent middle band.
    EXPECT_EQ(t.pixel(10, 10), kWhite);
    const QRgb band = t.pixel(20, 65);
    EXPECT_NEAR(qRed(band), 228, 2); // 200 red at alpha 128 over white
    EXPECT_NEAR(qGreen(band), 127, 2);
    EXPECT_EQ(t.pixel(20, 120), qRgb(0, 0, 200));
}

TEST(Thumbnailer, GifImageSmallerThanItsScreenKeepsItsPlace)
{
    GifFrame frame;
    frame.left = 150;
    frame.top = 100;
    frame.width = 100;
    frame.height = 50;
    frame.indices = QByteArray(5000, char(1));
    Thumbnailer thumbnailer;
    const QImage t = thumbnailOk(thumbnailer, PictureFormat::Gif,
        encodeGif(300, 200, { qRgb(0, 0, 0), qRgb(255, 0, 0) }, { frame }));
    // Screen 300 x 200 -> (0, 25, 150, 125) at half scale: the image covers x 75..125, y 75..100.
    EXPECT_EQ(t.pixel(100, 87), qRgb(255, 0, 0));
    EXPECT_EQ(t.pixel(30, 50), kWhite);
    EXPECT_EQ(t.pixel(100, 110), kWhite);
    EXPECT_EQ(t.pixel(60, 87), kWhite);
}

TEST(Thumbnailer, DctScaledJpegMatchesFullDecodeAndScale)
{
    Thumbnailer thumbnailer;
    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    const QImage photo = photoLike(2000, 1500, 11); // 1/8 scale: 250 x 188
    const Case cases[] = {
        { "1/8", encodeJpeg(photo, 90) },
        { "3/8", encodeJpeg(photoLike(500, 400, 12), 90) },
        { "progressive", encodeJpeg(photo, 90, true) },
        { "gray", encodeJpeg(photo, 90, false, JpegColor::Gray) },
        { "cmyk", encodeJpeg(photoLike(640, 480, 13), 90, false, JpegColor::Cmyk) },
        { "small", encodeJpeg(photoLike(100, 60, 14), 90) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage fast = thumbnailOk(thumbnailer, PictureFormat::Jpeg, c.bytes);
        const QImage reference = referenceThumbnail(PictureFormat::Jpeg, c.bytes);
        EXPECT_LT(meanDifference(fast, reference), 1.5);
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 150; ++x)
                ASSERT_EQ(qAlpha(fast.pixel(x, y)), 255);
        }
    }
}

TEST(Thumbnailer, EveryFormatLooksLikeTheWorkPictureDrawnIntoItsRectangle)
{
    GifFrame frame;
    frame.left = 20;
    frame.top = 10;
    frame.width = 200;
    frame.height = 100;
    for (int i = 0; i < 200 * 100; ++i)
        frame.indices.append(char((i / 7) % 4));
    frame.transparentIndex = 0;
    const QList<QRgb> colors
        = { qRgb(0, 0, 0), qRgb(200, 10, 10), qRgb(10, 200, 10), qRgb(10, 10, 200) };
    const QImage photo = photoLike(400, 260, 21);
    struct Case
    {
        PictureFormat format;
        QByteArray bytes;
    };
    const Case cases[] = {
        { PictureFormat::Png, encodePng(blocks(400, 260, true), PngKind::Rgba8, true) },
        { PictureFormat::Gif, encodeGif(260, 170, colors, { frame }) },
        { PictureFormat::Ico,
            encodeIco(
                { { blocks(64, 64, true), false, 32 }, { photo.scaled(256, 256), true, 32 } }) },
        { PictureFormat::Bmp, encodeWithQt(photo, "BMP") },
        { PictureFormat::Bmp,
            encodeWithQt(blocks(400, 260, false).convertToFormat(QImage::Format_Indexed8), "BMP") },
    };
    Thumbnailer thumbnailer;
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.format));
        EXPECT_LT(meanDifference(thumbnailOk(thumbnailer, c.format, c.bytes),
                      referenceThumbnail(c.format, c.bytes)),
            0.5);
    }
}

TEST(Thumbnailer, ReusedBuffersGiveTheSameResultsAsAFreshThumbnailer)
{
    GifFrame frame;
    frame.left = 5;
    frame.top = 5;
    frame.width = 20;
    frame.height = 20;
    frame.indices = QByteArray(400, char(1));
    frame.transparentIndex = 0;
    struct Case
    {
        PictureFormat format;
        QByteArray bytes;
    };
    const Case sequence[] = {
        { PictureFormat::Png, encodePng(photoLike(1000, 700, 31), PngKind::Rgb8) },
        { PictureFormat::Gif, encodeGif(60, 40, { qRgb(0, 0, 0), qRgb(1, 2, 3) }, { frame }) },
        { PictureFormat::Jpeg, encodeJpeg(photoLike(1200, 900, 32), 85) },
        { PictureFormat::Png, QByteArray("not a png") },
        { PictureFormat::Ico, encodeIco({ { blocks(48, 48, true), false, 32 } }) },
        { PictureFormat::Png, encodePng(blocks(90, 70, true), PngKind::Rgba8) },
        { PictureFormat::Other, QByteArray("anything") },
    };
    Thumbnailer reused;
    for (const Case& c : sequence) {
        SCOPED_TRACE(int(c.format));
        Thumbnailer fresh;
        const DecodedPicture expected = fresh.makeThumbnail(c.format, c.bytes);
        const DecodedPicture got = reused.makeThumbnail(c.format, c.bytes);
        EXPECT_EQ(got.ok(), expected.ok());
        EXPECT_EQ(got.image, expected.image);
        EXPECT_EQ(got.error, expected.error);
    }
}

TEST(Thumbnailer, ThinPictureGivesAWhiteThumbnailAndOtherFails)
{
    Thumbnailer thumbnailer;
    const QImage thin = thumbnailOk(
        thumbnailer, PictureFormat::Png, encodePng(blocks(151, 1, false), PngKind::Rgb8));
    EXPECT_TRUE(whiteOutside(thin, DrawRect {}));
    const DecodedPicture other = thumbnailer.makeThumbnail(PictureFormat::Other, QByteArray("x"));
    EXPECT_FALSE(other.ok());
    EXPECT_FALSE(other.error.isEmpty());
}

TEST(Thumbnailer, WorkerThreadsWithTheirOwnThumbnailersAgree)
{
    const QList<QByteArray> jpegs = { encodeJpeg(photoLike(900, 600, 41), 90),
        encodeJpeg(photoLike(640, 640, 42), 90), encodeJpeg(photoLike(300, 900, 43), 90, true) };
    Thumbnailer single;
    QList<QImage> expected;
    for (const QByteArray& bytes : jpegs)
        expected.append(single.makeThumbnail(PictureFormat::Jpeg, bytes).image);
    QList<QImage> results[2];
    std::thread workers[2];
    for (int w = 0; w < 2; ++w) {
        workers[w] = std::thread([&, w] {
            Thumbnailer own;
            for (int round = 0; round < 3; ++round) {
                for (const QByteArray& bytes : jpegs)
                    results[w].append(own.makeThumbnail(PictureFormat::Jpeg, bytes).image);
            }
        });
    }
    for (std::thread& t : workers)
        t.join();
    for (const QList<QImage>& list : results) {
        ASSERT_EQ(list.size(), 9);
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(list[i], expected[i % 3]);
    }
}
