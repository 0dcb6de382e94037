// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/picturedecoder.h"
#include "imaging/sanitizer.h"
#include "imaging/thumbnailer.h"

#include "support/childprocess.h"
#include "support/heiftools.h"
#include "support/testpictures.h"

#include <QFile>

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

// A small photo turned by one of Debian's tools into the file it names last.
QByteArray madeByTool(const char* command)
{
    const QStringList words = QString::fromLatin1(command).split(u' ');
    const QList<QByteArray> files = runTools(encodePng(photoLike(60, 40, 8), PngKind::Rgb8),
        QStringLiteral("in.png"), { words }, { words.last() });
    EXPECT_EQ(files.size(), 1) << command;
    return files.value(0);
}

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
        { "heic", PictureFormat::Heif, encodeHeic(photoLike(64, 48, 4), 80) },
        { "avif", PictureFormat::Avif, encodeAvif(blocks(64, 48, true)) },
        { "tiff", PictureFormat::Tiff, madeByTool("convert in.png -depth 8 -compress zip x.tif") },
        { "tiled jpeg tiff", PictureFormat::Tiff,
            madeByTool("convert in.png -depth 8 -define tiff:tile-geometry=16x16 "
                       "-compress jpeg x.tif") },
        { "jxl", PictureFormat::Jxl, madeByTool("cjxl -q 90 in.png x.jxl") },
        { "webp", PictureFormat::Webp, encodeWebp(photoLike(120, 90, 4), 80) },
        { "lossless webp", PictureFormat::Webp, encodeWebp(blocks(64, 48, true), -1) },
        { "animated webp", PictureFormat::Webp,
            encodeAnimatedWebp({ { blocks(40, 30, true), QPoint(0, 0), 100 },
                                   { blocks(20, 10, false), QPoint(4, 6), 100 } },
                0) },
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
             PictureFormat::Png, PictureFormat::Jpeg, PictureFormat::Webp, PictureFormat::Heif,
             PictureFormat::Avif, PictureFormat::Tiff, PictureFormat::Jxl, PictureFormat::Other }) {
        const DecodedPicture empty = decodePicture(format, QByteArray());
        EXPECT_FALSE(empty.ok());
        EXPECT_FALSE(empty.error.isEmpty());
        for (const Sample& sample : all) {
            const DecodedPicture decoded = decodePicture(format, sample.bytes);
            // An AVIF is a HEIF file too, and libheif reads it.
            if (format == sample.format
                || (format == PictureFormat::Heif && sample.format == PictureFormat::Avif)) {
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
        // A GIF keeps the rows of the data blocks read whole (its own test); the others fail.
        const QByteArray half = sample.bytes.left(sample.bytes.size() / 2);
        const DecodedPicture decoded = decodePicture(sample.format, half);
        expectCleanResult(decoded);
        if (sample.format != PictureFormat::Gif) {
            EXPECT_FALSE(decoded.ok());
            EXPECT_FALSE(thumbnailer.makeThumbnail(sample.format, half).ok());
        }
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

    // Sizes whose products overflow 32 and 64 bits (undefined behaviour before the limit check).
    QByteArray bmpOverflow = encodeWithQt(blocks(8, 8, false), "BMP");
    putLe32(bmpOverflow, 18, 0x7fffffff);
    putLe32(bmpOverflow, 22, 0x7fffffff);
    putLe16(bmpOverflow, 28, 32);
    huge.append({ "bmp overflowing size", PictureFormat::Bmp, bmpOverflow });
    QByteArray icoPngOverflow
        = encodeIco({ { blocks(8, 8, true), true, 32 }, { blocks(4, 4, true), true, 32 } });
    setPngSize(icoPngOverflow, 6 + 2 * 16, 0xffffffffu, 0xffffffffu);
    huge.append({ "ico png overflowing size", PictureFormat::Ico, icoPngOverflow });

    // HEIF and AVIF state their size in every picture's ispe box (the thumbnail's too).
    for (const Sample& heif :
        { Sample { "heic", PictureFormat::Heif, encodeHeic(photoLike(320, 200, 5), 50, 160) },
            Sample { "avif", PictureFormat::Avif, encodeAvif(blocks(8, 8, false)) } }) {
        QByteArray claim = heif.bytes;
        int boxes = 0;
        for (qsizetype at = claim.indexOf("ispe"); at > 0; at = claim.indexOf("ispe", at + 4)) {
            putBe32(claim, at + 8, 100000);
            putBe32(claim, at + 12, 100000);
            ++boxes;
        }
        ASSERT_GT(boxes, 0) << heif.name;
        huge.append({ heif.name, heif.format, claim });
    }
    // libwebp itself refuses canvases of 2^32 pixels or more; this one is over the limit only.
    const QByteArray webpCanvas = withWebpCanvas(
        encodeAnimatedWebp(
            { { blocks(2, 2, false), {}, 100 }, { blocks(2, 2, true), {}, 100 } }, 0),
        20000, 20000);
    ASSERT_GT(webpCanvas.size(), 0);
    ASSERT_LE(webpCanvas.size(), 200);
    huge.append({ "webp canvas", PictureFormat::Webp, webpCanvas });

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

// Image data that ends early keeps the rows read before the end (in the order they are stored,
// an interlaced image's passes one after another), the rest white; without one whole row the
// GIF is refused.
TEST(DamagedInput, GifWhoseDataEndsEarlyKeepsTheRowsRead)
{
    const QList<QRgb> colors
        = { qRgb(200, 0, 0), qRgb(0, 0, 200), qRgb(0, 150, 0), qRgb(90, 90, 90) };
    const QRgb white = qRgb(255, 255, 255);
    Thumbnailer thumbnailer;
    for (bool interlaced : { false, true }) {
        SCOPED_TRACE(interlaced ? "interlaced" : "progressive");
        GifFrame frame;
        frame.width = 40;
        frame.height = 40;
        frame.interlaced = interlaced;
        quint32 noise = 1; // data of many blocks: giflib reads a block whole or not at all
        for (int i = 0; i < 1600; ++i) {
            noise = noise * 1103515245u + 12345u;
            frame.indices.append(char((noise >> 16) % 4));
        }
        const QByteArray whole = encodeGif(40, 40, colors, { frame });
        const qsizetype data = 13 + 3 * 4 + 10; // header, screen, table, image descriptor
        ASSERT_EQ(whole.at(data - 10), ',');
        const QImage full = decodePicture(PictureFormat::Gif, whole).image;
        ASSERT_EQ(full.size(), QSize(40, 40));

        QList<int> stored;
        for (const auto& [start, step] : interlaced
                ? QList<std::pair<int, int>> { { 0, 8 }, { 4, 8 }, { 2, 4 }, { 1, 2 } }
                : QList<std::pair<int, int>> { { 0, 1 } })
            for (int y = start; y < 40; y += step)
                stored.append(y);
        const QByteArray cut = whole.left(data + (whole.size() - data) * 3 / 5);
        const DecodedPicture decoded = decodePicture(PictureFormat::Gif, cut);
        ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
        ASSERT_EQ(decoded.image.size(), QSize(40, 40));
        int read = 0;
        while (read < 40
            && decoded.image.copy(0, stored[read], 40, 1) == full.copy(0, stored[read], 40, 1))
            ++read;
        EXPECT_GT(read, 5);
        EXPECT_LT(read, 35);
        for (int i = read; i < 40; ++i)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(decoded.image.pixel(x, stored[i]), white) << "row " << stored[i];
        const DecodedPicture thumbnail = thumbnailer.makeThumbnail(PictureFormat::Gif, cut);
        ASSERT_TRUE(thumbnail.ok()) << thumbnail.error.toStdString();
        EXPECT_NE(thumbnail.image.pixel(75, 55), white); // row 0 at its own size, centred

        // The code size and one byte of data: not one row.
        const QByteArray noRow = whole.left(data + 3);
        const DecodedPicture refused = decodePicture(PictureFormat::Gif, noRow);
        EXPECT_FALSE(refused.ok());
        EXPECT_FALSE(refused.error.isEmpty());
        EXPECT_FALSE(thumbnailer.makeThumbnail(PictureFormat::Gif, noRow).ok());
    }
}

// A 16384 x 16384 screen (the pixel limit) declared by a few bytes: the thumbnail costs what its
// first image covers, not the 1 GiB of the screen.
TEST(DamagedInput, GifThumbnailCostsItsImageNotItsScreen)
{
    const QList<QRgb> colors = { qRgb(0, 0, 0), qRgb(255, 255, 255) };
    GifFrame dot;
    dot.width = 1;
    dot.height = 1;
    dot.indices = QByteArray(1, '\0');
    GifFrame block = dot;
    // Small enough for Qt to scale it on the calling thread: a forked child has no thread pool.
    block.left = 8192;
    block.top = 4096;
    block.width = 256;
    block.height = 256;
    block.indices = QByteArray(256 * 256, '\0');
    const QByteArray tiny = encodeGif(16384, 16384, colors, { dot });
    ASSERT_LT(tiny.size(), 40);
    const QByteArray placed = encodeGif(16384, 16384, colors, { block });

    const auto check = [&] {
        Thumbnailer thumbnailer;
        const DecodedPicture white = thumbnailer.makeThumbnail(PictureFormat::Gif, tiny);
        const DecodedPicture black = thumbnailer.makeThumbnail(PictureFormat::Gif, placed);
        if (!white.ok() || !black.ok())
            return 1;
        // The block covers x 75 and 76, y 38 and 39 of the thumbnail.
        const bool right = white.image.pixel(0, 0) == qRgb(255, 255, 255)
            && white.image.pixel(149, 149) == qRgb(255, 255, 255)
            && black.image.pixel(76, 39) == qRgb(0, 0, 0)
            && black.image.pixel(76, 41) == qRgb(255, 255, 255)
            && black.image.pixel(73, 39) == qRgb(255, 255, 255);
        return right ? 0 : 2;
    };
    EXPECT_EQ(check(), 0);
#if !defined(ZARVO_ADDRESS_SANITIZER)
    EXPECT_EQ(test::inProcessWithRoom(qint64(160) << 20, check), 0);
#endif
}

TEST(DamagedInput, JpegWhoseCoefficientBuffersWouldNotFitIsRefused)
{
    // A few hundred bytes declaring a progressive 17529 x 12439 picture: libjpeg would zero
    // gigabytes of coefficient buffers before finding that the data is missing.
    QByteArray jpeg = encodeJpeg(photoLike(16, 16, 5), 90, true);
    const qsizetype sof = jpeg.indexOf(QByteArray("\xff\xc2", 2));
    ASSERT_GT(sof, 0);
    putBe32(jpeg, sof + 5, quint32(12439) << 16 | 17529);
    Thumbnailer thumbnailer;
    for (const DecodedPicture& decoded : { decodePicture(PictureFormat::Jpeg, jpeg),
             thumbnailer.makeThumbnail(PictureFormat::Jpeg, jpeg) }) {
        EXPECT_FALSE(decoded.ok());
        EXPECT_TRUE(decoded.error.contains(QStringLiteral("too much memory")))
            << decoded.error.toStdString();
    }
}

namespace {

QByteArray pngChunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    putBe32(chunk, 0, quint32(data.size()));
    const QByteArray body = QByteArray(type, 4) + data;
    chunk += body;
    QByteArray crc(4, '\0');
    putBe32(crc, 0,
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))));
    return chunk + crc;
}

