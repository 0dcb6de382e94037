// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tvie.h"
#include "imaging/gifanimation.h"
#include "imaging/gifdecoder.h"
#include "imaging/gifplayer.h"
#include "imaging/jpegdecoder.h"
#include "imaging/sanitizer.h"
#include "pictures/fangda.h"
#include "support/childprocess.h"
#include "support/recordingprompt.h"
#include "support/testpictures.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace zarvo {
namespace {

using test::RecordingPrompt;

testpictures::GifFrame gifFrame(int left, int top, int width, int height, char index)
{
    testpictures::GifFrame frame;
    frame.left = left;
    frame.top = top;
    frame.width = width;
    frame.height = height;
    frame.indices = QByteArray(width * height, index);
    return frame;
}

ViewedPicture still(QSize size)
{
    ViewedPicture picture;
    picture.table = QStringLiteral("f");
    picture.name = QStringLiteral("cat");
    picture.extension = QStringLiteral(".png");
    picture.kind = 5;
    picture.image = QImage(size, QImage::Format_RGB32);
    picture.image.fill(Qt::red);
    return picture;
}

// Opens a window as the program does: at the outer geometry its run gave it.
Tvie* open(ViewedPicture picture, RecordingPrompt& prompt)
{
    const QSize outer = viewerlayout::outerSize(picture.size());
    auto* window = new Tvie(std::move(picture), prompt);
    window->setOuterGeometry(
        QRect(viewerlayout::centred(outer, QGuiApplication::primaryScreen()->size()), outer));
    window->show();
    return window;
}

TEST(TvieTest, SmallPictureWindowItsMenuAndTheTipsOfShrinkAndRestore)
{
    RecordingPrompt prompt;
    QPointer<Tvie> window = open(still(QSize(100, 80)), prompt);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("文件:cat.png"));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window->Image1()->size(), QSize(409, 327));
    EXPECT_EQ(window->Image1()->pos(), QPoint(0, 0));
    EXPECT_EQ(window->frameGeometry().size(), QSize(410, 357))
        << "no frame without a window manager";
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
    QStringList names;
    for (QAction* a : window->PopupMenu1()->actions())
        names.append(a->objectName());
    EXPECT_EQ(names,
        (QStringList { QStringLiteral("ff1"), QStringLiteral("X1"), QStringLiteral("R1"),
            QStringLiteral("N1"), QStringLiteral("C1") }));
    EXPECT_EQ(
        window->PopupMenu1()->actions()[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));

    QSignalSpy saving(window.data(), &Tvie::ff1Clicked);
    window->PopupMenu1()->actions()[0]->trigger();
    EXPECT_EQ(saving.size(), 1);

    const QRect before = window->outerGeometry();
    window->X1Click();
    window->R1Click();
    EXPECT_EQ(prompt.popups,
        (QList<RecordingPrompt::Popup> { { PopupKind::Tip, QStringLiteral("窗口已经最小") } }));
    EXPECT_EQ(window->outerGeometry(), before);

    window->PopupMenu1()->actions()[4]->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "closing deletes the window";
}

TEST(TvieTest, PictureLargerThanTheScreenShrinksAndRestores)
{
    RecordingPrompt prompt;
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize big(screen.width() + 200, screen.height() + 100);
    std::unique_ptr<Tvie> window(open(still(big), prompt));
    EXPECT_EQ(window->Image1()->size(), big);
    EXPECT_EQ(window->frameGeometry().size(), big + QSize(0, 40));
    EXPECT_FALSE(window->scrollBarsOn());

    // Right after opening, restore gives the picture's own size: 40 px lower, centred.
    window->R1Click();
    EXPECT_EQ(window->outerGeometry(), QRect(QPoint(0, 0), big));
    EXPECT_EQ(window->frameGeometry().size(), big);
    window->R1Click();
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Tip), QStringList { QStringLiteral("已经处在原有状态") });

    window->X1Click();
    EXPECT_EQ(
        window->outerGeometry(), QRect(125, 150, screen.width() - 250, screen.height() - 300));
    EXPECT_EQ(
        window->frameGeometry(), QRect(125, 150, screen.width() - 250, screen.height() - 300));
    EXPECT_TRUE(window->scrollBarsOn());
    window->R1Click();
    EXPECT_EQ(window->outerGeometry(), QRect(QPoint(0, 0), big));
    EXPECT_FALSE(window->scrollBarsOn());
    EXPECT_EQ(prompt.popups.size(), 1);
}

