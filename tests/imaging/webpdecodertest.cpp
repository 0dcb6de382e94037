// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/webpdecoder.h"

#include "imaging/fitrect.h"
#include "imaging/picturedecoder.h"
#include "imaging/thumbnailer.h"

#include "support/testpictures.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::testpictures;

namespace {

// The thumbnail as defined: the reference picture drawn stretched into its FitRect on white.
QImage thumbnailOf(const QImage& picture)
{
    QImage thumbnail(150, 150, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    const DrawRect r = FitRect(picture.width(), picture.height(), 150, 150);
    QPainter painter(&thumbnail);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(r.left, r.top, r.width(), r.height()), picture);
    return thumbnail;
}

QImage square(QSize size, QRgb colour, QRect hole = {})
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    for (int y = hole.top(); y <= hole.bottom(); ++y)
        for (int x = hole.left(); x <= hole.right(); ++x)
            image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

} // namespace

TEST(WebpDecoder, StillPicturesDecodeLikeDwebpAtFullSizeAndAsThumbnails)
{
    struct Case
    {
        const char* name;
        QImage picture;
        int quality; // < 0: lossless
        double fullTolerance;
        double thumbnailTolerance;
    };
    const Case cases[] = {
        { "lossy photo", photoLike(960, 640, 3), 85, 0.5, 3.0 },
        { "lossy with alpha", blocks(640, 960, true), 90, 0.5, 4.0 },
        { "lossless with alpha", blocks(403, 211, true), -1, 0.0, 4.0 },
        { "smaller than a thumbnail", photoLike(90, 40, 8), 80, 0.5, 0.5 },
    };
    Thumbnailer thumbnailer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray webp = encodeWebp(c.picture, c.quality);
        const QImage reference = decodeWithDwebp(webp);
        ASSERT_FALSE(reference.isNull());
        const QImage expected = overWhite(reference).convertToFormat(QImage::Format_RGB32);
        const DecodedPicture full = decodePicture(PictureFormat::Webp, webp);
        ASSERT_TRUE(full.ok()) << full.error.toStdString();
        EXPECT_EQ(full.image.format(), QImage::Format_RGB32);
        ASSERT_EQ(full.image.size(), c.picture.size());
        EXPECT_LE(meanDifference(full.image, expected), c.fullTolerance);

        const DecodedPicture thumb = thumbnailer.makeThumbnail(PictureFormat::Webp, webp);
        ASSERT_TRUE(thumb.ok()) << thumb.error.toStdString();
        ASSERT_EQ(thumb.image.size(), QSize(150, 150));
        EXPECT_LE(meanDifference(thumb.image, thumbnailOf(expected)), c.thumbnailTolerance);
    }
    EXPECT_FALSE(isAnimatedWebp(encodeWebp(photoLike(8, 8, 1), 80)));
    EXPECT_FALSE(decodePicture(PictureFormat::Webp, QByteArray("RIFF\x10\0\0\0WEBPVP8 ", 16)).ok());
}

TEST(WebpDecoder, AnimationsPlayTheirComposedFramesAndShowTheFirstAsThumbnail)
{
    // Frame 1 covers only part of the canvas (the rest is white where shown); frame 2 is
    // blended over it with a transparent hole; frame 3 covers frame 2's corner.
    const QList<WebpFrame> frames = {
        { square(QSize(60, 40), qRgb(200, 30, 30)), QPoint(20, 10), 70 },
        { square(QSize(100, 80), qRgb(30, 30, 200), QRect(30, 20, 20, 20)), QPoint(0, 0), 100 },
        { square(QSize(40, 40), qRgb(30, 180, 30)), QPoint(60, 40), 250 },
    };
    const QByteArray webp = encodeAnimatedWebp(frames, 3);
    ASSERT_FALSE(webp.isEmpty());
    EXPECT_TRUE(isAnimatedWebp(webp));

    // The frames composed the way the WebP format defines it, by hand.
    QList<QImage> expected;
    QImage canvas(100, 80, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    for (const WebpFrame& frame : frames) {
        QPainter(&canvas).drawImage(frame.at, frame.image);
        expected.append(canvas.copy());
    }

    const GifAnimation animation = decodeWebpAnimation(webp);
    ASSERT_EQ(animation.status(), GifAnimation::Status::Complete)
        << animation.error().toStdString();
    EXPECT_EQ(animation.screenSize(), QSize(100, 80));
    ASSERT_EQ(animation.frameCount(), 3);
    EXPECT_EQ(animation.totalPlays(), 3);
    const int delays[] = { 7, 10, 25 };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(animation.frames()[i].delayCentiseconds, delays[i]);
        // Through the composer, in order and out of order.
        EXPECT_EQ(meanDifference(animation.composedFrame(i), expected[i]), 0.0);
    }
    GifComposer composer(animation);
    for (int i : { 0, 1, 2, 1 })
        EXPECT_EQ(meanDifference(composer.frame(i), expected[i]), 0.0) << i;

    // The still decoders show the first frame on white.
    const QImage first = overWhite(expected[0]).convertToFormat(QImage::Format_RGB32);
    const DecodedPicture full = decodePicture(PictureFormat::Webp, webp);
    ASSERT_TRUE(full.ok()) << full.error.toStdString();
    EXPECT_EQ(meanDifference(full.image, first), 0.0);
    Thumbnailer thumbnailer;
    const DecodedPicture thumb = thumbnailer.makeThumbnail(PictureFormat::Webp, webp);
    ASSERT_TRUE(thumb.ok()) << thumb.error.toStdString();
    EXPECT_LE(meanDifference(thumb.image, thumbnailOf(first)), 2.0);

    // Frames beyond the limit are left out; a cut file keeps nothing it cannot show.
    const GifAnimation cut
        = decodeWebpAnimation(webp, 2 * (100 * 80 * 4 + GifAnimation::kFrameOverheadBytes));
    EXPECT_EQ(cut.status(), GifAnimation::Status::Truncated);
    EXPECT_EQ(cut.frameCount(), 2);
    EXPECT_FALSE(decodeWebpAnimation(webp.left(webp.size() - 30)).ok());
    EXPECT_FALSE(decodeWebpAnimation(QByteArray()).ok());
    // A canvas over the pixel limit is refused from the header, before libwebp takes any memory.
    const GifAnimation huge = decodeWebpAnimation(withWebpCanvas(webp, 20000, 20000));
    EXPECT_FALSE(huge.ok());
    EXPECT_TRUE(huge.error().contains(QStringLiteral("too large"))) << huge.error().toStdString();
    EXPECT_FALSE(decodeWebpAnimation(withWebpCanvas(webp, 100000, 100000)).ok());
}
