// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "qtprinters.h"

#include "imaging/fitrect.h"
#include "view/placeholderthumbnail.h"
#include "view/thumbnailmodel.h"

#include <QFile>
#include <QPainter>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace zarvo {
namespace {

// A thumbnail as the thumbnailer makes it: white, with a w x h picture (a colour gradient,
// so that every pixel matters) stretched into FitRect.
QImage thumbnailOf(int w, int h)
{
    QImage thumbnail(150, 150, QImage::Format_RGB32);
    thumbnail.fill(Qt::white);
    const DrawRect rect = FitRect(w, h, 150, 150);
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x)
            thumbnail.setPixel(x, y, qRgb(x * 255 / 150, y * 255 / 150, (x + y) % 200));
    }
    return thumbnail;
}

TEST(ThumbnailModel, AppendKeepsRowOrderAndClearEmpties)
{
    ThumbnailModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.append(QStringLiteral("猫"), thumbnailOf(300, 200));
    model.append(QStringLiteral("dog"), thumbnailOf(200, 300));
    model.append(QStringLiteral("猫"), thumbnailOf(100, 100));
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(inserted.count(), 3);
    EXPECT_EQ(inserted.at(2).at(1).toInt(), 2);
    EXPECT_EQ(model.name(1), QStringLiteral("dog"));
    EXPECT_EQ(model.data(model.index(2), Qt::DisplayRole).toString(), QStringLiteral("猫"));
    EXPECT_EQ(model.name(3), QString());
    EXPECT_EQ(model.name(-1), QString());

    const Qt::ItemFlags flags = model.flags(model.index(0));
    EXPECT_TRUE(flags & Qt::ItemIsSelectable);
    EXPECT_FALSE(flags & Qt::ItemIsEditable);
    EXPECT_FALSE(flags & Qt::ItemIsDragEnabled);

    model.setCut(0, true);
    model.clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.pixelBytes(), 0);
    model.append(QStringLiteral("new"), thumbnailOf(300, 200));
    EXPECT_FALSE(model.isCut(0));
}

TEST(ThumbnailModel, ThumbnailsComeBackExactlyWhileOnlyThePictureIsKept)
{
    struct Case
    {
        int w, h;
        QPoint offset;
        QSize kept;
    };
    const Case cases[] = {
        { 300, 200, { 0, 25 }, { 150, 100 } }, // landscape: the white bands above and below go
        { 200, 300, { 25, 0 }, { 100, 150 } }, // portrait
        { 32, 32, { 59, 59 }, { 32, 32 } }, // an icon in the middle
        { 400, 400, { 0, 0 }, { 150, 150 } }, // square: nothing to leave out
    };
    ThumbnailModel model;
    qint64 expectedBytes = 0;
    for (const Case& c : cases) {
        const QImage original = thumbnailOf(c.w, c.h);
        model.append(QStringLiteral("x"), original);
        const int row = model.rowCount() - 1;
        EXPECT_EQ(model.thumbnail(row), original) << c.w << "x" << c.h;
        EXPECT_EQ(
            model.data(model.index(row), ThumbnailModel::ThumbnailRole).value<QImage>(), original);
        const QImage kept
            = model.data(model.index(row), ThumbnailModel::PictureRole).value<QImage>();
        EXPECT_EQ(kept.size(), c.kept) << c.w << "x" << c.h;
        EXPECT_EQ(kept.format(), QImage::Format_RGB888);
        EXPECT_EQ(
            model.data(model.index(row), ThumbnailModel::PictureOffsetRole).toPoint(), c.offset);
        expectedBytes += qint64(c.kept.width() * 3 + 3) / 4 * 4 * c.kept.height();
    }
    EXPECT_EQ(model.pixelBytes(), expectedBytes);

    // White inside the picture is kept where it is not a margin: a frame of one dark pixel
    // at two corners keeps everything between them.
    QImage corners(150, 150, QImage::Format_RGB32);
    corners.fill(Qt::white);
    corners.setPixel(10, 20, qRgb(0, 0, 0));
    corners.setPixel(139, 99, qRgb(254, 255, 255));
    model.append(QStringLiteral("corners"), corners);
    const int row = model.rowCount() - 1;
    EXPECT_EQ(model.thumbnail(row), corners);
    EXPECT_EQ(model.data(model.index(row), ThumbnailModel::PictureRole).value<QImage>().size(),
        QSize(130, 80));

    QImage white(150, 150, QImage::Format_RGB32);
    white.fill(Qt::white);
    model.append(QStringLiteral("white"), white);
    EXPECT_EQ(model.thumbnail(model.rowCount() - 1), white);
    EXPECT_TRUE(model.data(model.index(model.rowCount() - 1), ThumbnailModel::PictureRole)
                    .value<QImage>()
                    .isNull());
}

