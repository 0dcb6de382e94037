// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/picturekind.h"
#include "imaging/picturedecoder.h"
#include "imaging/pictureencoder.h"

#include <QImage>
#include <gtest/gtest.h>

using zarvo::decodePicture;
using zarvo::formatOfCome;
using zarvo::PictureFormat;
using zarvo::PictureKind;

TEST(PictureKind, SaveDialogListsTheSixTargetsAndTheStoredKindAfterThem)
{
    const char* const six
        = "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
          "Icons (*.ico)|*.ico|PNG(*.png)|*.png|GIF(*.gif)|*.gif";
    EXPECT_STREQ(zarvo::kSavePictureFilter, six);
    for (int code = 1; code <= 6; ++code) {
        EXPECT_EQ(zarvo::saveFilterFor(code), QLatin1String(six)) << code;
        EXPECT_EQ(zarvo::saveIndexOfKind(code), code - 1);
        for (int index = 0; index < 6; ++index)
            EXPECT_EQ(zarvo::kindOfSaveIndex(code, index), index + 1);
    }
    EXPECT_EQ(zarvo::saveFilterFor(10),
        QLatin1String(six) + QLatin1String("|HEIC Image (*.heic)|*.heic"));
    EXPECT_EQ(zarvo::saveFilterFor(7),
        QLatin1String(six) + QLatin1String("|Enhanced Metafile (*.emf)|*.emf"));
    EXPECT_EQ(zarvo::saveIndexOfKind(10), 6);
    EXPECT_EQ(zarvo::kindOfSaveIndex(10, 6), 10) << "the seventh type is the stored kind";
    EXPECT_EQ(zarvo::kindOfSaveIndex(10, 5), 6);
    EXPECT_EQ(zarvo::kindOfSaveIndex(10, -1), 10);
}

TEST(PictureKind, KindsAreFoundByCodeAndByExtensionAndTheTargetsWriteWhatTheyDecode)
{
    struct Case
    {
        const char* extension;
        PictureFormat decoder;
        bool shown; // in the folder view, and accepted when dropped
    };
    const Case cases[] = { { ".jpg", PictureFormat::Jpeg, true },
        { ".jpeg", PictureFormat::Jpeg, true }, { ".bmp", PictureFormat::Bmp, true },
        { ".ico", PictureFormat::Ico, true }, { ".png", PictureFormat::Png, true },
        { ".gif", PictureFormat::Gif, true }, { ".emf", PictureFormat::Other, false },
        { ".wmf", PictureFormat::Other, false }, { ".webp", PictureFormat::Webp, true },
        { ".heic", PictureFormat::Heif, true }, { ".heif", PictureFormat::Heif, true },
        { ".avif", PictureFormat::Avif, true }, { ".tif", PictureFormat::Tiff, true },
        { ".tiff", PictureFormat::Tiff, true }, { ".jxl", PictureFormat::Jxl, true } };
    ASSERT_EQ(PictureKind::all().size(), std::size(cases));
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(qRgb(200, 40, 10));
    for (int code = 1; code <= int(std::size(cases)); ++code) {
        const Case& c = cases[code - 1];
        SCOPED_TRACE(c.extension);
        const PictureKind& kind = PictureKind::ofCode(code);
        EXPECT_EQ(kind.code, code);
        EXPECT_STREQ(kind.extension, c.extension);
        const QString extension = QLatin1String(c.extension);
        EXPECT_EQ(&PictureKind::ofCome(QStringLiteral("/p.d/x") + extension.toUpper()), &kind);
        EXPECT_TRUE(PictureKind::isKindExtension(extension));
        EXPECT_EQ(PictureKind::isShownExtension(extension), c.shown);
        EXPECT_EQ(formatOfCome(QStringLiteral("x") + extension), c.decoder);
        EXPECT_EQ(kind.isTarget(), code <= 6);
        EXPECT_EQ(kind.encode != nullptr, kind.isTarget());
        if (kind.isTarget()) {
            const zarvo::EncodedPicture encoded = kind.encode(picture);
            ASSERT_TRUE(encoded.ok());
            EXPECT_EQ(decodePicture(kind.decoder, encoded.bytes).image.size(), picture.size());
        }
    }
    // Codes and extensions that name no kind are GIF's, which decodes nothing else.
    const PictureKind& gif = PictureKind::ofCode(6);
    EXPECT_EQ(gif.decoder, PictureFormat::Gif);
    for (int code : { 0, -1, 16 })
        EXPECT_EQ(&PictureKind::ofCode(code), &gif) << code;
    for (const char* come : { "noextension", "a.png ", "x.tga", "/d.webp/x", "C:\\d.png\\x",
             "p.jpg:", "x.png.jpegjpeg" }) {
        EXPECT_EQ(&PictureKind::ofCome(QLatin1String(come)), &gif) << come;
        EXPECT_EQ(formatOfCome(QLatin1String(come)), PictureFormat::Other) << come;
        EXPECT_FALSE(PictureKind::isKindExtension(zarvo::extensionOfCome(QLatin1String(come))));
    }
}