TEST(TvieTest, AnimationPlaysInTheWindow)
{
    const QList<QRgb> colours { qRgb(255, 0, 0), qRgb(0, 0, 255) };
    const QByteArray gif = testpictures::encodeGif(
        6, 4, colours, { gifFrame(0, 0, 6, 4, 0), gifFrame(1, 1, 2, 2, 1) });
    ViewedPicture picture;
    picture.name = QStringLiteral("anim");
    picture.extension = QStringLiteral(".gif");
    picture.animation = std::make_shared<GifAnimation>(GifAnimation::decode(gif));
    ASSERT_EQ(picture.animation->frameCount(), 2);
    RecordingPrompt prompt;
    std::unique_ptr<Tvie> window(open(std::move(picture), prompt));
    ASSERT_TRUE(window->player());
    EXPECT_TRUE(window->player()->isPlaying());
    EXPECT_EQ(window->Image1()->size(), QSize(409, 327));
    EXPECT_TRUE(window->player()->advance());
    EXPECT_EQ(window->player()->currentFrame().pixel(1, 1), qRgb(0, 0, 255));
}

// A still GIF is viewed as what its first image covers, drawn in place on white: a 16384 x 16384
// screen (the pixel limit) declared by a few bytes around a 2 x 2 image costs the image, not the
// 1 GiB of the screen, and a small screen looks as the whole screen decoded does.
TEST(TvieTest, GifImageIsDrawnInPlaceOnItsWhiteScreen)
{
    const QList<QRgb> colours { qRgb(0, 0, 255), qRgb(255, 255, 255) };
    const auto view = [](const QByteArray& gif) {
        ViewedPicture picture;
        picture.extension = QStringLiteral(".gif");
        picture.bytes = gif;
        return decodeForViewing(picture) ? std::optional(std::move(picture)) : std::nullopt;
    };
    RecordingPrompt prompt;

    const QByteArray small
        = testpictures::encodeGif(300, 200, colours, { gifFrame(50, 40, 10, 10, 0) });
    std::optional<ViewedPicture> picture = view(small);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(300, 200));
    const Tvie window(std::move(*picture), prompt);
    QImage expected(409, 327, QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter(&expected).drawImage(54, 63, decodeGif(small, nullptr).image);
    EXPECT_EQ(window.Image1()->grab().toImage().convertToFormat(QImage::Format_RGB32), expected);

    const QByteArray huge
        = testpictures::encodeGif(16384, 16384, colours, { gifFrame(9000, 5000, 2, 2, 0) });
    ASSERT_LT(huge.size(), 40);
    const auto check = [&] {
        std::optional<ViewedPicture> viewed = view(huge);
        if (!viewed || viewed->size() != QSize(16384, 16384))
            return 1;
        const Tvie opened(std::move(*viewed), prompt);
        if (opened.Image1()->size() != QSize(16384, 16384))
            return 2;
        const QImage around = opened.Image1()->grab(QRect(8999, 4999, 4, 4)).toImage();
        const QRgb white = qRgb(255, 255, 255);
        const bool right = around.pixel(0, 0) == white && around.pixel(1, 1) == colours[0]
            && around.pixel(2, 2) == colours[0] && around.pixel(2, 0) == white
            && around.pixel(3, 3) == white;
        return right ? 0 : 3;
    };
    EXPECT_EQ(check(), 0);
#if !defined(ZARVO_ADDRESS_SANITIZER)
    EXPECT_EQ(test::inProcessWithRoom(qint64(160) << 20, check), 0);
#endif
}

