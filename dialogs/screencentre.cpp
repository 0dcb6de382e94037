// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/screencentre.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zarvo {

void centreOnScreen(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->geometry().center() - window.rect().center());
}

} // namespace zarvo
