// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/statustexts.h"
#include "imaging/picturekind.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

TEST(StatusTexts, CountsAndHint)
{
    // Three rows: two JPEGs (any letter case) and an EMF, which counts nowhere.
    FormatCounters counters;
    for (const char* come : { "C:\\p\\a.jpg", "/home/u/b.JPG", "/home/u/c.emf" })
        counters.count(formatOfCome(QString::fromUtf8(come)));
    EXPECT_EQ(totalText(3), QStringLiteral("总文件数为: 3 个"));
    EXPECT_EQ(counters.countText(),
        QStringLiteral(
            "GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:0个 | JPG/JPEG文件有:2个"));
    // Each format in its own place, no digit grouping.
    for (PictureFormat format : { PictureFormat::Gif, PictureFormat::Ico, PictureFormat::Ico,
             PictureFormat::Bmp, PictureFormat::Png, PictureFormat::Png })
        counters.count(format);
    counters.bmp = 1234567;
    EXPECT_EQ(counters.countText(),
        QStringLiteral("GIF文件有:1个 | ICO文件有:2个 | BMP文件有:1234567个 | PNG文件有:2个 | "
                       "JPG/JPEG文件有:2个"));

    EXPECT_EQ(pictureHint(QStringLiteral("猫"), QStringLiteral("/home/u/猫.jpg"), 2560),
        QStringLiteral("文件名:猫\n\r来源:/home/u/猫.jpg\n\r大小:2560 Byte (约为:2 KB)"));
    EXPECT_EQ(pictureHint(QStringLiteral("a"), QStringLiteral("a.png"), 1023),
        QStringLiteral("文件名:a\n\r来源:a.png\n\r大小:1023 Byte (约为:0 KB)"));
}

} // namespace
} // namespace zarvo
