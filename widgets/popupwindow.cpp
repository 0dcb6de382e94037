// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/popupwindow.h"

#include "widgets/displaytext.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QTextOption>
#include <qdrawutil.h>

#include <algorithm>

namespace zarvo {

namespace {

constexpr int TitleLeft = 48;
constexpr int TitleTop = 8;
constexpr int TextMargin = 15; // the text box is the face's width less this

QPalette bevelPalette()
{
    QPalette pal;
    pal.setColor(QPalette::Light, Qt::white);
    pal.setColor(QPalette::Midlight, QColor(227, 227, 227));
    pal.setColor(QPalette::Dark, QColor(160, 160, 160));
    pal.setColor(QPalette::Shadow, QColor(105, 105, 105));
    pal.setColor(QPalette::Button, Qt::white);
    return pal;
}

} // namespace

PopupWindow::PopupWindow(
    const Look& look, const QRect& finalRect, bool fromTop, const Motion& motion)
    : QWidget(nullptr,
        Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
            | Qt::WindowDoesNotAcceptFocus)
    , m_look(look)
    , m_finalRect(finalRect)
    , m_fromTop(fromTop)
    , m_motion(motion)
{
    setObjectName(QStringLiteral("PopupWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(m_look.title + m_look.text);
    setAccessibleName(m_look.title + m_look.text);
    m_motion.step = std::max(1, m_motion.step);

    m_stepTimer.setInterval(m_motion.stepMs);
    m_stayTimer.setInterval(m_motion.stayMs);
    m_stayTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &PopupWindow::advance);
    connect(&m_stayTimer, &QTimer::timeout, this, &PopupWindow::endStay);
    setDepth(1);
}

PopupWindow::~PopupWindow()
{
    if (m_state != State::Closed) {
        m_state = State::Closed;
        Q_EMIT closed();
    }
}

void PopupWindow::start()
{
    show();
    if (m_motion.timers && m_state == State::SlidingIn)
        m_stepTimer.start();
}

void PopupWindow::setDepth(int height)
{
    const int full = m_finalRect.height();
    height = std::clamp(height, 1, std::max(1, full));
    QRect r = m_finalRect;
    if (m_fromTop)
        r.setHeight(height);
    else
        r.setTop(m_finalRect.bottom() + 1 - height);
    setGeometry(r);
}

void PopupWindow::advance()
{
    const int full = m_finalRect.height();
    switch (m_state) {
    case State::SlidingIn: {
        const int next = height() + m_motion.step;
        if (next >= full) {
            setDepth(full);
            m_state = State::Staying;
            m_stepTimer.stop();
            if (m_motion.timers)
                m_stayTimer.start();
        } else {
            setDepth(next);
        }
        break;
    }
    case State::SlidingOut: {
        const int next = height() - m_motion.step;
        if (next <= 0)
            closeNow();
        else
            setDepth(next);
        break;
    }
    case State::Staying:
    case State::Closed:
        break;
    }
}

void PopupWindow::endStay()
{
    if (m_state != State::Staying)
        return;
    m_stayTimer.stop();
    m_state = State::SlidingOut;
    if (m_motion.timers)
        m_stepTimer.start();
}

void PopupWindow::closeNow()
{
    if (m_state == State::Closed)
        return;
    finish();
    hide();
}

void PopupWindow::finish()
{
    m_state = State::Closed;
    m_stepTimer.stop();
    m_stayTimer.stop();
    Q_EMIT closed();
    deleteLater();
}

void PopupWindow::closeEvent(QCloseEvent* event)
{
    if (m_state != State::Closed)
        finish();
    event->accept();
}

void PopupWindow::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    closeNow();
}

void PopupWindow::paintEvent(QPaintEvent*)
{
    const int full = m_finalRect.height();
    const qreal ratio = devicePixelRatioF();
    if (m_face.isNull() || m_face.devicePixelRatio() != ratio) {
        m_face = QPixmap(QSize(width(), full) * ratio);
        m_face.setDevicePixelRatio(ratio);
        paintFace(m_face);
    }
    // The face keeps its place against the far edge; the taskbar side is cut off while the
    // window is not fully out.
    QPainter p(this);
    p.drawPixmap(0, m_fromTop ? height() - full : 0, m_face);
}

void PopupWindow::paintFace(QPixmap& target) const
{
    const int full = m_finalRect.height();
    const QRect face(0, 0, m_finalRect.width(), full);

    QPainter p(&target);
    p.fillRect(face, Qt::white);
    qDrawWinPanel(&p, face, bevelPalette(), true);

    if (!m_look.icon.isNull())
        p.drawPixmap(m_look.iconLeft, m_look.iconTop, m_look.icon);

    p.setPen(m_look.colour);
    p.setFont(m_look.titleFont);
    p.drawText(QRect(TitleLeft, TitleTop, std::max(0, face.width() - TitleLeft), full - TitleTop),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_look.title);

    const QString text = displayText(m_look.text);
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const int boxWidth = std::max(0, face.width() - TextMargin);
    p.setFont(m_look.textFont);
    p.drawText(QRectF((face.width() - boxWidth) / 2, 0, boxWidth, full), text, option);
}

} // namespace zarvo