// A width x 1 palette PNG with the colours given and the pixel indices 0, 1, ..., width - 1.
QByteArray palettePngCountingIndices(int width, const QList<QRgb>& colors)
{
    QByteArray header(13, '\0');
    putBe32(header, 0, quint32(width));
    putBe32(header, 4, 1);
    header[8] = 8; // bits per index
    header[9] = 3; // palette
    QByteArray palette;
    for (QRgb c : colors)
        palette += QByteArray(1, char(qRed(c))) + char(qGreen(c)) + char(qBlue(c));
    QByteArray row(1, '\0'); // no filter
    for (int i = 0; i < width; ++i)
        row.append(char(i));
    QByteArray packed(int(compressBound(uLong(row.size()))), '\0');
    uLongf packedSize = uLongf(packed.size());
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
        reinterpret_cast<const Bytef*>(row.constData()), uLong(row.size()));
    packed.resize(qsizetype(packedSize));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("PLTE", palette)
        + pngChunk("IDAT", packed) + pngChunk("IEND", {});
}

// An uncompressed 8-bit bitmap of width x 1 with the colours given and the pixel indices 0, 1,
// ..., width - 1 (width a multiple of 4: no row padding).
QByteArray paletteBmpCountingIndices(int width, const QList<QRgb>& colors)
{
    const qsizetype dataOffset = 14 + 40 + 4 * colors.size();
    QByteArray b(dataOffset, '\0');
    b[0] = 'B';
    b[1] = 'M';
    putLe32(b, 2, quint32(dataOffset + width));
    putLe32(b, 10, quint32(dataOffset));
    putLe32(b, 14, 40);
    putLe32(b, 18, quint32(width));
    putLe32(b, 22, 1);
    putLe16(b, 26, 1);
    putLe16(b, 28, 8);
    putLe32(b, 34, quint32(width));
    putLe32(b, 46, quint32(colors.size()));
    for (int i = 0; i < colors.size(); ++i)
        putLe32(b, 54 + 4 * i, colors[i] & 0xffffffu);
    for (int i = 0; i < width; ++i)
        b.append(char(i));
    return b;
}

