// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/flatbutton.h"

#include <QPainter>

namespace zarvo {

namespace {
const QColor kSkyBlue(166, 202, 240);
}

FlatButton::FlatButton(const QPixmap& glyph, const QString& hint, QWidget* parent)
    : QAbstractButton(parent)
    , m_glyph(glyph)
{
    setToolTip(hint);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    resize(sizeHint());
}

void FlatButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    update();
    Q_EMIT mouseEntered();
}

void FlatButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    update();
}

void FlatButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const bool down = isDown();
    const bool hot = underMouse() || down;
    if (hot) {
        const QRect outer = rect().adjusted(0, 0, -1, -1);
        p.setPen(Qt::black);
        p.drawRect(outer);
        const QRect inner = outer.adjusted(1, 1, -1, -1);
        // Highlight top-left, shadow bottom-right; swapped while pressed.
        p.setPen(QPen(kSkyBlue.lighter(down ? 100 : 110), 1));
        p.drawLine(inner.topLeft(), inner.topRight());
        p.drawLine(inner.topLeft(), inner.bottomLeft());
        p.setPen(QPen(kSkyBlue.darker(down ? 100 : 115), 1));
        p.drawLine(inner.bottomLeft(), inner.bottomRight());
        p.drawLine(inner.topRight(), inner.bottomRight());
        if (down)
            p.fillRect(inner.adjusted(1, 1, 0, 0), QColor(166, 202, 240, 60));
    }
    if (!m_glyph.isNull()) {
        const QSize size = m_glyph.deviceIndependentSize().toSize();
        QPoint at((width() - size.width()) / 2, (height() - size.height()) / 2);
        if (down)
            at += QPoint(1, 1);
        p.drawPixmap(at, m_glyph);
    }
}

} // namespace zarvo