// A JPEG larger than what is shown first comes with only what is shown first: the top left
// corner, or the top rows of a file whose corner cannot be decoded alone; the window shows it at
// once and decodes the rest behind it. Whatever the kind of JPEG, the picture it ends with is the
// whole decode's, pixel for pixel; a turned one is decoded whole at once; one that ends early
// keeps its top rows.
TEST(TvieTest, LargeJpegShowsItsTopFirstAndEndsAsTheWholeDecode)
{
    using testpictures::JpegColor;
    const QImage photo = testpictures::photoLike(300, 700, 7);
    const QByteArray baseline = testpictures::encodeJpeg(photo, 85);
    struct Case
    {
        const char* what;
        QByteArray bytes;
        bool topFirst;
        QSize first; // of what is shown first (at least, for rows)
    };
    const Case cases[] = {
        { "baseline", baseline, true, QSize(200, 100) },
        { "progressive", testpictures::encodeJpeg(photo, 85, true), true, QSize(300, 100) },
        { "grey", testpictures::encodeJpeg(photo, 85, false, JpegColor::Gray), true,
            QSize(200, 100) },
        { "CMYK", testpictures::encodeJpeg(photo, 85, false, JpegColor::Cmyk), true,
            QSize(300, 100) },
        { "turned", testpictures::withApp1(baseline, testpictures::exifWithOrientation(6, true)),
            false, QSize() },
    };
    RecordingPrompt prompt;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ViewedPicture whole;
        whole.extension = QStringLiteral(".jpg");
        whole.bytes = c.bytes;
        ASSERT_TRUE(decodeForViewing(whole));
        ViewedPicture picture;
        picture.extension = QStringLiteral(".jpg");
        picture.bytes = c.bytes;
        ASSERT_TRUE(decodeForViewing(picture, QSize(200, 100)));
        EXPECT_EQ(picture.size(), whole.size());
        EXPECT_EQ(bool(picture.rest), c.topFirst);
        if (c.topFirst) {
            // The corner, or at least the rows shown (the first band of rows may be in too).
            EXPECT_EQ(picture.imageAt, QPoint(0, 0));
            EXPECT_EQ(picture.image.width(), c.first.width());
            EXPECT_GE(picture.image.height(), c.first.height());
            EXPECT_EQ(
                picture.image, whole.image.copy(QRect(picture.imageAt, picture.image.size())));
        }
        std::unique_ptr<Tvie> window(open(std::move(picture), prompt));
        QSignalSpy completed(window.get(), &Tvie::pictureCompleted);
        if (c.topFirst) {
            ASSERT_TRUE(completed.wait(20000));
        }
        EXPECT_TRUE(window->isPictureComplete());
        EXPECT_TRUE(window->picture().canvas.isEmpty());
        EXPECT_EQ(window->picture().image, whole.image);
    }

    // Cut inside its entropy-coded data below the first rows: those stay shown.
    ViewedPicture cut;
    cut.extension = QStringLiteral(".jpg");
    cut.bytes = baseline.left(baseline.size() * 3 / 4);
    ASSERT_TRUE(decodeForViewing(cut, QSize(200, 100)));
    ViewedPicture whole;
    whole.extension = QStringLiteral(".jpg");
    whole.bytes = baseline;
    ASSERT_TRUE(decodeForViewing(whole));
    std::unique_ptr<Tvie> window(open(std::move(cut), prompt));
    QSignalSpy completed(window.get(), &Tvie::pictureCompleted);
    ASSERT_TRUE(completed.wait(20000));
    EXPECT_EQ(window->picture().canvas, QSize(300, 700));
    EXPECT_GE(window->picture().image.height(), 100);
    EXPECT_LT(window->picture().image.height(), 700);
    EXPECT_EQ(
        window->picture().image, whole.image.copy(0, 0, 300, window->picture().image.height()));
}

