// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tabou.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <gtest/gtest.h>

namespace zarvo {
namespace {

void sendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button,
    Qt::MouseButtons buttons)
{
    QMouseEvent event(
        type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

TEST(Tabou, FixedAlwaysOnTopWindowWithOnlyACloseBox)
{
    Tabou w;
    EXPECT_EQ(w.objectName(), QStringLiteral("Tabou"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("关于"));
    EXPECT_EQ(w.size(), QSize(379, 226));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_FALSE(w.isModal());
    const Qt::WindowFlags flags = w.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    auto* image = w.findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->geometry(), QRect(0, 0, 379, 226));
}

TEST(Tabou, ClosingOnlyHidesIt)
{
    QPointer<Tabou> w = new Tabou;
    w->show();
    EXPECT_TRUE(w->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->isVisible());
    w->show();
    EXPECT_TRUE(w->isVisible());
    delete w;
}

TEST(Tabou, DraggingThePictureWithTheLeftButtonMovesTheWindow)
{
    Tabou w;
    w.show();
    w.move(100, 100);
    auto* image = w.findChild<QLabel*>(QStringLiteral("Image1"));
    ASSERT_TRUE(image);

    // The right button does not drag.
    sendMouse(image, QEvent::MouseButtonPress, { 50, 50 }, Qt::RightButton, Qt::RightButton);
    sendMouse(image, QEvent::MouseMove, { 90, 70 }, Qt::NoButton, Qt::RightButton);
    sendMouse(image, QEvent::MouseButtonRelease, { 90, 70 }, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(w.pos(), QPoint(100, 100));

    const QPoint pressGlobal = image->mapToGlobal(QPoint(50, 50));
    sendMouse(image, QEvent::MouseButtonPress, { 50, 50 }, Qt::LeftButton, Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(80, 70), QPointF(pressGlobal + QPoint(30, 20)),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(image, &move);
    EXPECT_EQ(w.pos(), QPoint(130, 120));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(80, 70),
        QPointF(pressGlobal + QPoint(30, 20)), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(image, &release);

    // Moving after the release does not drag any more.
    QMouseEvent later(QEvent::MouseMove, QPointF(10, 10), QPointF(pressGlobal + QPoint(300, 300)),
        Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(image, &later);
    EXPECT_EQ(w.pos(), QPoint(130, 120));
}

} // namespace
} // namespace zarvo
