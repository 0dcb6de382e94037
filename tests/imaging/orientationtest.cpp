// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/orientation.h"

#include "imaging/fitrect.h"
#include "imaging/picturedecoder.h"
#include "imaging/thumbnailer.h"

#include "support/testpictures.h"

#include <gtest/gtest.h>

#include <array>

using namespace zarvo;
using namespace zarvo::testpictures;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 160;
// The stored picture's quadrants: top left, top right, bottom left, bottom right.
constexpr std::array<QRgb, 4> kQuadrants
    = { qRgb(230, 20, 20), qRgb(20, 200, 20), qRgb(20, 20, 230), qRgb(230, 230, 20) };

QImage quadrants()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(
                x, y, kQuadrants[(y >= kHeight / 2 ? 2 : 0) + (x >= kWidth / 2 ? 1 : 0)]);
    return image;
}

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40
        && std::abs(qBlue(a) - qBlue(b)) < 40;
}

// Checks that the picture inside `area` of `image` shows, at the centres of its quadrants,
// the stored quadrants `seen` (top left, top right, bottom left, bottom right).
void expectQuadrants(
    const QImage& image, const QRect& area, const std::array<int, 4>& seen, const char* what)
{
    for (int q = 0; q < 4; ++q) {
        const int x = area.left() + area.width() * (q % 2 == 0 ? 1 : 3) / 4;
        const int y = area.top() + area.height() * (q < 2 ? 1 : 3) / 4;
        EXPECT_TRUE(near(image.pixel(x, y), kQuadrants[seen[q]]))
            << what << ": quadrant " << q << " shows " << std::hex << image.pixel(x, y)
            << " instead of " << kQuadrants[seen[q]];
    }
}

// Which stored quadrant the upright picture shows at its top left, top right, bottom left
// and bottom right, from the meaning of the Exif values (where the stored 0th row and 0th
// column belong when viewed).
struct Case
{
    int orientation;
    std::array<int, 4> seen;
};
constexpr Case kCases[] = {
    { 1, { 0, 1, 2, 3 } }, // row 0 top, column 0 left
    { 2, { 1, 0, 3, 2 } }, // row 0 top, column 0 right
    { 3, { 3, 2, 1, 0 } }, // row 0 bottom, column 0 right
    { 4, { 2, 3, 0, 1 } }, // row 0 bottom, column 0 left
    { 5, { 0, 2, 1, 3 } }, // row 0 left, column 0 top
    { 6, { 2, 0, 3, 1 } }, // row 0 right, column 0 top
    { 7, { 3, 1, 2, 0 } }, // row 0 right, column 0 bottom
    { 8, { 1, 3, 0, 2 } }, // row 0 left, column 0 bottom
};

} // namespace

TEST(JpegOrientation, EveryExifOrientationDecodesUprightAndDamagedExifMeansNone)
{
    const QByteArray plain = encodeJpeg(quadrants(), 95);
    const auto expectUpright = [](const QByteArray& jpeg, int orientation,
                                   const std::array<int, 4>& seen) {
        const QSize upright = orientation >= 5 ? QSize(kHeight, kWidth) : QSize(kWidth, kHeight);
        const DecodedPicture full = decodePicture(PictureFormat::Jpeg, jpeg);
        ASSERT_TRUE(full.ok()) << full.error.toStdString();
        EXPECT_EQ(full.image.size(), upright);
        expectQuadrants(full.image, full.image.rect(), seen, "full decode");

        // Scaled in the DCT domain to 160 x 80, then drawn into the upright rectangle.
        Thumbnailer thumbnailer;
        const DecodedPicture thumb = thumbnailer.makeThumbnail(PictureFormat::Jpeg, jpeg);
        ASSERT_TRUE(thumb.ok()) << thumb.error.toStdString();
        const DrawRect r = FitRect(upright.width(), upright.height(), 150, 150);
        expectQuadrants(
            thumb.image, QRect(r.left, r.top, r.width(), r.height()), seen, "thumbnail");
        EXPECT_EQ(thumb.image.pixel(upright.width() > upright.height() ? 75 : 2,
                      upright.width() > upright.height() ? 2 : 75),
            0xffffffffu)
            << "white beside the upright rectangle";
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.orientation);
        const QByteArray exif = exifWithOrientation(c.orientation, c.orientation % 2 == 1);
        EXPECT_EQ(exifOrientation(exif.mid(6)), c.orientation) << "a bare TIFF structure";
        const QByteArray jpeg = withApp1(plain, exif);
        expectUpright(jpeg, c.orientation, c.seen);
        EXPECT_EQ(exifOrientation(jpeg), c.orientation) << "a whole JPEG";
        // A second Exif block is not the picture's.
        expectUpright(withApp1(jpeg, exifWithOrientation(1, false)), 1, kCases[0].seen);
    }

    // Absent, damaged or meaningless: as stored, never a failure.
    const QByteArray six = exifWithOrientation(6, true);
    QByteArray garbage("Exif\0\0", 6);
    for (int i = 0; i < 300; ++i)
        garbage.append(char((i * 131 + 7) % 251));
    QByteArray pastTheEnd = six;
    pastTheEnd[10] = char(0x7f); // IFD0's offset points far beyond the block
    const QByteArray damaged[] = {
        plain,
        withApp1(plain, six.left(6 + 8 + 2 + 5)), // cut inside the orientation entry
        withApp1(plain, six.left(6 + 4)), // cut inside the TIFF header
        withApp1(plain, QByteArray("Exif\0\0", 6)),
        withApp1(plain, garbage),
        withApp1(plain, pastTheEnd),
        withApp1(plain, exifWithOrientation(9, false)),
        withApp1(plain, exifWithOrientation(0, true)),
    };
    for (const QByteArray& jpeg : damaged) {
        SCOPED_TRACE(&jpeg - damaged);
        expectUpright(jpeg, 1, kCases[0].seen);
    }
}

TEST(WebpOrientation, EveryExifOrientationOfItsExifChunkDecodesUpright)
{
    // Made by cwebp, the EXIF chunk added by webpmux. The full picture and the thumbnail (scaled
    // by libwebp while decoding) come upright; the thumbnail is 150 x 75 or 75 x 150.
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.orientation);
        const QByteArray webp = encodeWebp(quadrants(), 90, c.orientation);
        ASSERT_FALSE(webp.isEmpty());
        const QSize upright = c.orientation >= 5 ? QSize(kHeight, kWidth) : QSize(kWidth, kHeight);
        const DecodedPicture full = decodePicture(PictureFormat::Webp, webp);
        ASSERT_TRUE(full.ok()) << full.error.toStdString();
        EXPECT_EQ(full.image.size(), upright);
        expectQuadrants(full.image, full.image.rect(), c.seen, "full decode");
        Thumbnailer thumbnailer;
        const DecodedPicture thumb = thumbnailer.makeThumbnail(PictureFormat::Webp, webp);
        ASSERT_TRUE(thumb.ok()) << thumb.error.toStdString();
        const DrawRect r = FitRect(upright.width(), upright.height(), 150, 150);
        expectQuadrants(
            thumb.image, QRect(r.left, r.top, r.width(), r.height()), c.seen, "thumbnail");
        EXPECT_EQ(thumb.image.pixel(upright.width() > upright.height() ? 75 : 2,
                      upright.width() > upright.height() ? 2 : 75),
            0xffffffffu)
            << "white beside the upright rectangle";
    }
}
