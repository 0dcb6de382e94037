// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/picturedecoder.h"

#include "imaging/jpegdecoder.h"
#include "imaging/metafiledecoder.h"
#include "support/sandbox.h"
#include "support/testpictures.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <cstring>

using namespace zarvo;
using namespace zarvo::testpictures;

namespace {

bool allOpaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 255)
                return false;
        }
    }
    return true;
}

int maxDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1000;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({ worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                std::abs(qBlue(p) - qBlue(q)) });
        }
    }
    return worst;
}

QImage greenAsGray(const QImage& source, bool threshold)
{
    QImage out = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            int g = qGreen(row[x]);
            if (threshold)
                g = g >= 128 ? 255 : 0;
            row[x] = qRgba(g, g, g, qAlpha(row[x]));
        }
    }
    return out;
}

DecodedPicture decodeOk(PictureFormat format, const QByteArray& bytes)
{
    EXPECT_FALSE(bytes.isEmpty());
    DecodedPicture decoded = decodePicture(format, bytes);
    EXPECT_TRUE(decoded.ok()) << decoded.error.toStdString();
    EXPECT_TRUE(decoded.error.isEmpty());
    return decoded;
}

// A bitmap as Windows and image editors write its masked variants: an info header of 40 bytes
// (masks after it), 52, 56, 108 or 124 (masks inside); bit fields (3) or plain (0). Channels
// are rounded to their masks' widths; bits outside the masks hold the alpha (writers leave
// what they like there), or zero alpha is written everywhere.
struct BmpLayout
{
    quint32 infoSize;
    int bits;
    quint32 masks[4]; // red, green, blue, alpha
    quint32 compression = 3;
    bool topDown = false;
    bool zeroAlpha = false;
};

QByteArray encodeMaskedBmp(const QImage& picture, const BmpLayout& layout)
{
    const qsizetype dataOffset = 14 + layout.infoSize + (layout.infoSize == 40 ? 12 : 0);
    const qsizetype stride = (qsizetype(picture.width()) * layout.bits + 31) / 32 * 4;
    QByteArray b(dataOffset + stride * picture.height(), '\0');
    auto* p = reinterpret_cast<uchar*>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(dataOffset), p + 10);
    qToLittleEndian<quint32>(layout.infoSize, p + 14);
    qToLittleEndian<qint32>(picture.width(), p + 18);
    qToLittleEndian<qint32>(layout.topDown ? -picture.height() : picture.height(), p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(quint16(layout.bits), p + 28);
    qToLittleEndian<quint32>(layout.compression, p + 30);
    for (int i = 0; i < (layout.infoSize == 40 || layout.infoSize == 52 ? 3 : 4); ++i)
        qToLittleEndian<quint32>(layout.masks[i], p + 54 + 4 * i);
    const quint32 outside
        = ~(layout.masks[0] | layout.masks[1] | layout.masks[2] | layout.masks[3]);
    for (int y = 0; y < picture.height(); ++y) {
        uchar* row = p + dataOffset + stride * (layout.topDown ? y : picture.height() - 1 - y);
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            const int alpha = layout.zeroAlpha ? 0 : qAlpha(c);
            const int channels[4] = { qRed(c), qGreen(c), qBlue(c), alpha };
            quint32 pixel = alpha * 0x01010101u & outside;
            for (int i = 0; i < 4; ++i) {
                if (const quint32 mask = layout.masks[i]) {
                    const int shift = std::countr_zero(mask);
                    pixel |= quint32((channels[i] * quint64(mask >> shift) + 127) / 255) << shift;
                }
            }
            uchar bytes[4];
            qToLittleEndian<quint32>(pixel, bytes);
            std::memcpy(row + x * layout.bits / 8, bytes, layout.bits / 8);
        }
    }
    return b;
}

} // namespace

TEST(JpegDecoding, ColourSpacesAndProgressiveDecodeToOpaqueRgb32)
{
    const QImage photo = photoLike(97, 61, 3);
    struct Case
    {
        const char* name;
        QByteArray bytes;
        QImage expected;
    };
    const Case cases[] = {
        { "baseline", encodeJpeg(photo, 95), photo },
        { "progressive", encodeJpeg(photo, 95, true), photo },
        { "gray", encodeJpeg(photo, 95, false, JpegColor::Gray), greenAsGray(photo, false) },
        { "cmyk", encodeJpeg(photo, 95, false, JpegColor::Cmyk), photo },
        { "cmyk progressive", encodeJpeg(photo, 95, true, JpegColor::Cmyk), photo },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedPicture decoded = decodeOk(PictureFormat::Jpeg, c.bytes);
        ASSERT_EQ(decoded.image.size(), QSize(97, 61));
        EXPECT_EQ(decoded.image.format(), QImage::Format_RGB32);
        EXPECT_TRUE(allOpaque(decoded.image));
        EXPECT_LT(meanDifference(decoded.image, c.expected), 3.0);
    }
}

