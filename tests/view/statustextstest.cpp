// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "qtprinters.h"

#include "view/statustexts.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

TEST(StatusTexts, FolderOfTwoJpegsAndOneEmf)
{
    FormatCounters counters;
    for (const char* come : { "C:\\pics\\a.jpg", "/home/u/b.JPG", "/home/u/c.emf" })
        counters.count(formatOfCome(QString::fromUtf8(come)));
    EXPECT_EQ(totalText(3), QStringLiteral("总文件数为: 3 个"));
    EXPECT_EQ(counters.countText(),
        QStringLiteral("GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:0个 | "
                       "JPG/JPEG文件有:2个"));
}

TEST(StatusTexts, EachFormatCountsInItsOwnPlace)
{
    FormatCounters counters;
    const std::pair<PictureFormat, int> times[]
        = { { PictureFormat::Gif, 1 }, { PictureFormat::Ico, 2 }, { PictureFormat::Bmp, 3 },
              { PictureFormat::Png, 4 }, { PictureFormat::Jpeg, 5 }, { PictureFormat::Other, 6 } };
    for (const auto& [format, n] : times) {
        for (int i = 0; i < n; ++i)
            counters.count(format);
    }
    EXPECT_EQ(counters.countText(),
        QStringLiteral("GIF文件有:1个 | ICO文件有:2个 | BMP文件有:3个 | PNG文件有:4个 | "
                       "JPG/JPEG文件有:5个"));
    EXPECT_EQ(FormatCounters().countText(),
        QStringLiteral("GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:0个 | "
                       "JPG/JPEG文件有:0个"));
}

TEST(StatusTexts, LargeNumbersHaveNoGrouping)
{
    EXPECT_EQ(totalText(1234567), QStringLiteral("总文件数为: 1234567 个"));
    EXPECT_EQ(totalText(0), QStringLiteral("总文件数为: 0 个"));
}

TEST(StatusTexts, PictureHintHasThreeLinesAndWholeKilobytes)
{
    EXPECT_EQ(pictureHint(QStringLiteral("猫"), QStringLiteral("/home/u/猫.jpg"), 2560),
        QStringLiteral("文件名:猫\n\r来源:/home/u/猫.jpg\n\r大小:2560 Byte (约为:2 KB)"));
    EXPECT_EQ(pictureHint(QStringLiteral("a"), QStringLiteral("a.png"), 1023),
        QStringLiteral("文件名:a\n\r来源:a.png\n\r大小:1023 Byte (约为:0 KB)"));
    EXPECT_EQ(pictureHint(QString(), QString(), 0),
        QStringLiteral("文件名:\n\r来源:\n\r大小:0 Byte (约为:0 KB)"));
    EXPECT_EQ(pictureHint(QStringLiteral("big"), QStringLiteral("big.bmp"), 999'999'999),
        QStringLiteral("文件名:big\n\r来源:big.bmp\n\r大小:999999999 Byte (约为:976562 KB)"));
}

} // namespace
} // namespace zarvo