TEST(ThumbnailModel, OtherImagesAreMadeIntoWhiteThumbnails)
{
    // Transparent parts turn white, not black; a small picture is centred.
    QImage argb(60, 30, QImage::Format_ARGB32);
    argb.fill(Qt::transparent);
    argb.setPixel(0, 0, qRgba(255, 0, 0, 255));
    const QImage made = ThumbnailModel::normalizedThumbnail(argb);
    ASSERT_EQ(made.size(), QSize(150, 150));
    EXPECT_EQ(made.format(), QImage::Format_RGB32);
    EXPECT_EQ(made.pixel(45, 60), qRgb(255, 0, 0));
    EXPECT_EQ(made.pixel(46, 61), qRgb(255, 255, 255));
    EXPECT_EQ(made.pixel(0, 0), qRgb(255, 255, 255));

    // A larger picture is fitted like any thumbnail: 300 x 200 into (0, 25, 150, 125).
    QImage big(300, 200, QImage::Format_RGB32);
    big.fill(qRgb(10, 20, 30));
    const QImage fitted = ThumbnailModel::normalizedThumbnail(big);
    EXPECT_EQ(fitted.pixel(75, 24), qRgb(255, 255, 255));
    EXPECT_EQ(fitted.pixel(75, 25), qRgb(10, 20, 30));
    EXPECT_EQ(fitted.pixel(75, 124), qRgb(10, 20, 30));
    EXPECT_EQ(fitted.pixel(75, 125), qRgb(255, 255, 255));

    ThumbnailModel model;
    model.append(QStringLiteral("null"), QImage());
    QImage white(150, 150, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(model.thumbnail(0), white);
}

TEST(ThumbnailModel, RepeatedImageSharesItsPixels)
{
    ThumbnailModel model;
    const QImage placeholder = placeholderThumbnail();
    for (int i = 0; i < 3; ++i)
        model.append(QStringLiteral("bad%1").arg(i), placeholder);
    model.append(QStringLiteral("good"), thumbnailOf(300, 200));
    model.append(QStringLiteral("bad3"), placeholder);
    const auto bitsOf = [&model](int row) {
        return model.data(model.index(row), ThumbnailModel::PictureRole)
            .value<QImage>()
            .constBits();
    };
    EXPECT_EQ(bitsOf(0), bitsOf(1));
    EXPECT_EQ(bitsOf(0), bitsOf(2));
    EXPECT_NE(bitsOf(0), bitsOf(3));
    for (int row : { 0, 1, 2, 4 })
        EXPECT_EQ(model.thumbnail(row), placeholder) << row;
}

TEST(ThumbnailModel, CutMarksAreSetClearedAndSignalled)
{
    ThumbnailModel model;
    for (int i = 0; i < 5; ++i)
        model.append(QStringLiteral("p%1").arg(i), thumbnailOf(300, 200));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.setCut(1, true);
    model.setCut(3, true);
    model.setCut(3, true); // no change, no signal
    model.setCut(7, true); // no such row
    model.setCut(-1, true);
    EXPECT_TRUE(model.isCut(1));
    EXPECT_FALSE(model.isCut(2));
    EXPECT_TRUE(model.data(model.index(3), ThumbnailModel::CutRole).toBool());
    EXPECT_FALSE(model.isCut(7));
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>().row(), 1);
    EXPECT_EQ(changed.at(0).at(2).value<QList<int>>(), QList<int>({ ThumbnailModel::CutRole }));

    changed.clear();
    model.clearCutMarks();
    for (int row = 0; row < 5; ++row)
        EXPECT_FALSE(model.isCut(row)) << row;
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>().row(), 1);
    EXPECT_EQ(changed.at(0).at(1).value<QModelIndex>().row(), 3);

    changed.clear();
    model.clearCutMarks();
    EXPECT_EQ(changed.count(), 0);
}

TEST(PlaceholderThumbnail, IsAWhiteThumbnailWithALightGlyph)
{
    const QImage placeholder = placeholderThumbnail();
    EXPECT_EQ(placeholder.cacheKey(), placeholderThumbnail().cacheKey());
    for (const QImage& image : { placeholder, drawnPlaceholderThumbnail() }) {
        ASSERT_EQ(image.size(), QSize(150, 150));
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
        EXPECT_EQ(image.pixel(149, 149), qRgb(255, 255, 255));
        int glyph = 0;
        int darkest = 255;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 150; ++x) {
                const int grey = qGray(image.pixel(x, y));
                glyph += grey < 250;
                darkest = std::min(darkest, grey);
            }
        }
        EXPECT_GT(glyph, 500); // something is drawn
        EXPECT_GT(darkest, 120); // and it is light
    }
    QImage artwork(QStringLiteral(":/images/placeholder.png"));
    if (!artwork.isNull())
        EXPECT_EQ(placeholder, ThumbnailModel::normalizedThumbnail(artwork));
    else
        EXPECT_EQ(placeholder, drawnPlaceholderThumbnail());
}

} // namespace
} // namespace zarvo
