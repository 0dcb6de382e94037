// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/picturekind.h"

#include <gtest/gtest.h>

using zarvo::extensionOfCome;
using zarvo::formatOfCome;
using zarvo::PictureFormat;

TEST(PictureFormat, ExtensionIsTakenAfterTheLastSeparator)
{
    EXPECT_EQ(extensionOfCome(QStringLiteral("/home/a/photo.JPG")), QStringLiteral(".jpg"));
    EXPECT_EQ(extensionOfCome(QStringLiteral("C:\\pics\\a.b\\file")), QString());
    EXPECT_EQ(extensionOfCome(QStringLiteral("C:file.Png")), QStringLiteral(".png"));
    EXPECT_EQ(extensionOfCome(QStringLiteral("dir.d/archive.tar.GZ")), QStringLiteral(".gz"));
    EXPECT_EQ(extensionOfCome(QStringLiteral("/a/b.c:name")), QString());
    EXPECT_EQ(extensionOfCome(QStringLiteral("trailing.")), QStringLiteral("."));
    EXPECT_EQ(extensionOfCome(QStringLiteral(".hidden")), QStringLiteral(".hidden"));
    EXPECT_EQ(extensionOfCome(QString()), QString());
}

TEST(PictureFormat, OnlyAsciiLettersAreLowerCased)
{
    // Non-ASCII capitals keep their case, so "İ" does not become an "i".
    EXPECT_EQ(extensionOfCome(QStringLiteral("x.JPÉG")), QStringLiteral(".jpÉg"));
    EXPECT_EQ(formatOfCome(QStringLiteral("x.G\u0130F")), PictureFormat::Other);
    EXPECT_EQ(extensionOfCome(QStringLiteral("图片.PNG")), QStringLiteral(".png"));
}

TEST(PictureFormat, FormatFollowsTheExtensionOnly)
{
    EXPECT_EQ(formatOfCome(QStringLiteral("a.gif")), PictureFormat::Gif);
    EXPECT_EQ(formatOfCome(QStringLiteral("a.ICO")), PictureFormat::Ico);
    EXPECT_EQ(formatOfCome(QStringLiteral("a.Bmp")), PictureFormat::Bmp);
    EXPECT_EQ(formatOfCome(QStringLiteral("a.PNG")), PictureFormat::Png);
    EXPECT_EQ(formatOfCome(QStringLiteral("a.jpg")), PictureFormat::Jpeg);
    EXPECT_EQ(formatOfCome(QStringLiteral("a.JPEG")), PictureFormat::Jpeg);
    EXPECT_EQ(formatOfCome(QStringLiteral("a.jpe")), PictureFormat::Other);
    EXPECT_EQ(formatOfCome(QStringLiteral("a.emf")), PictureFormat::Other);
    EXPECT_EQ(formatOfCome(QStringLiteral("a.wmf")), PictureFormat::Other);
    EXPECT_EQ(formatOfCome(QStringLiteral("noextension")), PictureFormat::Other);
    EXPECT_EQ(formatOfCome(QStringLiteral("a.png ")), PictureFormat::Other);
    EXPECT_EQ(formatOfCome(QStringLiteral("C:\\图片.gif\\a.Jpeg")), PictureFormat::Jpeg);
}
