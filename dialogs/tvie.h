// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/viewers.h"

#include <QFutureWatcher>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QMenu;
class QScrollArea;

namespace zarvo {

class GifPlayer;
class Prompt;

// The enlarged-view window: one stored picture at its own size, white, on top of every other
// window, with a close box only and no resizing by its border. A still picture, or an animation
// played with its own delays, disposal, transparency and loop count, is drawn centred in the
// picture area `Image1` at the window's top-left corner (409 x 327 for a small picture, else the
// picture's size). Dragging the picture moves the window. The context menu `PopupMenu1` of
// `Image1` holds `ff1` (save: ff1Clicked()), `X1` (shrink, Ctrl+X), `R1` (restore, Ctrl+R), `N1`
// and `C1` (close).
//
// Outer sizes are what the window asks the window manager for, its frame included: the client
// area is that size less the frame extents the window manager reports (none before the window
// is mapped, and none without a window manager), applied again when they become known. Restore
// compares the outer size the window last asked for, so its tip follows what it set, even when
// the window manager clamps a window larger than the screen.
//
// The window deletes itself when closed. User-interface thread only.
class Tvie : public QWidget
{
    Q_OBJECT
public:
    // `prompt` shows the tips of shrink and restore; it must outlive the window.
    Tvie(ViewedPicture picture, Prompt& prompt, QWidget* parent = nullptr);
    ~Tvie() override;

    // Sets the outer geometry (screen coordinates relative to the screen's top-left corner).
    void setOuterGeometry(const QRect& outer);
    QRect outerGeometry() const { return m_outer; }

    const ViewedPicture& picture() const { return m_picture; }
    // Whether the whole picture is decoded and shown (a large JPEG shows its top rows first).
    bool isPictureComplete() const { return !m_picture.rest; }
    QString tablename() const { return m_picture.table; }
    QString picname() const { return m_picture.name; }
    int pickind() const { return m_picture.kind; }

    QWidget* Image1() const { return m_image1; }
    QMenu* PopupMenu1() const { return m_popupMenu; }
    QScrollArea* scrollArea() const { return m_scroll; }
    bool scrollBarsOn() const;
    GifPlayer* player() const { return m_player; }

    void X1Click();
    void R1Click();

Q_SIGNALS:
    // `ff1` was chosen: the owner saves the picture.
    void ff1Clicked();
    // The rest of a picture shown by its top rows first is decoded and shown (or failed).
    void pictureCompleted();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRect screenRect() const;
    void applyOuter();
    void setScrollBars(bool on);
    void decodeRest();
    // A piece of the rest is in: shows it and asks for the next.
    void restStepped();
    // Shows what the decoding of the rest has brought (on the window's thread).
    void showRest();
    // Asks the decoding of the rest for what the window shows now, and draws what came into sight.
    void followView();

    ViewedPicture m_picture;
    Prompt& m_prompt;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_image1 = nullptr;
    QMenu* m_popupMenu = nullptr;
    GifPlayer* m_player = nullptr;
    QRect m_outer;
    QMargins m_appliedFrame;
    QPoint m_dragOffset; // pointer position within the frame while dragging by hand
    bool m_dragging = false;
    // The piece of the picture being decoded, shown when it is in.
    QFutureWatcher<void> m_rest;
};

} // namespace zarvo
