// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/fitrect.h"

#include <gtest/gtest.h>

#include <tuple>

using zarvo::DrawRect;
using zarvo::FitRect;

namespace {

std::tuple<int, int, int, int> edges(const DrawRect& r)
{
    return { r.left, r.top, r.right, r.bottom };
}

} // namespace

TEST(FitRect, ThumbnailBoxExamples)
{
    EXPECT_EQ(edges(FitRect(300, 200, 150, 150)), std::make_tuple(0, 25, 150, 125));
    EXPECT_EQ(edges(FitRect(200, 300, 150, 150)), std::make_tuple(25, 0, 125, 150));
    EXPECT_EQ(edges(FitRect(100, 50, 150, 150)), std::make_tuple(25, 50, 125, 100));
    const DrawRect thin = FitRect(151, 1, 150, 150);
    EXPECT_EQ(edges(thin), std::make_tuple(0, 74, 150, 74));
    EXPECT_TRUE(thin.isEmpty());
    EXPECT_EQ(thin.width(), 150);
    EXPECT_EQ(thin.height(), 0);
}

TEST(FitRect, PictureThatFitsKeepsItsSizeAndTruncatesTheCentre)
{
    EXPECT_EQ(edges(FitRect(150, 150, 150, 150)), std::make_tuple(0, 0, 150, 150));
    EXPECT_EQ(edges(FitRect(1, 1, 150, 150)), std::make_tuple(74, 74, 75, 75));
    EXPECT_EQ(edges(FitRect(149, 150, 150, 150)), std::make_tuple(0, 0, 149, 150));
    EXPECT_EQ(edges(FitRect(150, 10, 150, 150)), std::make_tuple(0, 70, 150, 80));
}

TEST(FitRect, LargerPictureTouchesTwoOppositeEdges)
{
    // Square pictures take the "at least as wide as high" branch.
    EXPECT_EQ(edges(FitRect(4000, 4000, 150, 150)), std::make_tuple(0, 0, 150, 150));
    // 4000 x 3000: s = 0.75, t = 112.5, top = trunc(18.75) = 18, bottom = trunc(130.5) = 130.
    EXPECT_EQ(edges(FitRect(4000, 3000, 150, 150)), std::make_tuple(0, 18, 150, 130));
    EXPECT_EQ(edges(FitRect(3000, 4000, 150, 150)), std::make_tuple(18, 0, 130, 150));
    // Taller than wide but only one side too large.
    EXPECT_EQ(edges(FitRect(10, 151, 150, 150)), std::make_tuple(70, 0, 79, 150));
    // 1 x 1000: t = 0.15, nothing left to draw across.
    EXPECT_TRUE(FitRect(1, 1000, 150, 150).isEmpty());
}

TEST(FitRect, NonSquareBoxScalesAcrossByWidthAndDownByHeight)
{
    // Wide picture: full box width; height is the box height times h / w.
    EXPECT_EQ(edges(FitRect(400, 200, 200, 100)), std::make_tuple(0, 25, 200, 75));
    // Tall picture: full box height; width is the box width times w / h.
    // t = 300 * 0.25 = 75, left = trunc(112.5) = 112, right = trunc(187) = 187.
    EXPECT_EQ(edges(FitRect(100, 400, 300, 200)), std::make_tuple(112, 0, 187, 200));
    // Fits in a non-square box: centred.
    EXPECT_EQ(edges(FitRect(50, 20, 300, 100)), std::make_tuple(125, 40, 175, 60));
    // Too high for a wide box but narrower than it: still the "taller" rule.
    EXPECT_EQ(edges(FitRect(100, 200, 400, 100)), std::make_tuple(100, 0, 300, 100));
}
