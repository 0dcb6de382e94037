// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/picturedecoder.h"
#include "imaging/thumbnailer.h"

#include "support/testpictures.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace zarvo;
using namespace zarvo::testpictures;

namespace {

struct Sample
{
    const char* name;
    PictureFormat format;
    QByteArray bytes;
};

QList<Sample> samples()
{
    GifFrame frame;
    frame.width = 64;
    frame.height = 48;
    frame.transparentIndex = 3;
    frame.interlaced = true;
    for (int i = 0; i < frame.width * frame.height; ++i)
        frame.indices.append(char((i * 7 + i / 64) % 16));
    QList<QRgb> colors;
    for (int i = 0; i < 16; ++i)
        colors.append(qRgb(i * 16, 255 - i * 16, (i * 40) % 256));
    return {
        { "jpeg", PictureFormat::Jpeg, encodeJpeg(photoLike(120, 90, 1), 90) },
        { "progressive jpeg", PictureFormat::Jpeg, encodeJpeg(photoLike(120, 90, 2), 90, true) },
        { "png", PictureFormat::Png, encodePng(blocks(64, 48, true), PngKind::Rgba8) },
        { "interlaced palette png", PictureFormat::Png,
            encodePng(blocks(64, 48, true), PngKind::Palette8, true) },
        { "gif", PictureFormat::Gif, encodeGif(70, 50, colors, { frame }) },
        { "bitmap ico", PictureFormat::Ico, encodeIco({ { blocks(32, 32, true), false, 32 } }) },
        { "png ico", PictureFormat::Ico, encodeIco({ { blocks(32, 32, true), true, 32 } }) },
        { "bmp", PictureFormat::Bmp, encodeWithQt(photoLike(40, 30, 3), "BMP") },
    };
}

// A failure is a null picture with a reason; a success a real picture. Nothing in between.
void expectCleanResult(const DecodedPicture& result)
{
    if (result.ok()) {
        EXPECT_TRUE(result.error.isEmpty());
        EXPECT_GT(result.image.width(), 0);
        EXPECT_GT(result.image.height(), 0);
    } else {
        EXPECT_FALSE(result.error.isEmpty());
    }
}

quint32 be32(const QByteArray& b, qsizetype at)
{
    return quint32(uchar(b[at])) << 24 | quint32(uchar(b[at + 1])) << 16
        | quint32(uchar(b[at + 2])) << 8 | quint32(uchar(b[at + 3]));
}

void putBe32(QByteArray& b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (24 - 8 * i));
}

void putLe32(QByteArray& b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}

void putLe16(QByteArray& b, qsizetype at, quint32 v)
{
    b[at] = char(v);
    b[at + 1] = char(v >> 8);
}

// Rewrites the IHDR size of the PNG at `at`, with a matching CRC.
void setPngSize(QByteArray& b, qsizetype at, quint32 width, quint32 height)
{
    putBe32(b, at + 16, width);
    putBe32(b, at + 20, height);
    const auto* chunk = reinterpret_cast<const Bytef*>(b.constData() + at + 12);
    putBe32(b, at + 29, quint32(crc32(0, chunk, 17)));
    ASSERT_EQ(be32(b, at + 29), quint32(crc32(0, chunk, 17)));
}

} // namespace

TEST(DamagedInput, EmptyAndMislabelledBytesFailForEveryFormat)
{
    const QList<Sample> all = samples();
    for (PictureFormat format : { PictureFormat::Gif, PictureFormat::Ico, PictureFormat::Bmp,
             PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::Other }) {
        const DecodedPicture empty = decodePicture(format, QByteArray());
        EXPECT_FALSE(empty.ok());
        EXPECT_FALSE(empty.error.isEmpty());
        for (const Sample& sample : all) {
            const DecodedPicture decoded = decodePicture(format, sample.bytes);
            if (format == sample.format) {
                EXPECT_TRUE(decoded.ok()) << sample.name << ": " << decoded.error.toStdString();
            } else {
                EXPECT_FALSE(decoded.ok()) << sample.name << " read as format " << int(format);
                expectCleanResult(decoded);
            }
        }
    }
}

TEST(DamagedInput, TruncatedFilesFailCleanly)
{
    Thumbnailer thumbnailer;
    for (const Sample& sample : samples()) {
        SCOPED_TRACE(sample.name);
        const QByteArray half = sample.bytes.left(sample.bytes.size() / 2);
        const DecodedPicture decoded = decodePicture(sample.format, half);
        EXPECT_FALSE(decoded.ok());
        EXPECT_FALSE(decoded.error.isEmpty());
        EXPECT_FALSE(thumbnailer.makeThumbnail(sample.format, half).ok());
        for (int k = 0; k < 32; ++k) {
            const QByteArray cut = sample.bytes.left(sample.bytes.size() * k / 32);
            expectCleanResult(decodePicture(sample.format, cut));
            expectCleanResult(thumbnailer.makeThumbnail(sample.format, cut));
        }
        // One byte short is enough to lose the last pixels of most formats; whatever it gives
        // must be clean.
        expectCleanResult(decodePicture(sample.format, sample.bytes.chopped(1)));
    }
}