TEST(JpegDecoding, MissingEndMarkerIsToleratedButMissingDataIsNot)
{
    const QByteArray bytes = encodeJpeg(photoLike(64, 64, 8), 90);
    ASSERT_TRUE(bytes.endsWith(QByteArray("\xff\xd9", 2)));
    const DecodedPicture noEndMarker = decodePicture(PictureFormat::Jpeg, bytes.chopped(2));
    EXPECT_TRUE(noEndMarker.ok()) << noEndMarker.error.toStdString();
    const DecodedPicture cut = decodePicture(PictureFormat::Jpeg, bytes.chopped(40));
    EXPECT_FALSE(cut.ok());
    EXPECT_TRUE(cut.error.contains(QStringLiteral("premature end"), Qt::CaseInsensitive))
        << cut.error.toStdString();

    // Progressive: complete but for the end marker shows; cut after a whole scan does not.
    const QByteArray progressive = encodeJpeg(photoLike(64, 64, 9), 90, true);
    EXPECT_TRUE(decodePicture(PictureFormat::Jpeg, progressive.chopped(2)).ok());
    const qsizetype lastScan = progressive.lastIndexOf(QByteArray("\xff\xda", 2));
    ASSERT_GT(lastScan, 0);
    const DecodedPicture scansMissing
        = decodePicture(PictureFormat::Jpeg, progressive.left(lastScan));
    EXPECT_FALSE(scansMissing.ok());
    EXPECT_TRUE(scansMissing.error.contains(QStringLiteral("Premature end")))
        << scansMissing.error.toStdString();
}

// A region of a JPEG decoded alone (its columns cropped, the rows above it skipped) holds the
// whole decode's pixels wherever it lies, and the rows decoded after it still give the whole
// picture; files that must be read whole for any part (progressive) or converted (CMYK) are left
// to the rows.
TEST(JpegDecoding, RegionDecodedAloneHoldsTheWholeDecodesPixels)
{
    using testpictures::JpegColor;
    const QImage photo = testpictures::photoLike(333, 517, 3);
    struct Case
    {
        const char* what;
        QByteArray bytes;
        bool alone;
    };
    const Case cases[] = {
        { "4:2:0", testpictures::encodeJpeg(photo, 90), true },
        { "grey", testpictures::encodeJpeg(photo, 90, false, JpegColor::Gray), true },
        { "progressive", testpictures::encodeJpeg(photo, 90, true), false },
        { "CMYK", testpictures::encodeJpeg(photo, 90, false, JpegColor::Cmyk), false },
    };
    const QRect regions[]
        = { { 0, 0, 200, 100 }, { 37, 61, 101, 77 }, { 250, 400, 200, 200 }, { 332, 516, 1, 1 } };
    for (const Case& c : cases) {
        const QImage whole = decodeJpeg(c.bytes, 0, nullptr).picture.image;
        ASSERT_EQ(whole.size(), photo.size()) << c.what;
        for (const QRect& region : regions) {
            SCOPED_TRACE(testing::Message() << c.what << " " << region.x() << "," << region.y());
            JpegRowDecoder decoder(c.bytes);
            ASSERT_TRUE(decoder.ok());
            EXPECT_EQ(decoder.regionsPossible(), c.alone);
            // Before the rows and after some of them: a region does not depend on them.
            ASSERT_TRUE(decoder.decodeRows(region.y() / 2));
            const JpegRowDecoder::Piece piece = decoder.decodeRegion(region);
            const QRect inside = region & whole.rect();
            EXPECT_EQ(piece.rect, inside);
            if (c.alone)
                EXPECT_EQ(piece.image, whole.copy(inside));
            else
                EXPECT_TRUE(piece.image.isNull());
            EXPECT_EQ(decoder.pieces().size(), c.alone ? 1 : 0);
            ASSERT_TRUE(decoder.decodeRows(whole.height()));
            EXPECT_EQ(decoder.image(), whole);
        }
    }
}

