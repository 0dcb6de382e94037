// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/msnpop.h"
#include "widgets/popupwindow.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <gtest/gtest.h>

#include <vector>

namespace zarvo {
namespace {

const DesktopGeometry BottomTaskbar { QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040) };
const DesktopGeometry TopTaskbar { QRect(0, 0, 1920, 1080), QRect(0, 40, 1920, 1040) };

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A component driven by hand on a known desktop.
class MsnPopTest : public ::testing::Test
{
protected:
    MsnPopTest()
    {
        pop.setTimersEnabled(false);
        pop.setDesktopGeometry(BottomTaskbar);
        QObject::connect(&pop, &MsnPop::allClosed, [this] { ++allClosed; });
    }
    ~MsnPopTest() override { flushDeletes(); }

    PopupWindow* show(PopupKind kind, const QString& text)
    {
        const int before = pop.openCount();
        pop.ShowPopup(kind, text);
        if (pop.openCount() != before + 1)
            return nullptr;
        return pop.popups().back();
    }

    static void slideIn(PopupWindow* w)
    {
        for (int i = 0; i < 100 && w->state() == PopupWindow::State::SlidingIn; ++i)
            w->advance();
    }

    MsnPop pop;
    int allClosed = 0;
};

TEST_F(MsnPopTest, TipSlidesInStaysAndSlidesOutStepByStep)
{
    QPointer<PopupWindow> w = show(PopupKind::Tip, QStringLiteral("已添加"));
    ASSERT_TRUE(w);
    const QRect final(1920 - 16 - 135, 1040 - 2 - 135, 135, 135);
    EXPECT_EQ(w->finalRect(), final);
    EXPECT_TRUE(w->isVisible());

    std::vector<int> in { w->height() };
    while (w->state() == PopupWindow::State::SlidingIn) {
        EXPECT_EQ(w->geometry().bottom(), final.bottom()) << "grows away from the taskbar";
        w->advance();
        in.push_back(w->height());
    }
    const std::vector<int> expectedIn { 1, 10, 19, 28, 37, 46, 55, 64, 73, 82, 91, 100, 109, 118,
        127, 135 };
    EXPECT_EQ(in, expectedIn);
    EXPECT_EQ(w->geometry(), final);
    EXPECT_EQ(w->state(), PopupWindow::State::Staying);

    w->advance(); // nothing moves during the stay
    EXPECT_EQ(w->geometry(), final);

    w->endStay();
    ASSERT_EQ(w->state(), PopupWindow::State::SlidingOut);
    std::vector<int> out;
    for (int i = 0; i < 14; ++i) {
        w->advance();
        out.push_back(w->height());
        EXPECT_EQ(w->geometry().bottom(), final.bottom());
    }
    const std::vector<int> expectedOut { 126, 117, 108, 99, 90, 81, 72, 63, 54, 45, 36, 27, 18, 9 };
    EXPECT_EQ(out, expectedOut);
    EXPECT_EQ(pop.openCount(), 1);
    EXPECT_EQ(allClosed, 0);

    w->advance(); // the 15th step would leave nothing
    EXPECT_EQ(w->state(), PopupWindow::State::Closed);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(pop.openCount(), 0);
    EXPECT_EQ(allClosed, 1);
    flushDeletes();
    EXPECT_FALSE(w) << "a closed popup deletes itself";
}

TEST_F(MsnPopTest, EachKindHasItsTitleColourHeightAndIconTop)
{
    struct Expect
    {
        PopupKind kind;
        QString title;
        QColor colour;
        int height;
        int iconTop;
    };
    const Expect kinds[] = {
        { PopupKind::Tip, QStringLiteral("    提示:"), QColor(0, 0, 0), 135, 0 },
        { PopupKind::Success, QStringLiteral("恭喜:"), QColor(166, 202, 240), 180, 40 },
        { PopupKind::Warning, QStringLiteral("警告:"), QColor(255, 0, 0), 160, 20 },
    };
    for (const Expect& e : kinds) {
        const QString text = QStringLiteral("文件夹 A 创建成功");
        PopupWindow* w = show(e.kind, text);
        ASSERT_TRUE(w);
        EXPECT_EQ(w->property("kind").toInt(), static_cast<int>(e.kind));
        EXPECT_EQ(w->property("title").toString(), e.title);
        EXPECT_EQ(w->property("text").toString(), text);
        EXPECT_EQ(w->windowTitle(), e.title + text);
        EXPECT_EQ(w->accessibleName(), e.title + text);
        EXPECT_EQ(w->colour(), e.colour);
        EXPECT_EQ(w->iconTop(), e.iconTop);
        EXPECT_EQ(w->finalRect().size(), QSize(135, e.height));
        EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
        w->closeNow();
    }
    EXPECT_EQ(allClosed, 3);
}

TEST_F(MsnPopTest, PopupsStackThreePixelsApartUntilAllHaveClosed)
{
    PopupWindow* first = show(PopupKind::Tip, QStringLiteral("一"));
    PopupWindow* second = show(PopupKind::Warning, QStringLiteral("二"));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->finalRect().bottom() + 1 + 3, first->finalRect().top());
    EXPECT_EQ(second->finalRect().height(), 160);
    EXPECT_EQ(pop.openCount(), 2);

