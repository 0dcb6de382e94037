// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/popupplacement.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

const QRect Screen(0, 0, 1920, 1080);
const QSize Tip(135, 135);

TEST(PopupPlacement, TaskbarEdgeFollowsTheInsetOfTheWorkArea)
{
    EXPECT_EQ(taskbarEdge({ Screen, QRect(0, 0, 1920, 1040) }), TaskbarEdge::Bottom);
    EXPECT_EQ(taskbarEdge({ Screen, QRect(0, 40, 1920, 1040) }), TaskbarEdge::Top);
    EXPECT_EQ(taskbarEdge({ Screen, QRect(60, 0, 1860, 1080) }), TaskbarEdge::Left);
    EXPECT_EQ(taskbarEdge({ Screen, QRect(0, 0, 1860, 1080) }), TaskbarEdge::Right);
    EXPECT_EQ(taskbarEdge({ Screen, Screen }), TaskbarEdge::Bottom);
    // A thin top bar and a wide dock on the left: the dock is the taskbar.
    EXPECT_EQ(taskbarEdge({ Screen, QRect(70, 27, 1850, 1053) }), TaskbarEdge::Left);
}

TEST(PopupPlacement, CornerOnEachTaskbarEdge)
{
    const PopupPlacement bottom = placePopup({ Screen, QRect(0, 0, 1920, 1040) }, Tip, 0);
    EXPECT_EQ(bottom.edge, TaskbarEdge::Bottom);
    EXPECT_EQ(bottom.rect, QRect(1920 - 16 - 135, 1040 - 2 - 135, 135, 135));
    EXPECT_FALSE(bottom.fromTop);
    EXPECT_TRUE(bottom.fits);

    const PopupPlacement right = placePopup({ Screen, QRect(0, 0, 1860, 1080) }, Tip, 0);
    EXPECT_EQ(right.edge, TaskbarEdge::Right);
    EXPECT_EQ(right.rect, QRect(1860 - 16 - 135, 1080 - 2 - 135, 135, 135));
    EXPECT_FALSE(right.fromTop);

    const PopupPlacement top = placePopup({ Screen, QRect(0, 40, 1920, 1040) }, Tip, 0);
    EXPECT_EQ(top.edge, TaskbarEdge::Top);
    EXPECT_EQ(top.rect, QRect(1920 - 16 - 135, 40 + 2, 135, 135));
    EXPECT_TRUE(top.fromTop);
    EXPECT_TRUE(top.fits);

    const PopupPlacement left = placePopup({ Screen, QRect(60, 0, 1860, 1080) }, Tip, 0);
    EXPECT_EQ(left.edge, TaskbarEdge::Left);
    EXPECT_EQ(left.rect, QRect(60 + 16, 1080 - 2 - 135, 135, 135));
    EXPECT_FALSE(left.fromTop);

    const PopupPlacement none = placePopup({ Screen, Screen }, Tip, 0);
    EXPECT_EQ(none.rect, QRect(1920 - 16 - 135, 1080 - 2 - 135, 135, 135));
}

TEST(PopupPlacement, StackOffsetMovesAwayFromTheTaskbar)
{
    const PopupPlacement bottom = placePopup({ Screen, QRect(0, 0, 1920, 1040) }, Tip, 138);
    EXPECT_EQ(bottom.rect.bottom() + 1, 1040 - 2 - 138);
    const PopupPlacement top = placePopup({ Screen, QRect(0, 40, 1920, 1040) }, Tip, 138);
    EXPECT_EQ(top.rect.top(), 40 + 2 + 138);
    const PopupPlacement left = placePopup({ Screen, QRect(60, 0, 1860, 1080) }, Tip, 138);
    EXPECT_EQ(left.rect.bottom() + 1, 1080 - 2 - 138);
}

TEST(PopupPlacement, SecondScreenKeepsItsOrigin)
{
    const QRect second(1920, 200, 1280, 1024);
    const PopupPlacement p = placePopup({ second, QRect(1920, 200, 1280, 984) }, Tip, 0);
    EXPECT_EQ(p.rect, QRect(1920 + 1280 - 16 - 135, 200 + 984 - 2 - 135, 135, 135));
    EXPECT_TRUE(p.fits);
}

TEST(PopupPlacement, FitsOnlyWhileInsideTheWorkArea)
{
    // Bottom taskbar: the popup's top reaches the work area's top at offset 1040-2-135.
    const DesktopGeometry bottom { Screen, QRect(0, 0, 1920, 1040) };
    EXPECT_TRUE(placePopup(bottom, Tip, 903).fits);
    EXPECT_FALSE(placePopup(bottom, Tip, 904).fits);

    // Top taskbar: the popup's bottom reaches the screen's bottom.
    const DesktopGeometry top { Screen, QRect(0, 40, 1920, 1040) };
    EXPECT_TRUE(placePopup(top, Tip, 903).fits);
    EXPECT_FALSE(placePopup(top, Tip, 904).fits);

    // A work area too narrow for the side gap and the popup.
    EXPECT_FALSE(placePopup({ QRect(0, 0, 150, 600), QRect(0, 0, 150, 560) }, Tip, 0).fits);
}

} // namespace
} // namespace zarvo
