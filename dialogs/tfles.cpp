// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tfles.h"

#include "dialogs/screencentre.h"
#include "view/language.h"

#include <QPainter>
#include <QPen>

namespace zarvo {

Tfles::Tfles(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_picture(languagePicture(QStringLiteral("splash.jpg")))
{
    setObjectName(QStringLiteral("Tfles"));
    setFixedSize(800, 600);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    centreOnScreen(*this);
}

void Tfles::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_picture.isNull())
        p.drawPixmap(0, 0, m_picture);
    // "Mask" pen mode: the outline is ANDed into the picture, so a black pen darkens it.
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    QPen pen(Qt::black);
    pen.setWidth(3);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

} // namespace zarvo
