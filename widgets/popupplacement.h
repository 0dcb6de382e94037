// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QSize>

namespace zarvo {

// Where message popups appear: the corner of the work area next to the taskbar. Pure
// geometry, no widgets, so every taskbar edge can be checked without a desktop.

enum class TaskbarEdge { Bottom, Top, Left, Right };

// Gap between a popup and the work area's side edge, and between a popup and the work
// area's edge on the taskbar side.
inline constexpr int PopupStartX = 16;
inline constexpr int PopupStartY = 2;

// The whole screen and its work area (the screen less panels and taskbars), as
// QScreen::geometry() and QScreen::availableGeometry() report them.
struct DesktopGeometry
{
    QRect screen;
    QRect available;
    bool operator==(const DesktopGeometry&) const = default;
};

struct PopupPlacement
{
    TaskbarEdge edge = TaskbarEdge::Bottom;
    // The popup's rectangle when fully shown.
    QRect rect;
    // True when the popup slides out of the top edge of `rect` (taskbar at the top), false
    // when it slides out of the bottom edge (taskbar at the bottom, left or right).
    bool fromTop = false;
    // False when `rect` does not lie wholly inside the work area: the popup is then not shown.
    bool fits = false;
};

// The edge of the screen the taskbar sits on: the side where the work area is inset the most
// (ties in the order bottom, top, left, right). No inset at all counts as a bottom taskbar.
TaskbarEdge taskbarEdge(const DesktopGeometry& desktop);

// The rectangle of a popup of `size` placed `stackOffset` pixels away from its corner
// position, away from the taskbar (upwards, or downwards for a top taskbar). The corner
// position keeps the popup PopupStartX pixels from the work area's side edge and PopupStartY
// pixels from its edge on the taskbar side: bottom-right for a bottom or right taskbar, top-right
// for a top taskbar, bottom-left for a left taskbar.
PopupPlacement placePopup(const DesktopGeometry& desktop, QSize size, int stackOffset);

} // namespace zarvo