// Step by step, a decoder decodes what of the wanted region neither the rows nor an earlier
// piece hold, as one region, before the next rows; pieces go once the rows pass them; the rows
// end as the whole decode.
TEST(JpegDecoding, StepsDecodeTheMissingPartOfTheWantedRegionBeforeTheRows)
{
    using Step = JpegRowDecoder::Step;
    const QByteArray bytes = testpictures::encodeJpeg(testpictures::photoLike(400, 1200, 5), 90);
    const QImage whole = decodeJpeg(bytes, 0, nullptr).picture.image;
    JpegRowDecoder decoder(bytes);
    ASSERT_TRUE(decoder.ok());
    const auto stepGives = [&decoder, &whole](Step expected, const QRect& piece) {
        EXPECT_EQ(decoder.step(100), expected);
        if (expected == Step::Region) {
            ASSERT_FALSE(decoder.pieces().isEmpty());
            const JpegRowDecoder::Piece last = decoder.pieces().constLast();
            EXPECT_EQ(last.rect, piece);
            EXPECT_EQ(last.image, whole.copy(piece));
        }
    };
    decoder.setWanted(QRect(0, 0, 200, 150));
    stepGives(Step::Region, QRect(0, 0, 200, 150));
    stepGives(Step::Rows, {});
    EXPECT_EQ(decoder.rowsDone(), 100);
    // Scrolled to the bottom right corner, the part beyond the picture left out.
    decoder.setWanted(QRect(250, 1000, 300, 300));
    stepGives(Step::Region, QRect(250, 1000, 150, 200));
    EXPECT_EQ(decoder.rowsDone(), 100);
    stepGives(Step::Rows, {});
    // A little up: only the rows no piece holds; then back at the top, which the rows hold.
    decoder.setWanted(QRect(250, 950, 150, 200));
    stepGives(Step::Region, QRect(250, 950, 150, 50));
    decoder.setWanted(QRect(0, 50, 200, 150));
    stepGives(Step::Rows, {});
    EXPECT_EQ(decoder.pieces().size(), 2); // the corner at the top is behind the rows
    int steps = 0;
    while (decoder.step(100) == Step::Rows)
        ++steps;
    EXPECT_EQ(steps, 9);
    EXPECT_TRUE(decoder.isComplete());
    EXPECT_TRUE(decoder.pieces().isEmpty());
    EXPECT_EQ(decoder.image(), whole);
    EXPECT_EQ(decoder.step(100), Step::Done);
}

TEST(PngDecoding, EveryColourTypeBitDepthAndInterlaceGivesThePictureOverWhite)
{
    const QImage opaque = blocks(37, 29, false);
    const QImage transparent = blocks(37, 29, true);
    struct Case
    {
        PngKind kind;
        QImage source;
        QImage expected;
    };
    const Case cases[] = {
        { PngKind::Rgb8, opaque, opaque },
        { PngKind::Rgba8, transparent, overWhite(transparent) },
        { PngKind::Rgb16, opaque, opaque },
        { PngKind::Rgba16, transparent, overWhite(transparent) },
        { PngKind::Gray8, opaque, greenAsGray(opaque, false) },
        { PngKind::Gray16, opaque, greenAsGray(opaque, false) },
        { PngKind::GrayAlpha8, transparent, overWhite(greenAsGray(transparent, false)) },
        { PngKind::Gray1, opaque, greenAsGray(opaque, true) },
        { PngKind::Palette8, transparent, overWhite(transparent) },
        { PngKind::Palette8, opaque, opaque },
    };
    for (const Case& c : cases) {
        for (bool interlaced : { false, true }) {
            SCOPED_TRACE(
                testing::Message() << "kind " << int(c.kind) << " interlaced " << interlaced);
            const DecodedPicture decoded
                = decodeOk(PictureFormat::Png, encodePng(c.source, c.kind, interlaced));
            EXPECT_EQ(decoded.image.format(), QImage::Format_RGB32);
            EXPECT_TRUE(allOpaque(decoded.image));
            EXPECT_LE(maxDifference(decoded.image, c.expected), 1);
        }
    }
}

