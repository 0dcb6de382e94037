// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "giftool/fitpicture.h"

#include "imaging/fitrect.h"

#include <QPainter>

namespace zarvo {

FitPicture::FitPicture(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FitPicture::setImage(const QImage& image)
{
    m_image = image;
    update();
}

void FitPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (m_image.isNull())
        return;
    const DrawRect r = FitRect(m_image.width(), m_image.height(), width(), height());
    if (r.isEmpty())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(r.left, r.top, r.width(), r.height()), m_image);
}

} // namespace zarvo
