// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/viewers.h"

#include "imaging/gifanimation.h"

#include <algorithm>

namespace zarvo {

QSize ViewedPicture::size() const
{
    if (animation)
        return animation->screenSize();
    return canvas.isEmpty() ? image.size() : canvas;
}

namespace viewerlayout {

bool isSmall(QSize picture)
{
    return picture.width() <= kSmallArea.width() && picture.height() <= kSmallArea.height();
}

QSize pictureArea(QSize picture)
{
    return isSmall(picture) ? kSmallArea : picture;
}

QSize outerSize(QSize picture)
{
    return isSmall(picture) ? kSmallWindow
                            : QSize(picture.width(), picture.height() + kLargeExtraHeight);
}

QPoint centred(QSize outer, QSize screen)
{
    return { std::max(0, (screen.width() - outer.width()) / 2),
        std::max(0, (screen.height() - outer.height()) / 2) };
}

QPoint Cascade::place(QSize outer)
{
    const QPoint at = centred(outer, m_screen);
    if (at.x() < m_screen.width() - kCascadeRestart
        && at.y() < m_screen.height() - kCascadeRestart) {
        const QPoint moved = at + QPoint(m_offset, m_offset);
        m_offset += kCascadeStep;
        return moved;
    }
    m_offset = kCascadeStep;
    return at;
}

} // namespace viewerlayout

} // namespace zarvo