TEST(GifDecoding, FirstImageOnWhiteLogicalScreenAtItsPosition)
{
    const QList<QRgb> global = { qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255) };
    GifFrame first;
    first.left = 5;
    first.top = 7;
    first.width = 20;
    first.height = 10;
    for (int y = 0; y < first.height; ++y) {
        for (int x = 0; x < first.width; ++x)
            first.indices.append(char(x < 5 ? 0 : 1 + (x + y) % 3));
    }
    first.transparentIndex = 0;
    GifFrame second = first;
    second.left = 0;
    second.top = 0;
    second.indices.fill(char(3));

    for (bool interlaced : { false, true }) {
        SCOPED_TRACE(interlaced ? "interlaced" : "progressive rows");
        first.interlaced = interlaced;
        const DecodedPicture decoded
            = decodeOk(PictureFormat::Gif, encodeGif(40, 30, global, { first, second }));
        ASSERT_EQ(decoded.image.size(), QSize(40, 30));
        EXPECT_EQ(decoded.image.format(), QImage::Format_RGB32);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const int fx = x - first.left;
                const int fy = y - first.top;
                QRgb expected = qRgb(255, 255, 255);
                if (fx >= 0 && fx < first.width && fy >= 0 && fy < first.height) {
                    const int index = first.indices.at(fy * first.width + fx);
                    if (index != first.transparentIndex)
                        expected = global[index];
                }
                ASSERT_EQ(decoded.image.pixel(x, y), expected) << x << "," << y;
            }
        }
    }
}

TEST(GifDecoding, LocalTableWinsAndImagesAreClippedToTheScreen)
{
    GifFrame frame;
    frame.left = 30;
    frame.top = 20;
    frame.width = 20;
    frame.height = 20;
    frame.indices = QByteArray(400, char(1));
    frame.localColors = { qRgb(9, 9, 9), qRgb(10, 200, 30) };
    const DecodedPicture decoded = decodeOk(
        PictureFormat::Gif, encodeGif(40, 30, { qRgb(0, 0, 0), qRgb(255, 0, 0) }, { frame }));
    ASSERT_EQ(decoded.image.size(), QSize(40, 30));
    EXPECT_EQ(decoded.image.pixel(35, 25), qRgb(10, 200, 30));
    EXPECT_EQ(decoded.image.pixel(39, 29), qRgb(10, 200, 30));
    EXPECT_EQ(decoded.image.pixel(29, 25), qRgb(255, 255, 255));

    // Without any colour table there is nothing to show.
    frame.localColors.clear();
    frame.left = frame.top = 0;
    const DecodedPicture noColours
        = decodePicture(PictureFormat::Gif, encodeGif(40, 30, {}, { frame }));
    EXPECT_FALSE(noColours.ok());
    EXPECT_FALSE(noColours.error.isEmpty());
}

TEST(IcoDecoding, BitmapEntriesOfEveryDepthWithMaskAndAlpha)
{
    const QImage picture = blocks(19, 13, true);
    // Below 32 bits the AND mask alone decides: alpha < 128 is white, the rest opaque.
    QImage masked = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < masked.height(); ++y) {
        for (int x = 0; x < masked.width(); ++x) {
            const QRgb p = masked.pixel(x, y);
            masked.setPixel(x, y, qAlpha(p) < 128 ? qRgb(255, 255, 255) : (p | 0xff000000u));
        }
    }
    for (int bits : { 4, 8, 24, 32 }) {
        SCOPED_TRACE(bits);
        const DecodedPicture decoded
            = decodeOk(PictureFormat::Ico, encodeIco({ { picture, false, bits } }));
        EXPECT_EQ(decoded.image.format(), QImage::Format_RGB32);
        EXPECT_LE(maxDifference(decoded.image, bits == 32 ? overWhite(picture) : masked), 1);
    }
    // Two colours and a mask.
    const QImage twoColours = greenAsGray(blocks(19, 13, true), true);
    const DecodedPicture mono
        = decodeOk(PictureFormat::Ico, encodeIco({ { twoColours, false, 1 } }));
    QImage expected = twoColours;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb p = expected.pixel(x, y);
            expected.setPixel(x, y, qAlpha(p) < 128 ? qRgb(255, 255, 255) : (p | 0xff000000u));
        }
    }
    EXPECT_EQ(maxDifference(mono.image, expected), 0);
}

