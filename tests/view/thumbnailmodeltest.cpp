// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/thumbnailmodel.h"
#include "imaging/fitrect.h"
#include "view/placeholderthumbnail.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace zarvo {
namespace {

// A thumbnail as the thumbnailer makes it: white, with a w x h picture (a gradient, so that
// every pixel matters) stretched into FitRect.
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

QImage kept(const ThumbnailModel& model, int row)
{
    return model.data(model.index(row), ThumbnailModel::PictureRole).value<QImage>();
}

TEST(ThumbnailModel, KeepsOnlyThePictureAndGivesTheThumbnailBackExactly)
{
    ThumbnailModel model;
    // Landscape, portrait, an icon in the middle, square: what stays and where it lies.
    const int sizes[][6] = { { 300, 200, 0, 25, 150, 100 }, { 200, 300, 25, 0, 100, 150 },
        { 32, 32, 59, 59, 32, 32 }, { 400, 400, 0, 0, 150, 150 } };
    qint64 bytes = 0;
    for (const auto& [w, h, x, y, keptW, keptH] : sizes) {
        model.append(QStringLiteral("名%1").arg(w), thumbnailOf(w, h));
        const int row = model.rowCount() - 1;
        EXPECT_EQ(model.thumbnail(row), thumbnailOf(w, h)) << w << "x" << h;
        EXPECT_EQ(kept(model, row).size(), QSize(keptW, keptH)) << w << "x" << h;
        EXPECT_EQ(model.data(model.index(row), ThumbnailModel::PictureOffsetRole).toPoint(),
            QPoint(x, y));
        bytes += qint64(keptW * 3 + 3) / 4 * 4 * keptH; // three bytes a pixel, rows padded
    }
    EXPECT_EQ(model.pixelBytes(), bytes);
    EXPECT_EQ(model.data(model.index(2)).toString(), QStringLiteral("名32"));
    EXPECT_FALSE(model.flags(model.index(0)) & Qt::ItemIsEditable);

    // Other images become white thumbnails first: transparency over white, a small one centred.
    QImage argb(60, 30, QImage::Format_ARGB32);
    argb.fill(Qt::transparent);
    argb.setPixel(0, 0, qRgba(255, 0, 0, 255));
    model.append(QStringLiteral("argb"), argb);
    EXPECT_EQ(model.thumbnail(4).pixel(45, 60), qRgb(255, 0, 0));
    EXPECT_EQ(model.thumbnail(4).pixel(46, 61), qRgb(255, 255, 255));

    // Every item showing the placeholder shares one copy of it.
    model.append(QStringLiteral("bad1"), placeholderThumbnail());
    model.append(QStringLiteral("good"), thumbnailOf(300, 200));
    model.append(QStringLiteral("bad2"), placeholderThumbnail());
    EXPECT_EQ(kept(model, 5).constBits(), kept(model, 7).constBits());
    EXPECT_EQ(model.thumbnail(7), placeholderThumbnail());

    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.pixelBytes(), 0);
}

// What an opening prepares on its workers (from the thumbnailer's RGB32 or the cache's RGB888)
// fills an item exactly as setThumbnail() does: the same picture, place and thumbnail back.
TEST(ThumbnailModel, KeptThumbnailFillsAnItemAsSetThumbnailDoes)
{
    QImage white(150, 150, QImage::Format_RGB32);
    white.fill(Qt::white);
    const QImage thumbnails[]
        = { thumbnailOf(300, 200), thumbnailOf(200, 300), thumbnailOf(32, 32), white };
    ThumbnailModel set;
    ThumbnailModel prepared;
    set.reset(QStringList(8, QStringLiteral("p")));
    prepared.reset(QStringList(8, QStringLiteral("p")));
    int row = 0;
    for (const QImage& thumbnail : thumbnails) {
        for (const QImage& form : { thumbnail, thumbnail.convertToFormat(QImage::Format_RGB888) }) {
            set.setThumbnail(row, thumbnail);
            QSignalSpy changed(&prepared, &QAbstractItemModel::dataChanged);
            prepared.setKeptThumbnail(row, ThumbnailModel::keptThumbnail(form));
            EXPECT_EQ(changed.size(), 1);
            EXPECT_TRUE(prepared.isFilled(row));
            EXPECT_EQ(prepared.thumbnail(row), thumbnail) << row;
            EXPECT_EQ(kept(prepared, row), kept(set, row)) << row;
            EXPECT_EQ(prepared.data(prepared.index(row), ThumbnailModel::PictureOffsetRole),
                set.data(set.index(row), ThumbnailModel::PictureOffsetRole))
                << row;
            ++row;
        }
    }
    EXPECT_TRUE(kept(prepared, 6).isNull()); // all white keeps nothing
    EXPECT_EQ(prepared.pixelBytes(), set.pixelBytes());
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
    EXPECT_TRUE(model.isCut(1) && model.isCut(3) && !model.isCut(2));
    EXPECT_TRUE(model.data(model.index(3), ThumbnailModel::CutRole).toBool());
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(0).value<QModelIndex>().row(), 3);

    changed.clear();
    model.clearCutMarks();
    EXPECT_FALSE(model.isCut(1) || model.isCut(3));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>().row(), 1);
    EXPECT_EQ(changed.at(0).at(1).value<QModelIndex>().row(), 3);
}

TEST(PlaceholderThumbnail, IsWhiteWithALightGlyph)
{
    for (const QImage& image : { placeholderThumbnail(), drawnPlaceholderThumbnail() }) {
        ASSERT_EQ(image.size(), QSize(150, 150));
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        int glyph = 0, darkest = 255;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 150; ++x) {
                glyph += qGray(image.pixel(x, y)) < 250;
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
            }
        }
        EXPECT_GT(glyph, 500);
        EXPECT_GT(darkest, 120);
    }
}

} // namespace
} // namespace zarvo