// The bitmap as the only entry of an icon (its info header with the doubled height, colours,
// pixels and an empty AND mask).
QByteArray iconOfBitmap(const QByteArray& bmp, int width)
{
    QByteArray entry = bmp.mid(14);
    putLe32(entry, 8, 2);
    entry.append(QByteArray((width + 31) / 32 * 4, '\0'));
    QByteArray ico(22, '\0');
    putLe16(ico, 2, 1);
    putLe16(ico, 4, 1);
    ico[6] = char(width & 0xff);
    ico[7] = 1;
    putLe16(ico, 10, 1);
    putLe16(ico, 12, 8);
    putLe32(ico, 14, quint32(entry.size()));
    putLe32(ico, 18, 22);
    return ico + entry;
}

} // namespace

// Pixel indices beyond a short colour table must never reach drawing code as indices (Qt reads
// past the table): they come out as a fixed colour in every format.
TEST(DamagedInput, IndicesBeyondAShortColourTableAreSafe)
{
    const QList<QRgb> two = { qRgb(255, 0, 0), qRgb(0, 0, 255) };
    struct Case
    {
        const char* name;
        PictureFormat format;
        QByteArray bytes;
        QPoint beyond; // a pixel whose index has no colour
        QRgb expected;
    };
    GifFrame frame;
    frame.width = 4;
    frame.height = 1;
    frame.indices = QByteArray("\0\1\2\3", 4);
    const QList<Case> cases = {
        { "bmp", PictureFormat::Bmp, paletteBmpCountingIndices(256, two), QPoint(200, 0),
            qRgb(0, 0, 0) },
        { "png", PictureFormat::Png, palettePngCountingIndices(256, two), QPoint(200, 0),
            qRgb(0, 0, 0) },
        { "ico", PictureFormat::Ico, iconOfBitmap(paletteBmpCountingIndices(256, two), 256),
            QPoint(200, 0), qRgb(0, 0, 0) },
        { "gif", PictureFormat::Gif, encodeGif(4, 1, two, { frame }), QPoint(3, 0),
            qRgb(255, 255, 255) },
    };
    Thumbnailer thumbnailer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedPicture decoded = decodePicture(c.format, c.bytes);
        ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
        EXPECT_NE(decoded.image.format(), QImage::Format_Indexed8);
        EXPECT_EQ(decoded.image.colorCount(), 0);
        EXPECT_EQ(decoded.image.pixel(0, 0), qRgb(255, 0, 0));
        EXPECT_EQ(decoded.image.pixel(c.beyond), c.expected);
        EXPECT_TRUE(thumbnailer.makeThumbnail(c.format, c.bytes).ok());
    }
}

