// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/viewers.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace zarvo {

class Tvie;
class Workspace;

// The program's viewer windows: each a Tvie on the primary screen, shown without blocking the
// main window. A window's save goes to SavePicture with the names and stored bytes it was
// opened with. The windows close with this object (the main window's end). UI thread only.
class ViewerWindows : public QObject, public Viewers
{
    Q_OBJECT
public:
    explicit ViewerWindows(Workspace& workspace, QObject* parent = nullptr);
    ~ViewerWindows() override;

    QSize screenSize() const override;
    void openViewer(ViewedPicture picture, const QRect& frame) override;

    // The windows still open, oldest first.
    QList<Tvie*> windows() const;

private:
    Workspace& m_workspace;
    QList<QPointer<Tvie>> m_windows;
};

} // namespace zarvo
