// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/placeholderthumbnail.h"

#include "imaging/thumbnailer.h"

#include <QPainter>
#include <QPainterPath>

namespace zarvo {

QImage drawnPlaceholderThumbnail()
{
    constexpr int size = Thumbnailer::kSize;
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(0xffffffffu);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor line(0xc8, 0xcc, 0xd2);
    const QColor fill(0xee, 0xf0, 0xf3);

    // A picture frame torn in two along a zigzag, the halves slightly apart.
    const QRectF frame(37.5, 47.5, 75, 55);
    const QList<QPointF> tear = { { 77, 47.5 }, { 70, 63 }, { 79, 75 }, { 71, 89 }, { 76, 102.5 } };
    QPainterPath left;
    left.moveTo(frame.topLeft());
    for (const QPointF& point : tear)
        left.lineTo(point);
    left.lineTo(frame.bottomLeft());
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(frame.topRight());
    for (const QPointF& point : tear)
        right.lineTo(point);
    right.lineTo(frame.bottomRight());
    right.closeSubpath();

    painter.setPen(QPen(line, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.save();
    painter.translate(-3, 1);
    painter.rotate(-2);
    painter.drawPath(left);
    // A mountain on the left half.
    painter.setBrush(line);
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygonF({ { 43, 96 }, { 56, 78 }, { 68, 96 } }));
    painter.restore();

    painter.setPen(QPen(line, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.save();
    painter.translate(4, -1);
    painter.rotate(2);
    painter.drawPath(right);
    // The sun on the right half.
    painter.setBrush(line);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(96, 62), 6, 6);
    painter.restore();
    return image;
}

QImage placeholderThumbnail()
{
    static const QImage placeholder = [] {
        const QImage artwork(QStringLiteral(":/images/placeholder.png"));
        return artwork.isNull() ? drawnPlaceholderThumbnail() : Thumbnailer::normalized(artwork);
    }();
    return placeholder;
}

} // namespace zarvo
