// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// HEIF (HEIC) and AVIF pictures made by Debian's encoders, decoded at full size and as
// thumbnails, against what the formats' own tools decode and against the upright picture.
#include "imaging/heifdecoder.h"
#include "imaging/avifdecoder.h"
#include "imaging/orientation.h"
#include "imaging/picturedecoder.h"
#include "imaging/thumbnailer.h"

#include "support/heiftools.h"
#include "support/testpictures.h"

#include <QTransform>

#include <libheif/heif.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace zarvo;
using namespace zarvo::testpictures;

namespace {

struct Case
{
    const char* name;
    PictureFormat format;
    QByteArray bytes;
    QString suffix;
};

// The thumbnail drawn from a full-size picture the slow, plain way.
QImage thumbnailOf(const QImage& picture)
{
    return Thumbnailer::normalized(overWhite(picture));
}

// A HEIC written through libheif's own encoder (as heif-enc does), with the rotation and mirroring
// boxes (irot, imir) libheif writes for an Exif `orientation`.
QByteArray encodeHeicWithOrientation(const QImage& image, int orientation)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* picture = nullptr;
    QByteArray out;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code
            == heif_error_Ok
        && heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
               heif_chroma_interleaved_RGB, &picture)
                .code
            == heif_error_Ok
        && heif_image_add_plane(picture, heif_channel_interleaved, rgb.width(), rgb.height(), 8)
                .code
            == heif_error_Ok) {
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgb.height(); ++y)
            std::memcpy(plane + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
        heif_encoder_set_lossy_quality(encoder, 95);
        heif_encoding_options* options = heif_encoding_options_alloc();
        options->image_orientation = heif_orientation(orientation);
        if (heif_context_encode_image(context, picture, encoder, options, nullptr).code
            == heif_error_Ok) {
            heif_writer writer {};
            writer.writer_api_version = 1;
            writer.write = [](heif_context*, const void* data, size_t size, void* target) {
                static_cast<QByteArray*>(target)->append(
                    static_cast<const char*>(data), qsizetype(size));
                return heif_error { heif_error_Ok, heif_suberror_Unspecified, "" };
            };
            heif_context_write(context, &writer, &out);
        }
        heif_encoding_options_free(options);
    }
    if (picture)
        heif_image_release(picture);
    if (encoder)
        heif_encoder_release(encoder);
    heif_context_free(context);
    return out;
}

} // namespace

TEST(HeifAndAvif, FullSizeAndThumbnailMatchTheFormatsOwnDecoder)
{
    // Odd sizes: HEVC and 4:2:0 code even ones, so the encoders crop with a clean aperture.
    const QImage photo = photoLike(181, 121, 7);
    const QImage large = photoLike(640, 400, 8);
    const QImage transparent = blocks(97, 61, true);
    const QList<Case> cases = {
        { "heic", PictureFormat::Heif, encodeHeic(photo, 90), QStringLiteral(".heic") },
        { "heic with alpha", PictureFormat::Heif, encodeHeic(transparent, 95),
            QStringLiteral(".heic") },
        // Its stored thumbnail (200 px) is large enough for the folder view and is used.
        { "heic with a thumbnail", PictureFormat::Heif, encodeHeic(large, 90, 200),
            QStringLiteral(".heic") },
        // Its stored thumbnail (100 px) is too small: the picture itself is decoded.
        { "heic with a small thumbnail", PictureFormat::Heif, encodeHeic(large, 90, 100),
            QStringLiteral(".heic") },
        { "avif 4:4:4", PictureFormat::Avif, encodeAvif(photo), QStringLiteral(".avif") },
        { "avif 4:2:0", PictureFormat::Avif,
            encodeAvif(photo, { QStringLiteral("--yuv"), QStringLiteral("420") }),
            QStringLiteral(".avif") },
        { "avif 10 bits with alpha", PictureFormat::Avif,
            encodeAvif(transparent, { QStringLiteral("-d"), QStringLiteral("10") }),
            QStringLiteral(".avif") },
        { "avif read by libheif", PictureFormat::Heif, encodeAvif(photo), QStringLiteral(".avif") },
    };
    Thumbnailer thumbnailer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.isEmpty()) << "the encoder failed";
        const QImage reference = referenceDecode(c.bytes, c.suffix);
        ASSERT_FALSE(reference.isNull());

        const DecodedPicture full = decodePicture(c.format, c.bytes);
        ASSERT_TRUE(full.ok()) << full.error.toStdString();
        EXPECT_EQ(full.image.format(), QImage::Format_RGB32);
        ASSERT_EQ(full.image.size(), reference.size());
        EXPECT_LT(meanDifference(full.image, overWhite(reference)), 1.5);

        const DecodedPicture thumbnail = thumbnailer.makeThumbnail(c.format, c.bytes);
        ASSERT_TRUE(thumbnail.ok()) << thumbnail.error.toStdString();
        EXPECT_EQ(thumbnail.image.format(), QImage::Format_RGB32);
        EXPECT_LT(meanDifference(thumbnail.image, thumbnailOf(reference)), 3.0);
    }
}