// While the rest of a large JPEG is being decoded, the part the window is scrolled to is asked
// for, decoded ahead of the rows above it and drawn; the picture still ends as the whole decode.
TEST(TvieTest, WhatIsScrolledIntoSightIsDecodedAndDrawnAheadOfTheRows)
{
    const QSize size(1200, 3600); // far more rows than the screen shows
    const QByteArray bytes
        = testpictures::encodeJpeg(testpictures::photoLike(size.width(), size.height(), 11), 85);
    ViewedPicture whole;
    whole.extension = QStringLiteral(".jpg");
    whole.bytes = bytes;
    ASSERT_TRUE(decodeForViewing(whole));
    ViewedPicture picture = whole;
    picture.image = QImage();
    ASSERT_TRUE(decodeForViewing(picture, QGuiApplication::primaryScreen()->size()));
    const std::shared_ptr<JpegRowDecoder> decoder = picture.rest;
    ASSERT_TRUE(decoder);
    RecordingPrompt prompt;
    std::unique_ptr<Tvie> window(open(std::move(picture), prompt));
    QSignalSpy completed(window.get(), &Tvie::pictureCompleted);
    // The window's pieces of work are asked for one at a time from its event loop, which has not
    // run yet: the rows cannot have gone far.
    window->X1Click();
    // Its scroll bars laid out, without running anything else.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QScrollBar* across = window->scrollArea()->horizontalScrollBar();
    QScrollBar* down = window->scrollArea()->verticalScrollBar();
    across->setValue(across->maximum());
    down->setValue(down->maximum());
    const QSize viewport = window->scrollArea()->viewport()->size();
    const QRect inSight(
        QPoint(size.width() - viewport.width(), size.height() - viewport.height()), viewport);
    EXPECT_EQ(decoder->wanted(), inSight);
    ASSERT_LT(decoder->rowsDone(), inSight.top() - 4 * 256);

    const QImage expected = whole.image.copy(inSight);
    int rowsWhenDrawn = -1;
    for (int turn = 0; turn < 10000 && rowsWhenDrawn < 0 && completed.isEmpty(); ++turn) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        if (window->Image1()->grab(inSight).toImage().convertToFormat(expected.format())
            == expected)
            rowsWhenDrawn = decoder->rowsDone();
    }
    EXPECT_GE(rowsWhenDrawn, 0);
    EXPECT_LT(rowsWhenDrawn, inSight.top());
    ASSERT_TRUE(completed.count() == 1 || completed.wait(20000));
    EXPECT_EQ(window->picture().image, whole.image);

    // Full size again, moved so that its bottom right corner is on the screen: what the window
    // shows there (its backing store, as flushed) is the picture's, though it was never on a
    // screen before.
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize outer = viewerlayout::outerSize(size);
    window->R1Click();
    for (int move = 0; move < 2; ++move) {
        // The first move lets the window's size settle (its frame), so that the second is a move
        // alone, which Qt does not repaint for.
        for (int pass = 0; pass < 10; ++pass)
            QCoreApplication::processEvents();
        window->setOuterGeometry(move == 0
                ? QRect(QPoint(-10, -10), outer)
                : QRect(QPoint(screen.width() - outer.width(), screen.height() - outer.height()),
                    outer));
    }
    for (int pass = 0; pass < 10; ++pass)
        QCoreApplication::processEvents();
    QWidget* area = window->Image1();
    const QRect onScreen = QRect(area->mapFromGlobal(QPoint(0, 0)), screen) & area->rect();
    ASSERT_GE(onScreen.top(), 1000); // never on the screen before
    ASSERT_GT(onScreen.width() * onScreen.height(), 100000);
    const QPoint at = area->mapTo(window.get(), onScreen.topLeft());
    const QImage shown
        = QGuiApplication::primaryScreen()
              ->grabWindow(window->winId(), at.x(), at.y(), onScreen.width(), onScreen.height())
              .toImage();
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32), whole.image.copy(onScreen));
}

} // namespace
} // namespace zarvo
