// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/msnpop.h"

#include "widgets/fonts.h"
#include "widgets/popupwindow.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

namespace zarvo {

std::optional<MsnPop::KindLook> MsnPop::lookOf(PopupKind kind)
{
    switch (kind) {
    case PopupKind::Tip:
        return KindLook { tr("    提示:"), QColor(0, 0, 0), 135, 0 };
    case PopupKind::Success:
        return KindLook { tr("恭喜:"), QColor(166, 202, 240), 180, 40 };
    case PopupKind::Warning:
        return KindLook { tr("警告:"), QColor(255, 0, 0), 160, 20 };
    }
    return std::nullopt;
}

QPixmap MsnPop::iconOf(PopupKind kind)
{
    const QImage image(QStringLiteral(":/images/popup/%1.png").arg(static_cast<int>(kind)));
    if (image.isNull())
        return {};
    QPixmap icon = QPixmap::fromImage(image);
    if (!image.hasAlphaChannel()) {
        const QColor key = image.pixelColor(0, image.height() - 1);
        icon.setMask(icon.createMaskFromColor(key, Qt::MaskInColor));
    }
    return icon;
}

MsnPop::MsnPop(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("MSNPOP"));
}

MsnPop::~MsnPop()
{
    const QList<PopupWindow*> open = m_open;
    m_open.clear();
    for (PopupWindow* window : open) {
        disconnect(window, nullptr, this, nullptr);
        delete window;
    }
}

std::optional<DesktopGeometry> MsnPop::desktop() const
{
    if (m_desktop)
        return m_desktop;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return DesktopGeometry { screen->geometry(), screen->availableGeometry() };
}

void MsnPop::ShowPopup(PopupKind kind, const QString& text)
{
    try {
        const std::optional<KindLook> look = lookOf(kind);
        const std::optional<DesktopGeometry> geometry = desktop();
        if (!look || !geometry)
            return;

        const TaskbarEdge edge = taskbarEdge(*geometry);
        if (m_open.isEmpty() || edge != m_edge)
            m_offset = 0;
        m_edge = edge;

        const PopupPlacement place = placePopup(*geometry, QSize(Width, look->height), m_offset);
        if (!place.fits)
            return;

        PopupWindow::Look windowLook;
        windowLook.kind = kind;
        windowLook.title = look->title;
        windowLook.text = text;
        windowLook.colour = look->colour;
        windowLook.iconLeft = IconLeft;
        windowLook.iconTop = look->iconTop;
        windowLook.icon = iconOf(kind);
        windowLook.titleFont = songtiFont(FontPixelSize, true);
        windowLook.textFont = songtiFont(FontPixelSize);

        PopupWindow::Motion motion;
        motion.step = ScrollSpeed;
        motion.stepMs = StepMs;
        motion.stayMs = TimeOut * 1000;
        motion.timers = m_timers;

        auto* window = new PopupWindow(windowLook, place.rect, place.fromTop, motion);
        connect(window, &PopupWindow::closed, this, [this, window] { popupClosed(window); });
        m_open.append(window);
        m_offset += look->height + PopupMarge;
        window->start();
    } catch (...) {
        // A popup is never worth failing the command that asked for it.
    }
}

void MsnPop::popupClosed(PopupWindow* window)
{
    if (!m_open.removeOne(window))
        return;
    if (m_open.isEmpty())
        Q_EMIT allClosed();
}

} // namespace zarvo
