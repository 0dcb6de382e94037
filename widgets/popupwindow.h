// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/prompt.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace zarvo {

// One message popup on screen: a caption-less, always-on-top window that never takes the
// focus and has no taskbar button. It slides out of the taskbar-side edge of its final
// rectangle, stays, slides back and then closes and deletes itself (deleteLater). A press of
// any mouse button on it closes it at once, in any state.
//
// Its face (white, lowered 2-pixel bevel, icon, title, centred word-wrapped text) is drawn
// for the full height and stays anchored to the far edge while the window grows or shrinks,
// so the content appears to come out of the taskbar edge.
//
// The animation runs on user-interface timers that call advance() every step and endStay()
// when the stay is over. With timers disabled (tests), the caller drives the same functions.
class PopupWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int kind READ kindNumber CONSTANT)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString text READ text CONSTANT)

public:
    enum class State { SlidingIn, Staying, SlidingOut, Closed };

    // What the popup shows; MsnPop fills it in per kind.
    struct Look
    {
        PopupKind kind = PopupKind::Tip;
        QString title;
        QString text;
        QColor colour; // of the title and the text
        int iconLeft = 0;
        int iconTop = 0;
        QPixmap icon; // may be null: then no icon is drawn
        QFont titleFont;
        QFont textFont;
    };

    // How the popup moves.
    struct Motion
    {
        int step = 9; // pixels grown or shrunk per step
        int stepMs = 25; // time between two steps
        int stayMs = 4000; // time fully shown
        bool timers = true; // false: nothing moves until advance()/endStay() are called
    };

    // `finalRect` is the fully shown rectangle; `fromTop` says whether the popup slides out
    // of its top edge (taskbar at the top) or its bottom edge. Nothing is shown until start().
    PopupWindow(const Look& look, const QRect& finalRect, bool fromTop, const Motion& motion);
    ~PopupWindow() override;

    // Shows the popup 1 pixel deep at its taskbar-side edge and starts sliding in.
    void start();

    PopupKind kind() const { return m_look.kind; }
    int kindNumber() const { return static_cast<int>(m_look.kind); }
    QString title() const { return m_look.title; }
    QString text() const { return m_look.text; }
    int iconTop() const { return m_look.iconTop; }
    QColor colour() const { return m_look.colour; }
    QRect finalRect() const { return m_finalRect; }
    State state() const { return m_state; }

public Q_SLOTS:
    // One animation step: grows while sliding in (the last step clips to the full height and
    // begins the stay), shrinks while sliding out (a step that would leave no height closes
    // the popup). Does nothing while staying or closed.
    void advance();
    // Ends the stay: sliding out begins. Does nothing in any other state.
    void endStay();
    // Closes the popup at once (hidden now, deleted later).
    void closeNow();

Q_SIGNALS:
    // Emitted once, when the popup closes (or is destroyed without having closed).
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setDepth(int height);
    void finish();
    void paintFace(QPixmap& target) const;

    Look m_look;
    QRect m_finalRect;
    bool m_fromTop;
    Motion m_motion;
    State m_state = State::SlidingIn;
    QTimer m_stepTimer;
    QTimer m_stayTimer;
    QPixmap m_face; // the fully shown popup, drawn once
};

} // namespace zarvo
