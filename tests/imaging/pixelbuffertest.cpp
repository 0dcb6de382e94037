// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/pixelbuffer.h"

#include <gtest/gtest.h>

using zarvo::allocatePicture;
using zarvo::PixelBuffer;

TEST(PixelBuffer, ReusesItsMemoryAndGivesBackHugeBlocks)
{
    PixelBuffer buffer;
    QImage first = buffer.image(300, 200);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.format(), QImage::Format_RGB32);
    EXPECT_EQ(first.bytesPerLine(), 300 * 4);
    const uchar* memory = first.constBits();
    first = QImage();

    // A smaller picture and one of the same size land in the same memory.
    EXPECT_EQ(buffer.image(120, 90).constBits(), memory);
    EXPECT_EQ(buffer.image(300, 200).constBits(), memory);
    EXPECT_EQ(buffer.capacity(), 300 * 200 * 4);
    buffer.trim();
    EXPECT_EQ(buffer.capacity(), 300 * 200 * 4);

    // Writing through the picture writes the buffer, not a detached copy.
    QImage view = buffer.image(2, 2);
    view.setPixel(1, 1, 0xff123456u);
    EXPECT_EQ(reinterpret_cast<const QRgb*>(memory)[3], 0xff123456u);
    view = QImage();

    const int side = 4200; // 70 MB, more than is kept
    ASSERT_GT(qsizetype(side) * side * 4, PixelBuffer::kKeepBytes);
    EXPECT_FALSE(buffer.image(side, side).isNull());
    buffer.trim();
    EXPECT_EQ(buffer.capacity(), 0);

    EXPECT_TRUE(buffer.image(0, 5).isNull());
    EXPECT_TRUE(allocatePicture(nullptr, -1, 5).isNull());
    EXPECT_EQ(allocatePicture(nullptr, 7, 3).size(), QSize(7, 3));
}

TEST(PixelBuffer, LargePictureOwnsWritableMemoryAndCopiesDetach)
{
    // 12 MB: over the size that gets a mapping of its own outside sanitizer builds.
    QImage picture = allocatePicture(nullptr, 2000, 1500);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(2000, 1500));
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(picture.bytesPerLine(), 2000 * 4);
    for (int y = 0; y < picture.height(); ++y)
        reinterpret_cast<QRgb*>(picture.scanLine(y))[y % 2000] = qRgb(y % 256, 1, 2);
    picture.setPixel(1999, 1499, qRgb(9, 8, 7));
    EXPECT_EQ(picture.pixel(1999, 1499), qRgb(9, 8, 7));
    EXPECT_EQ(picture.pixel(1000, 1000), qRgb(1000 % 256, 1, 2));

    QImage copy = picture;
    copy.setPixel(0, 0, qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 1, 2)) << "writing a copy leaves the original alone";
    picture = QImage(); // the copy now holds its own pixels
    EXPECT_EQ(copy.pixel(1999, 1499), qRgb(9, 8, 7));
}
