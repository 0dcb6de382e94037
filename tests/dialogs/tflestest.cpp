// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tfles.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace zarvo {
namespace {

TEST(Tfles, SplashIsThePictureWithAThreePixelMaskedOutline)
{
    Tfles w;
    EXPECT_EQ(w.objectName(), QStringLiteral("Tfles"));
    EXPECT_EQ(w.size(), QSize(800, 600));
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);

    const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(800, 600));
    // What lies under the outline: the picture, or the white face while it is missing.
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QPixmap art(QStringLiteral(":/images/splash.jpg"));
    if (!art.isNull())
        picture = art.toImage().convertToFormat(QImage::Format_RGB32);

    const QRgb black = qRgb(0, 0, 0);
    for (int d = 0; d < 3; ++d) {
        EXPECT_EQ(shot.pixel(d, 300), black) << d;
        EXPECT_EQ(shot.pixel(799 - d, 300), black) << d;
        EXPECT_EQ(shot.pixel(400, d), black) << d;
        EXPECT_EQ(shot.pixel(400, 599 - d), black) << d;
        EXPECT_EQ(shot.pixel(d, d), black) << d;
    }
    for (const QPoint& inside :
        { QPoint(3, 300), QPoint(796, 300), QPoint(400, 3), QPoint(400, 596), QPoint(400, 300) })
        EXPECT_EQ(shot.pixel(inside), picture.pixel(inside)) << inside.x() << "," << inside.y();
}

} // namespace
} // namespace zarvo
