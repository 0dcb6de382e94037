// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/twai.h"
#include "support/recordingprompt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <semaphore>
#include <stdexcept>

namespace zarvo {
namespace {

QString label1(const Twai& w)
{
    return w.findChild<QLabel*>(QStringLiteral("Label1"))->text();
}

// Runs the event loop until the window has closed itself. The bound only keeps a broken
// build from hanging; a healthy run ends as soon as the worker returns.
bool waitUntilFinished(Twai& w)
{
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&w, &QDialog::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return finished;
}

class TwaiTest : public ::testing::Test
{
protected:
    Twai::WarnFn warn()
    {
        return [this](PopupKind kind, const QString& text) { prompt.popup(kind, text); };
    }
    test::RecordingPrompt prompt;
};

TEST_F(TwaiTest, WindowLayout)
{
    Twai w(
        nullptr, [] { return true; }, warn());
    EXPECT_EQ(w.objectName(), QStringLiteral("Twai"));
    EXPECT_EQ(w.size(), QSize(517, 145));
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(Qt::white));

    auto* shape = w.findChild<QFrame*>(QStringLiteral("Shape1"));
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->geometry(), QRect(0, 0, 517, 145));
    EXPECT_EQ(shape->lineWidth(), 3);
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("Image1"))->geometry(), QRect(32, 8, 128, 128));

    struct Expect
    {
        const char* name;
        QPoint pos;
        QString text;
        QColor colour;
    };
    const Expect labels[] = {
        { "Label1", { 176, 64 }, QStringLiteral("系统正在检测和修复数据库,请稍等......"),
            w.palette().color(QPalette::WindowText) },
        { "Label2", { 272, 96 }, QStringLiteral("为了确保下一次程序能正常加载数据库"),
            QColor(166, 202, 240) },
        { "Label3", { 272, 110 }, QStringLiteral("所以每次退出程序前,程序都会自动检测一次"),
            QColor(166, 202, 240) },
        { "Label4", { 272, 124 }, QStringLiteral("在检测期间请不要关闭程序"), QColor(255, 0, 0) },
    };
    for (const Expect& e : labels) {
        auto* label = w.findChild<QLabel*>(QLatin1String(e.name));
        ASSERT_TRUE(label) << e.name;
        EXPECT_EQ(label->pos(), e.pos) << e.name;
        EXPECT_EQ(label->text(), e.text) << e.name;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), e.colour) << e.name;
        EXPECT_EQ(label->font().pixelSize(), 12) << e.name;
        EXPECT_FALSE(label->autoFillBackground()) << e.name;
        EXPECT_TRUE(w.rect().contains(label->geometry())) << e.name << " is cut off";
    }

    auto* timer1 = w.findChild<QTimer*>(QStringLiteral("Timer1"));
    auto* timer2 = w.findChild<QTimer*>(QStringLiteral("Timer2"));
    ASSERT_TRUE(timer1 && timer2);
    EXPECT_TRUE(timer1->isActive());
    EXPECT_EQ(timer1->interval(), 500);
    EXPECT_TRUE(timer2->isActive());
    EXPECT_TRUE(timer2->isSingleShot());
    EXPECT_EQ(timer2->interval(), 2000);
}

TEST_F(TwaiTest, DotsCountFromNoneToSixAndStartAgainAtOne)
{
    Twai::resetDotCounter();
    Twai w(
        nullptr, [] { return true; }, warn());
    const QString base = QStringLiteral("系统正在检测和修复数据库,请稍等");
    const int expected[] = { 0, 1, 2, 3, 4, 5, 6, 1, 2 };
    for (int dots : expected) {
        w.Timer1Timer();
        EXPECT_EQ(label1(w), base + QString(dots, QLatin1Char('.')));
    }

    // The counter belongs to the run, not to one window.
    Twai next(
        nullptr, [] { return true; }, warn());
    next.Timer1Timer();
    EXPECT_EQ(label1(next), base + QStringLiteral("..."));
}

TEST_F(TwaiTest, SuccessClosesWithoutPopupAfterCompactingOffTheWindowThread)
{
    std::atomic<int> calls = 0;
    std::atomic<QThread*> thread = nullptr;
    Twai w(
        nullptr,
        [&] {
            ++calls;
            thread = QThread::currentThread();
            return true;
        },
        warn());
    w.show();
    w.Timer2Timer();
    w.Timer2Timer(); // a second tick must not compact again
    EXPECT_FALSE(w.findChild<QTimer*>(QStringLiteral("Timer2"))->isActive());
    ASSERT_TRUE(waitUntilFinished(w));
    EXPECT_EQ(calls, 1);
    EXPECT_NE(thread.load(), QThread::currentThread());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST_F(TwaiTest, FailedOrThrowingCompactionWarnsAndCloses)
{
    const Twai::CompactFn failures[] = {
        [] { return false; },
        []() -> bool { throw std::runtime_error("disk full"); },
    };
    for (const Twai::CompactFn& compact : failures) {
        prompt.clear();
        Twai w(nullptr, compact, warn());
        w.show();
        w.Timer2Timer();
        ASSERT_TRUE(waitUntilFinished(w));
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_FALSE(w.isVisible());
        ASSERT_EQ(prompt.popups.size(), 1);
        EXPECT_EQ(prompt.popups.front().kind, PopupKind::Warning);
        EXPECT_EQ(prompt.popups.front().text,
            QStringLiteral("数据库修复失败，可能是您的计算机中没有安装 ADO "
                           "引擎，或者是数据库文件正被其它程序打开"));
    }
}

TEST_F(TwaiTest, StaysOpenAndAnimatedUntilTheCompactionReturns)
{
    std::binary_semaphore release(0);
    std::binary_semaphore entered(0);
    Twai w(
        nullptr,
        [&] {
            entered.release();
            release.acquire();
            return true;
        },
        warn());
    w.show();
    w.Timer2Timer();
    entered.acquire();

    // The user cannot close it meanwhile, and the window thread is free.
    w.reject();
    w.close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isVisible());
    const QString before = label1(w);
    w.Timer1Timer();
    EXPECT_NE(label1(w), before);

    release.release();
    ASSERT_TRUE(waitUntilFinished(w));
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST_F(TwaiTest, DestroyingTheWindowWaitsForARunningCompaction)
{
    std::atomic<bool> done = false;
    std::binary_semaphore entered(0);
    std::binary_semaphore release(0);
    {
        Twai w(
            nullptr,
            [&] {
                entered.release();
                release.acquire();
                done = true;
                return true;
            },
            warn());
        w.Timer2Timer();
        entered.acquire();
        release.release();
    }
    EXPECT_TRUE(done);
}

} // namespace
} // namespace zarvo
