// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/prompt.h"
#include "widgets/popupplacement.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

namespace zarvo {

class PopupWindow;

// The message popup component: ShowPopup() is the program's only way to show a tip, a
// success or a warning. It opens a sliding PopupWindow per call in the corner of the work
// area next to the taskbar, stacking popups that are open at the same time away from the
// taskbar, 3 pixels apart.
//
// The stack offset returns to 0 only when a popup is requested while none is open any more,
// or when the taskbar has moved to another edge; a popup that closes does not shrink it. A
// popup that would not fit into the work area at the current offset is not shown.
//
// User-interface thread only. ShowPopup() returns at once and never fails towards the
// caller: anything that goes wrong means no popup. Popups outlive the call that showed them;
// popups still open when the component is destroyed are closed with it.
class MsnPop : public QObject
{
    Q_OBJECT

public:
    // Fixed settings, the same for every kind.
    static constexpr int Width = 135;
    static constexpr int Height = 150; // design height; each kind brings its own
    static constexpr int TimeOut = 4; // seconds a fully shown popup stays
    static constexpr int ScrollSpeed = 9; // pixels per animation step
    static constexpr int StepMs = 25; // time between two animation steps
    static constexpr int PopupMarge = 3; // gap between stacked popups
    static constexpr int IconLeft = 0;
    static constexpr int FontPixelSize = 12;

    // What a kind looks like.
    struct KindLook
    {
        QString title;
        QColor colour;
        int height = Height;
        int iconTop = 0;
    };
    // Tip: "    提示:", black, 135 high, icon at 0; success: "恭喜:", sky blue, 180, 40;
    // warning: "警告:", red, 160, 20. Nothing for a number that is no kind.
    static std::optional<KindLook> lookOf(PopupKind kind);
    // The kind's icon from the resources (":/images/popup/<kind>.png"); a picture without an
    // alpha channel has its lower-left pixel's colour left out. Null when missing.
    static QPixmap iconOf(PopupKind kind);

    explicit MsnPop(QObject* parent = nullptr);
    ~MsnPop() override;

    void ShowPopup(PopupKind kind, const QString& text);

    // The popups open now, oldest first.
    QList<PopupWindow*> popups() const { return m_open; }
    int openCount() const { return static_cast<int>(m_open.size()); }
    int stackOffset() const { return m_offset; }

    // Seams for tests. The screen and work area to place popups in instead of the primary
    // screen's (nullopt: the primary screen again).
    void setDesktopGeometry(std::optional<DesktopGeometry> desktop) { m_desktop = desktop; }
    // Off: popups opened from now on do not move by themselves; the caller steps them with
    // PopupWindow::advance() and PopupWindow::endStay().
    void setTimersEnabled(bool on) { m_timers = on; }

Q_SIGNALS:
    // The last open popup has closed. The program waits for this before it ends while a
    // popup is on screen, so a final warning is seen.
    void allClosed();

private:
    std::optional<DesktopGeometry> desktop() const;
    void popupClosed(PopupWindow* window);

    QList<PopupWindow*> m_open;
    int m_offset = 0;
    std::optional<TaskbarEdge> m_edge;
    std::optional<DesktopGeometry> m_desktop;
    bool m_timers = true;
};

} // namespace zarvo
