// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "giftool/frameviewlayout.h"

#include "imaging/fitrect.h"

namespace zarvo {

FrameViewLayout frameViewLayout(QSize area, QSize frame, int barExtent)
{
    FrameViewLayout layout;
    if (area.width() < frame.width() || area.height() < frame.height()) {
        if (area.height() < frame.height()) {
            layout.verticalOn = true;
            layout.verticalMax = frame.height() - area.height();
        }
        if (area.width() < frame.width()) {
            layout.horizontalOn = true;
            layout.horizontalMax = frame.width() - area.width();
        }
        return layout;
    }
    const DrawRect r = FitRect(
        frame.width(), frame.height(), area.width() - barExtent, area.height() - barExtent);
    layout.position = QPoint(r.left, r.top);
    return layout;
}

} // namespace zarvo