TEST(IcoDecoding, TakesTheLargestImageThenTheDeepestAndReadsPngEntries)
{
    const QImage small = blocks(16, 16, true);
    const QImage large = blocks(48, 40, true);
    const QImage png = photoLike(32, 32, 9);
    DecodedPicture decoded = decodeOk(PictureFormat::Ico,
        encodeIco({ { small, false, 32 }, { large, false, 8 }, { png, true, 32 } }));
    EXPECT_EQ(decoded.image.size(), QSize(48, 40));

    const QImage big = photoLike(256, 256, 4);
    decoded = decodeOk(PictureFormat::Ico, encodeIco({ { small, false, 32 }, { big, true, 32 } }));
    ASSERT_EQ(decoded.image.size(), QSize(256, 256));
    EXPECT_EQ(maxDifference(decoded.image, big), 0);

    // Same size: more bits per pixel wins, wherever it stands.
    const QImage same = blocks(32, 32, false);
    QImage tinted = same;
    tinted.fill(qRgb(1, 2, 3));
    decoded
        = decodeOk(PictureFormat::Ico, encodeIco({ { tinted, false, 4 }, { same, false, 24 } }));
    EXPECT_EQ(maxDifference(decoded.image, same), 0);
    decoded
        = decodeOk(PictureFormat::Ico, encodeIco({ { same, false, 24 }, { tinted, false, 4 } }));
    EXPECT_EQ(maxDifference(decoded.image, same), 0);
}

TEST(BmpDecoding, ReadsTheBitmapAsItIs)
{
    const QImage photo = photoLike(33, 21, 5);
    DecodedPicture decoded = decodeOk(PictureFormat::Bmp, encodeWithQt(photo, "BMP"));
    EXPECT_EQ(maxDifference(decoded.image, photo), 0);

    const QImage indexed = blocks(33, 21, false).convertToFormat(QImage::Format_Indexed8);
    decoded = decodeOk(PictureFormat::Bmp, encodeWithQt(indexed, "BMP"));
    // Palette pictures come out as RGB: the same colours, no colour table to read past.
    EXPECT_EQ(decoded.image.format(), QImage::Format_RGB32);
    EXPECT_EQ(maxDifference(decoded.image, indexed), 0);
}