namespace {

// How much this process's peak resident memory grows while `work` runs.
template <typename Work> qint64 peakMemoryGrowth(Work work)
{
    const auto peak = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
        const qsizetype at = text.indexOf("VmHWM:") + 6;
        return text.mid(at, text.indexOf('\n', at) - at).trimmed().split(' ')[0].toLongLong() << 10;
    };
    QFile reset(QStringLiteral("/proc/self/clear_refs")); // "5": the peak becomes what is used now
    EXPECT_TRUE(reset.open(QIODevice::WriteOnly) && reset.write("5") == 1 && reset.flush());
    const qint64 before = peak();
    work();
    return peak() - before;
}

} // namespace

// libpng takes memory for the length a chunk declares before reading the chunk (its own bound
// on it only warns). A few bytes declaring 2 GB must cost no such memory, in a PNG or an icon's
// PNG entry, for a full decode or a thumbnail; nor must a big text chunk that the file holds.
// Real PNGs with text chunks still decode.
TEST(DamagedInput, PngChunkLengthsCostNoMemoryBeyondThePicture)
{
    constexpr qint64 kSlack = qint64(16) << 20;
    Thumbnailer thumbnailer;
    for (const char* type : { "tEXt", "zTXt", "iTXt", "sPLT", "pCAL", "sCAL", "eXIf" }) {
        // A 1 x 3 picture's header, then a chunk that declares 0x76000000 bytes and ends there.
        QByteArray png = encodePng(blocks(1, 3, false), PngKind::Rgb8).left(8 + 25)
            + QByteArray(4, '\0') + type;
        putBe32(png, 33, 0x76000000);
        QByteArray ico = encodeIco({ { blocks(1, 1, true), true, 32 } }).left(22) + png;
        putLe32(ico, 14, quint32(png.size()));
        for (const Sample& sample : { Sample { "png", PictureFormat::Png, png },
                 Sample { "ico", PictureFormat::Ico, ico } }) {
            SCOPED_TRACE(std::string(type) + " in " + sample.name);
            DecodedPicture decoded;
            DecodedPicture thumbnail;
            EXPECT_LT(peakMemoryGrowth([&] {
                decoded = decodePicture(sample.format, sample.bytes);
                thumbnail = thumbnailer.makeThumbnail(sample.format, sample.bytes);
            }),
                kSlack);
            EXPECT_FALSE(decoded.ok() || thumbnail.ok());
            EXPECT_TRUE(decoded.error.contains(QStringLiteral("past the end")))
                << decoded.error.toStdString();
        }
    }

    // Qt's writer puts short Latin-1 texts in tEXt, long ones in zTXt, others in iTXt; a 32 MB
    // comment goes after the header.
    QImage photo = photoLike(40, 30, 11);
    photo.setText(QStringLiteral("Title"), QStringLiteral("Harbour"));
    photo.setText(QStringLiteral("Description"), QString(300, QLatin1Char('w')));
    photo.setText(QStringLiteral("Author"), QStringLiteral("张三"));
    QByteArray withText = encodeWithQt(photo, "PNG");
    for (const char* type : { "tEXt", "zTXt", "iTXt" })
        ASSERT_TRUE(withText.contains(type)) << type;
    withText.insert(
        8 + 25, pngChunk("tEXt", QByteArray("Comment\0", 8) + QByteArray(32 << 20, 'x')));
    DecodedPicture decoded;
    EXPECT_LT(
        peakMemoryGrowth([&] { decoded = decodePicture(PictureFormat::Png, withText); }), kSlack);
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    EXPECT_EQ(decoded.image, photo);
}
