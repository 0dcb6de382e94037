// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/popupplacement.h"

#include <array>
#include <utility>

namespace zarvo {

TaskbarEdge taskbarEdge(const DesktopGeometry& desktop)
{
    const QRect& s = desktop.screen;
    const QRect& a = desktop.available;
    const std::array<std::pair<TaskbarEdge, int>, 4> insets { {
        { TaskbarEdge::Bottom, s.bottom() - a.bottom() },
        { TaskbarEdge::Top, a.top() - s.top() },
        { TaskbarEdge::Left, a.left() - s.left() },
        { TaskbarEdge::Right, s.right() - a.right() },
    } };
    TaskbarEdge edge = TaskbarEdge::Bottom;
    int widest = 0;
    for (const auto& [candidate, inset] : insets) {
        if (inset > widest) {
            widest = inset;
            edge = candidate;
        }
    }
    return edge;
}

PopupPlacement placePopup(const DesktopGeometry& desktop, QSize size, int stackOffset)
{
    const QRect& area = desktop.available;
    PopupPlacement p;
    p.edge = taskbarEdge(desktop);
    p.fromTop = p.edge == TaskbarEdge::Top;

    const int left = p.edge == TaskbarEdge::Left
        ? area.left() + PopupStartX
        : area.left() + area.width() - PopupStartX - size.width();
    const int top = p.fromTop
        ? area.top() + PopupStartY + stackOffset
        : area.top() + area.height() - PopupStartY - size.height() - stackOffset;
    p.rect = QRect(QPoint(left, top), size);
    p.fits = !size.isEmpty() && stackOffset >= 0 && area.contains(p.rect);
    return p;
}

} // namespace zarvo