TEST(BmpDecoding, MaskedHeaderVariantsGiveThePixelsWritten)
{
    const QImage picture = blocks(19, 7, true);
    const quint32 argb[4] = { 0xff0000, 0xff00, 0xff, 0xff000000 };
    const struct
    {
        const char* name;
        BmpLayout layout;
    } cases[] = {
        { "40, 16 bits 5-6-5", { 40, 16, { 0xf800, 0x07e0, 0x001f, 0 } } },
        { "40, 32 bits", { 40, 32, { 0xff0000, 0xff00, 0xff, 0 } } },
        { "52, RGBX order", { 52, 32, { 0xff, 0xff00, 0xff0000, 0 } } },
        { "56 with alpha", { 56, 32, { argb[0], argb[1], argb[2], argb[3] } } },
        { "56, plain 24 bits", { 56, 24, { 0xff0000, 0xff00, 0xff, 0 }, 0 } },
        { "56, every alpha zero",
            { 56, 32, { argb[0], argb[1], argb[2], argb[3] }, 3, false, true } },
        { "108, top-down", { 108, 32, { argb[0], argb[1], argb[2], argb[3] }, 3, true } },
        { "124, RGBA order", { 124, 32, { 0xff000000, 0xff0000, 0xff00, 0xff } } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool alpha = c.layout.masks[3] && !c.layout.zeroAlpha;
        const DecodedPicture decoded
            = decodeOk(PictureFormat::Bmp, encodeMaskedBmp(picture, c.layout));
        ASSERT_EQ(decoded.image.size(), picture.size());
        EXPECT_EQ(decoded.image.format(), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        // Without alpha the colours written show as they are, opaque (as RGB32 promises).
        const int difference = alpha ? maxDifference(overWhite(decoded.image), overWhite(picture))
                                     : maxDifference(decoded.image, picture);
        EXPECT_LE(difference, c.layout.bits == 16 ? 4 : 0); // five bits round to within 4
    }
}

TEST(PictureDecoding, OtherFormatsAndMislabelledBytesFail)
{
    const QByteArray png = encodePng(blocks(8, 8, false), PngKind::Rgb8);
    EXPECT_FALSE(decodePicture(PictureFormat::Other, png).ok());
    EXPECT_FALSE(decodePicture(PictureFormat::Other, png).error.isEmpty());
    const DecodedPicture asJpeg = decodePicture(PictureFormat::Jpeg, png);
    EXPECT_FALSE(asJpeg.ok());
    EXPECT_TRUE(asJpeg.error.startsWith(QStringLiteral("JPEG: "))) << asJpeg.error.toStdString();
}

TEST(MetafileDecoding, HelperDrawsEmfAndWmfAndItsFailuresAreCleanFailures)
{
    const QRgb red = qRgb(220, 0, 0);
    for (const MetafileKind kind : { MetafileKind::Emf, MetafileKind::Wmf }) {
        SCOPED_TRACE(kind == MetafileKind::Emf ? "EMF" : "WMF");
        const auto encode = kind == MetafileKind::Emf ? encodeEmf : encodeWmf;
        const QByteArray bytes = encode(QSize(40, 30), QRect(5, 5, 20, 10), red, QString());
        EXPECT_TRUE(decodeMetafile(
            kind, encode(QSize(40, 30), QRect(5, 5, 20, 10), red, QStringLiteral("Ab")))
                        .ok());
        const DecodedPicture picture = decodeMetafile(kind, bytes);
        ASSERT_TRUE(picture.ok()) << picture.error.toStdString();
        EXPECT_EQ(picture.image.format(), QImage::Format_RGB32);
        const QSize size = picture.image.size();
        EXPECT_NEAR(size.width(), 40, 1);
        EXPECT_NEAR(size.height(), 30, 1);
        // Inside the rectangle, away from its outline and the lines (libwmf names the colour
        // nearest to the one stored: firebrick), and a corner nothing covers.
        const QRgb inside = picture.image.pixel(size.width() * 22 / 40, size.height() * 12 / 30);
        EXPECT_TRUE(qRed(inside) > 150 && qGreen(inside) < 60 && qBlue(inside) < 60) << inside;
        EXPECT_EQ(picture.image.pixel(size.width() * 36 / 40, size.height() * 4 / 30),
            qRgb(255, 255, 255));

        for (const QByteArray& bad :
            { QByteArray(), QByteArray("not a metafile at all"), bytes.left(bytes.size() / 2) }) {
            const DecodedPicture failed = decodeMetafile(kind, bad);
            EXPECT_FALSE(failed.ok());
            EXPECT_FALSE(failed.error.isEmpty());
        }
    }

    // A helper that is missing or crashes is a failure of that picture only.
    zarvo::test::Sandbox box;
    const QString crashing
        = box.writeFile(QStringLiteral("crashing"), "#!/bin/sh\ncat > /dev/null\nkill -SEGV $$\n");
    QFile::setPermissions(crashing, QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray helper = qgetenv("ZARVO_METAFILE_HELPER");
    const QByteArray emf = encodeEmf(QSize(8, 8), QRect(1, 1, 4, 4), red);
    for (const QString& broken : { box.path(QStringLiteral("missing")), crashing }) {
        qputenv("ZARVO_METAFILE_HELPER", broken.toLocal8Bit());
        const DecodedPicture failed = decodeMetafile(MetafileKind::Emf, emf);
        EXPECT_FALSE(failed.ok());
        EXPECT_FALSE(failed.error.isEmpty());
    }
    qputenv("ZARVO_METAFILE_HELPER", helper);
    EXPECT_TRUE(decodeMetafile(MetafileKind::Emf, emf).ok());
}

// libemf2svg reads a header's description wherever the header says it is: headers that send it
// beyond its record are refused before the library sees them.
TEST(MetafileDecoding, EmfHeaderPointingPastItsRecordIsRefused)
{
    const QByteArray emf = encodeEmf(QSize(8, 8), QRect(1, 1, 4, 4), qRgb(0, 0, 200));
    const quint32 recordSize = qFromLittleEndian<quint32>(emf.constData() + 4);
    QString error;
    ASSERT_FALSE(metafileToSvg(MetafileKind::Emf, emf, &error).isEmpty()) << error.toStdString();
    const struct
    {
        const char* what;
        quint32 characters; // at 60
        quint32 offset; // at 64
        quint32 size; // at 4
    } cases[] = {
        { "description past the record", 1, recordSize, recordSize },
        { "empty description with no end in the record", 0, recordSize, recordSize },
        { "record longer than the file", 0, 0, quint32(emf.size() + 4) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray bad = emf;
        qToLittleEndian(c.characters, bad.data() + 60);
        qToLittleEndian(c.offset, bad.data() + 64);
        qToLittleEndian(c.size, bad.data() + 4);
        error.clear();
        EXPECT_TRUE(metafileToSvg(MetafileKind::Emf, bad, &error).isEmpty());
        EXPECT_FALSE(error.isEmpty());
    }
}
