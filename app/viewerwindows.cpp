// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/viewerwindows.h"

#include "app/widgetprompt.h"
#include "dialogs/tvie.h"
#include "pictures/savepicture.h"
#include "view/workspace.h"

#include <QGuiApplication>
#include <QScreen>

namespace zarvo {

ViewerWindows::ViewerWindows(Workspace& workspace, QObject* parent)
    : QObject(parent)
    , m_workspace(workspace)
{
}

ViewerWindows::~ViewerWindows()
{
    for (const QPointer<Tvie>& window : std::as_const(m_windows))
        delete window.data();
}

QSize ViewerWindows::screenSize() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

void ViewerWindows::openViewer(ViewedPicture picture, const QRect& frame)
{
    m_windows.removeAll(nullptr);
    auto* window = new Tvie(std::move(picture), m_workspace.prompt());
    connect(window, &Tvie::ff1Clicked, this, [this, window] {
        // The save dialog and the overwrite question belong to the viewer, which stays on top.
        const AskingWindow asking(window);
        m_workspace.run([window](Workspace& workspace) {
            const ViewedPicture& shown = window->picture();
            SavePicture(workspace, shown.table, shown.name, shown.kind, shown.bytes);
        });
    });
    window->setOuterGeometry(frame);
    window->show();
    m_windows.append(window);
}

QList<Tvie*> ViewerWindows::windows() const
{
    QList<Tvie*> open;
    for (const QPointer<Tvie>& window : m_windows)
        if (window)
            open.append(window.data());
    return open;
}

} // namespace zarvo