    // A closed popup leaves its place taken while another is still open.
    const QRect firstRect = first->finalRect();
    first->closeNow();
    EXPECT_EQ(allClosed, 0);
    PopupWindow* third = show(PopupKind::Success, QStringLiteral("三"));
    ASSERT_TRUE(third);
    EXPECT_EQ(third->finalRect().bottom() + 1 + 3, second->finalRect().top());

    second->closeNow();
    third->closeNow();
    EXPECT_EQ(allClosed, 1);
    EXPECT_EQ(pop.openCount(), 0);

    PopupWindow* again = show(PopupKind::Tip, QStringLiteral("四"));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->finalRect(), firstRect) << "back in the corner";
}

TEST_F(MsnPopTest, PopupThatWouldNotFitIsNotShown)
{
    pop.setDesktopGeometry(DesktopGeometry { QRect(0, 0, 800, 440), QRect(0, 0, 800, 400) });
    PopupWindow* first = show(PopupKind::Tip, QStringLiteral("一"));
    PopupWindow* second = show(PopupKind::Tip, QStringLiteral("二"));
    ASSERT_TRUE(first && second);
    const int offset = pop.stackOffset();
    EXPECT_EQ(offset, 2 * (135 + 3));

    // 276 + 135 + 2 > 400.
    EXPECT_FALSE(show(PopupKind::Tip, QStringLiteral("三")));
    EXPECT_EQ(pop.openCount(), 2);
    EXPECT_EQ(pop.stackOffset(), offset);

    first->closeNow();
    second->closeNow();
    EXPECT_TRUE(show(PopupKind::Tip, QStringLiteral("四")));
}

TEST_F(MsnPopTest, MovedTaskbarRestartsTheStackInTheNewCorner)
{
    ASSERT_TRUE(show(PopupKind::Tip, QStringLiteral("一")));
    pop.setDesktopGeometry(TopTaskbar);
    PopupWindow* w = show(PopupKind::Tip, QStringLiteral("二"));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->finalRect(), QRect(1920 - 16 - 135, 40 + 2, 135, 135));

    // From the top it grows downwards.
    w->advance();
    EXPECT_EQ(w->geometry(), QRect(1920 - 16 - 135, 42, 135, 10));
}

TEST_F(MsnPopTest, ContentSlidesOutOfTheTaskbarEdge)
{
    for (const DesktopGeometry& desktop : { BottomTaskbar, TopTaskbar }) {
        pop.setDesktopGeometry(desktop);
        PopupWindow* w
            = show(PopupKind::Warning, QStringLiteral("很长的一段文字，要折成好几行才能放进去"));
        ASSERT_TRUE(w);
        for (int i = 0; i < 8; ++i)
            w->advance();
        const QImage partial = w->grab().toImage();
        slideIn(w);
        const QImage full = w->grab().toImage();
        ASSERT_EQ(partial.height(), 1 + 8 * 9);
        const bool fromTop = desktop == TopTaskbar;
        // The visible part is the far end of the face: the top of it when the popup rises
        // from a bottom taskbar, the bottom of it when it drops from a top one.
        const QImage expected = full.copy(
            0, fromTop ? full.height() - partial.height() : 0, full.width(), partial.height());
        EXPECT_EQ(partial.convertToFormat(QImage::Format_RGB32),
            expected.convertToFormat(QImage::Format_RGB32))
            << (fromTop ? "top taskbar" : "bottom taskbar");
        w->closeNow();
    }
}

TEST_F(MsnPopTest, AnyMousePressClosesAtOnceEvenWhileSlidingIn)
{
    QPointer<PopupWindow> w = show(PopupKind::Success, QStringLiteral("成功"));
    ASSERT_TRUE(w);
    w->advance();
    w->advance();
    ASSERT_EQ(w->state(), PopupWindow::State::SlidingIn);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)),
        Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    EXPECT_EQ(w->state(), PopupWindow::State::Closed);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(pop.openCount(), 0);
    EXPECT_EQ(allClosed, 1);

    w->advance(); // a step already queued does nothing more
    w->endStay();
    EXPECT_EQ(allClosed, 1);
    flushDeletes();
    EXPECT_FALSE(w);
}

TEST(MsnPop, DestroyingTheComponentClosesItsPopups)
{
    QPointer<PopupWindow> w;
    {
        MsnPop pop;
        pop.setTimersEnabled(false);
        pop.ShowPopup(PopupKind::Tip, QStringLiteral("提示"));
        ASSERT_EQ(pop.openCount(), 1) << "the offscreen screen takes a popup";
        w = pop.popups().front();
        EXPECT_EQ(pop.objectName(), QStringLiteral("MSNPOP"));
    }
    EXPECT_FALSE(w);
}

TEST(MsnPop, UnknownKindShowsNothing)
{
    MsnPop pop;
    pop.setTimersEnabled(false);
    pop.ShowPopup(static_cast<PopupKind>(5), QStringLiteral("x"));
    EXPECT_EQ(pop.openCount(), 0);
}

} // namespace
} // namespace zarvo
