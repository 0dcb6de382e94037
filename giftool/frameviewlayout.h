// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QSize>

namespace zarvo {

// Where the GIF tool's frame view puts a frame, and how its scroll bars stand.
struct FrameViewLayout
{
    QPoint position; // of Panel7 inside Panel6
    bool verticalOn = false; // bar1
    int verticalMax = 0;
    bool horizontalOn = false; // bar2
    int horizontalMax = 0;
};

inline constexpr int kFrameViewBarExtent = 17;

// A frame larger than the area in either direction goes to the top-left corner; each bar of
// a direction in which it overflows is enabled with the overflow as its maximum (the other
// stays off at 0). A frame that fits goes where FitRect puts it inside the area less the
// bars (centred), with both bars off. Pure arithmetic.
FrameViewLayout frameViewLayout(QSize area, QSize frame, int barExtent = kFrameViewBarExtent);

} // namespace zarvo
