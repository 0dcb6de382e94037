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

TEST(PictureKind, SaveDialogListsTheKindsInCodeOrder)
{
    EXPECT_STREQ(zarvo::kSavePictureFilter,
        "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
        "Icons (*.ico)|*.ico|PNG(*.png)|*.png|GIF(*.gif)|*.gif");
    int code = 0;
    for (const PictureKind& kind : PictureKind::all())
        EXPECT_EQ(kind.code, ++code) << kind.extension;
}

TEST(PictureKind, KindsAreFoundByCodeAndByExtensionAndWriteWhatTheyDecode)
{
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(qRgb(200, 40, 10));
    for (const PictureKind& kind : PictureKind::all()) {
        const QString extension = QLatin1String(kind.extension);
        EXPECT_EQ(&PictureKind::ofCode(kind.code), &kind);
        EXPECT_EQ(&PictureKind::ofCome(QStringLiteral("/p.d/x") + extension.toUpper()), &kind);
        EXPECT_TRUE(PictureKind::isKindExtension(extension));
        EXPECT_EQ(formatOfCome(QStringLiteral("x") + extension), kind.decoder);
        const zarvo::EncodedPicture encoded = kind.encode(picture);
        ASSERT_TRUE(encoded.ok()) << kind.extension;
        EXPECT_EQ(decodePicture(kind.decoder, encoded.bytes).image.size(), picture.size())
            << kind.extension;
    }
    // Codes and extensions that name no kind are GIF's, which decodes nothing else.
    const PictureKind& gif = PictureKind::ofCode(6);
    EXPECT_EQ(gif.decoder, PictureFormat::Gif);
    for (int code : { 0, -1, 7 })
        EXPECT_EQ(&PictureKind::ofCode(code), &gif) << code;
    for (const char* come : { "draw.emf", "x.wmf", "noextension", "a.png " }) {
        EXPECT_EQ(&PictureKind::ofCome(QLatin1String(come)), &gif) << come;
        EXPECT_EQ(formatOfCome(QLatin1String(come)), PictureFormat::Other) << come;
        EXPECT_FALSE(PictureKind::isKindExtension(zarvo::extensionOfCome(QLatin1String(come))));
    }
}
