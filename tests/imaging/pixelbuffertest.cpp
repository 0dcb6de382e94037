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