// Rotation and mirroring boxes turn the picture upright once; an Exif orientation in the file
// (which describes the same turn for programs that read only Exif) is not applied on top.
TEST(HeifAndAvif, RotationAndMirroringApplyExactlyOnce)
{
    const QImage stored = photoLike(90, 50, 11);
    Thumbnailer thumbnailer;
    for (int angle = 0; angle < 4; ++angle) {
        for (int mirror : { -1, 0, 1 }) {
            SCOPED_TRACE(testing::Message() << "irot " << angle << ", imir " << mirror);
            // What the boxes mean, from their definitions: quarter turns anticlockwise, then the
            // exchange of top and bottom (0) or left and right (1).
            QImage upright = stored.transformed(QTransform().rotate(-90.0 * angle));
            if (mirror >= 0)
                upright = upright.mirrored(mirror == 1, mirror == 0);
            QStringList arguments { QStringLiteral("--irot"), QString::number(angle) };
            if (mirror >= 0)
                arguments << QStringLiteral("--imir") << QString::number(mirror);
            QByteArray avif = encodeAvif(stored, arguments);
            // An Exif orientation that would turn the picture yet again if it were applied.
            avif = withExifOrientation(avif, QStringLiteral(".avif"), 6);
            ASSERT_FALSE(avif.isEmpty());

            const DecodedPicture full = decodePicture(PictureFormat::Avif, avif);
            ASSERT_TRUE(full.ok()) << full.error.toStdString();
            ASSERT_EQ(full.image.size(), upright.size());
            EXPECT_LT(meanDifference(full.image, upright), 3.0);
            const DecodedPicture thumbnail = thumbnailer.makeThumbnail(PictureFormat::Avif, avif);
            ASSERT_TRUE(thumbnail.ok()) << thumbnail.error.toStdString();
            EXPECT_LT(meanDifference(thumbnail.image, thumbnailOf(upright)), 3.0);
            // libheif reads the same boxes the same way.
            const DecodedPicture heif = decodePicture(PictureFormat::Heif, avif);
            ASSERT_TRUE(heif.ok()) << heif.error.toStdString();
            EXPECT_LT(meanDifference(heif.image, upright), 3.0);
        }
    }

    // HEIC: libheif writes the boxes for the Exif orientation of a picture stored as it is, and
    // libheif's decoder applies them; the upright picture is the one the Exif value describes.
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(testing::Message() << "HEIC, orientation " << orientation);
        const QByteArray heic = withExifOrientation(
            encodeHeicWithOrientation(stored, orientation), QStringLiteral(".heic"), orientation);
        ASSERT_FALSE(heic.isEmpty());
        const QImage reference = referenceDecode(heic, QStringLiteral(".heic"));
        ASSERT_FALSE(reference.isNull());
        const DecodedPicture full = decodePicture(PictureFormat::Heif, heic);
        ASSERT_TRUE(full.ok()) << full.error.toStdString();
        ASSERT_EQ(full.image.size(), reference.size());
        EXPECT_LT(meanDifference(full.image, overWhite(reference)), 1.5);
        // Against the picture before encoding: the loss of 4:2:0 on its grain, nothing turned.
        EXPECT_LT(meanDifference(full.image, applyOrientation(stored, orientation)), 5.0);
        const DecodedPicture thumbnail = thumbnailer.makeThumbnail(PictureFormat::Heif, heic);
        ASSERT_TRUE(thumbnail.ok()) << thumbnail.error.toStdString();
        EXPECT_LT(meanDifference(thumbnail.image, thumbnailOf(reference)), 3.0);
    }
}