TEST(DamagedInput, FlippedBitsNeverCrashOrHang)
{
    Thumbnailer thumbnailer;
    quint32 state = 12345;
    const auto random = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (const Sample& sample : samples()) {
        SCOPED_TRACE(sample.name);
        int failures = 0;
        for (int round = 0; round < 150; ++round) {
            QByteArray damaged = sample.bytes;
            const int flips = 1 + int(random() % 4);
            for (int i = 0; i < flips; ++i) {
                // Headers are small: aim half of the damage at the first 64 bytes.
                const qsizetype span
                    = (random() % 2) ? std::min<qsizetype>(64, damaged.size()) : damaged.size();
                const qsizetype at = qsizetype(random() % quint32(span));
                damaged[at] = char(damaged[at] ^ char(1 << (random() % 8)));
            }
            const DecodedPicture decoded = decodePicture(sample.format, damaged);
            expectCleanResult(decoded);
            const DecodedPicture thumbnail = thumbnailer.makeThumbnail(sample.format, damaged);
            expectCleanResult(thumbnail);
            if (thumbnail.ok()) {
                EXPECT_EQ(thumbnail.image.size(), QSize(150, 150));
            }
            failures += decoded.ok() ? 0 : 1;
        }
        // The damage must actually reach the decoders.
        EXPECT_GT(failures, 0);
    }
}

TEST(DamagedInput, HugeDimensionsAreRefusedFromTheHeader)
{
    QList<Sample> huge;

    QByteArray png = encodePng(blocks(8, 8, false), PngKind::Rgb8);
    setPngSize(png, 0, 100000, 100000);
    huge.append({ "png", PictureFormat::Png, png });

    QByteArray bmp = encodeWithQt(blocks(8, 8, false), "BMP");
    putLe32(bmp, 18, 100000);
    putLe32(bmp, 22, 100000);
    huge.append({ "bmp", PictureFormat::Bmp, bmp });

    GifFrame frame;
    frame.width = 8;
    frame.height = 8;
    frame.indices = QByteArray(64, char(1));
    const QByteArray gif = encodeGif(8, 8, { qRgb(0, 0, 0), qRgb(255, 255, 255) }, { frame });
    QByteArray gifScreen = gif;
    putLe16(gifScreen, 6, 65535);
    putLe16(gifScreen, 8, 65535);
    huge.append({ "gif screen", PictureFormat::Gif, gifScreen });
    QByteArray gifImage = gif;
    const qsizetype descriptor = 13 + 3 * 2; // header, screen, two-colour table
    ASSERT_EQ(gifImage.at(descriptor), ',');
    putLe16(gifImage, descriptor + 5, 65535);
    putLe16(gifImage, descriptor + 7, 65535);
    huge.append({ "gif image", PictureFormat::Gif, gifImage });

    QByteArray jpeg = encodeJpeg(blocks(8, 8, false), 90);
    const qsizetype sof = jpeg.indexOf(QByteArray("\xff\xc0", 2));
    ASSERT_GT(sof, 0);
    jpeg[sof + 5] = char(0xfd); // height 65000
    jpeg[sof + 6] = char(0xe8);
    jpeg[sof + 7] = char(0xfd); // width 65000
    jpeg[sof + 8] = char(0xe8);
    huge.append({ "jpeg", PictureFormat::Jpeg, jpeg });

    QByteArray icoBitmap = encodeIco({ { blocks(8, 8, true), false, 32 } });
    putLe32(icoBitmap, 22 + 4, 100000);
    putLe32(icoBitmap, 22 + 8, 200000);
    huge.append({ "ico bitmap", PictureFormat::Ico, icoBitmap });

    QByteArray icoPng = encodeIco({ { blocks(8, 8, true), true, 32 } });
    setPngSize(icoPng, 22, 100000, 100000);
    huge.append({ "ico png", PictureFormat::Ico, icoPng });

    Thumbnailer thumbnailer;
    for (const Sample& sample : huge) {
        SCOPED_TRACE(sample.name);
        const DecodedPicture decoded = decodePicture(sample.format, sample.bytes);
        EXPECT_FALSE(decoded.ok());
        EXPECT_TRUE(decoded.error.contains(QStringLiteral("too large")))
            << decoded.error.toStdString();
        const DecodedPicture thumbnail = thumbnailer.makeThumbnail(sample.format, sample.bytes);
        EXPECT_TRUE(thumbnail.error.contains(QStringLiteral("too large")))
            << thumbnail.error.toStdString();
    }
}

TEST(DamagedInput, JpegWithTooManyScansIsRefused)
{
    const QByteArray bytes = encodeJpegManyScans(photoLike(24, 16, 7));
    const DecodedPicture decoded = decodePicture(PictureFormat::Jpeg, bytes);
    EXPECT_FALSE(decoded.ok());
    EXPECT_TRUE(decoded.error.contains(QStringLiteral("scans"))) << decoded.error.toStdString();
}

TEST(DamagedInput, GifDamagedAfterItsFirstImageStillShowsIt)
{
    GifFrame frame;
    frame.width = 16;
    frame.height = 16;
    frame.indices = QByteArray(256, char(1));
    GifFrame second = frame;
    second.indices.fill(char(0));
    const QByteArray gif
        = encodeGif(16, 16, { qRgb(0, 0, 0), qRgb(0, 128, 255) }, { frame, second });
    const qsizetype secondStart = gif.lastIndexOf(QByteArray("\x21\xf9", 2));
    ASSERT_GT(secondStart, 0);
    const DecodedPicture decoded = decodePicture(PictureFormat::Gif, gif.left(secondStart + 6));
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    EXPECT_EQ(decoded.image.pixel(8, 8), qRgb(0, 128, 255));
}
