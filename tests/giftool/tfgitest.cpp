// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "giftool/tfgi.h"
#include "giftool/frameviewlayout.h"
#include "imaging/gifbuilder.h"
#include "imaging/gifplayer.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zarvo;
using namespace Qt::StringLiterals;
using zarvo::test::buildGif;
using zarvo::test::BuiltFrame;
using zarvo::test::RecordingPrompt;
using zarvo::test::Sandbox;
using zarvo::test::solidFrame;

namespace {

const QList<QRgb> kGlobal { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(0, 0, 0) };

// n frames of w x h on a screen of that size, colours cycling through the global table.
QByteArray animation(int n, int w, int h, QList<QRgb> local = {})
{
    QList<BuiltFrame> frames;
    for (int i = 0; i < n; ++i) {
        frames.append(solidFrame(QRect(0, 0, w, h), i % 4));
        frames.last().localColors = local;
    }
    return buildGif(QSize(w, h), kGlobal, frames);
}

template <typename T> T* child(const QWidget& window, const char* name)
{
    return window.findChild<T*>(QLatin1String(name));
}

QStringList captions(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out.append(list.item(i)->text());
    return out;
}

} // namespace

TEST(TFgi, OpensFilesAndDescribesThem)
{
    Sandbox sandbox;
    QList<QRgb> local256;
    for (int i = 0; i < 256; ++i)
        local256.append(qRgb(i, i, i));
    QByteArray single = animation(1, 12, 9);
    single.append(QByteArray(12345 - single.size(), '\0')); // bytes after the trailer are ignored
    const QByteArray ten = animation(10, 40, 30, local256);
    const QByteArray damaged = animation(10, 40, 30).left(animation(10, 40, 30).size() - 40);

    const struct
    {
        const char* name;
        QByteArray bytes;
        int frames;
        QStringList lines; // after the first two
        bool animated;
        bool warned;
    } cases[] = {
        { "one.gif", single, 1,
            { u"文件大小: 12345 Byte"_s, u"包含图片数: 1 张"_s, u"图片大小: 12*9"_s,
                u"图片位数: 2 位"_s, u"播放速度: 100"_s },
            false, false },
        { "ten.gif", ten, 10,
            { u"文件大小: "_s + QString::number(ten.size()) + u" Byte"_s, u"包含图片数: 10 张"_s,
                u"图片大小: 40*30"_s, u"图片位数: 8 位"_s, u"播放速度: 100"_s },
            true, false },
        { "broken.gif", damaged, 9,
            { u"文件大小: "_s + QString::number(damaged.size()) + u" Byte"_s, u"包含图片数: 9 张"_s,
                u"图片大小: 40*30"_s, u"图片位数: 2 位"_s, u"播放速度: 100"_s },
            true, true },
        { "nothing.gif", QByteArray("GIF89a"), 0, {}, false, true },
    };

    RecordingPrompt prompt;
    TFgi window(prompt);
    auto* list = child<QListWidget>(window, "ListView1");
    auto* memo = child<QPlainTextEdit>(window, "Memo1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.clear();
        const QString path = sandbox.writeFile(QString::fromLatin1(c.name), c.bytes);
        window.openFile(path);
        window.finishLoading();

        QStringList numbers;
        for (int i = 1; i <= c.frames; ++i)
            numbers.append(QString::number(i));
        EXPECT_EQ(captions(*list), numbers);
        QStringList lines;
        if (c.frames > 0)
            lines = QStringList { u"文件名："_s + QString::fromLatin1(c.name), u"来源: "_s + path }
                + c.lines;
        EXPECT_EQ(memo->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts), lines);
        EXPECT_EQ(window.player()->isPlaying(), c.animated);
        EXPECT_EQ(window.previewImage().isNull(), c.frames == 0);
        const QStringList warnings = c.warned
            ? QStringList { u"文件 "_s + path + u" 已损坏，只能显示其中完好的部分"_s }
            : QStringList {};
        EXPECT_EQ(prompt.popupTexts(PopupKind::Warning), warnings);
        EXPECT_EQ(prompt.popups.size(), warnings.size());
    }

    // The thumbnails are the frames' own images on white, fitted into 150 x 150.
    window.openFile(sandbox.writeFile(QStringLiteral("wide.gif"), animation(2, 300, 100)));
    window.finishLoading();
    const QImage thumb = list->item(1)->icon().pixmap(150, 150).toImage();
    ASSERT_EQ(thumb.size(), QSize(150, 150));
    EXPECT_EQ(thumb.pixel(75, 75), qRgb(0, 255, 0));
    EXPECT_EQ(thumb.pixel(75, 10), qRgb(255, 255, 255));
}

// Each listed frame keeps a 150 x 150 thumbnail: a file of thousands of one-pixel frames lists
// those whose frames and thumbnails fit the tool's memory bound, and warns.
TEST(TFgi, FramesBeyondTheMemoryBoundAreLeftOut)
{
    const qint64 thumbnail = 150 * 150 * 4;
    const qint64 perFrame = 1 + GifAnimation::kFrameOverheadBytes + thumbnail;
    const int fitting = int(GifAnimation::kMaxFrameBytes / perFrame);
    QList<BuiltFrame> frames;
    for (int i = 0; i < fitting + 20; ++i)
        frames.append(solidFrame(QRect(0, 0, 1, 1), i % 4));
    Sandbox sandbox;
    const QString path
        = sandbox.writeFile(QStringLiteral("many.gif"), buildGif(QSize(1, 1), kGlobal, frames));

    RecordingPrompt prompt;
    TFgi window(prompt);
    window.openFile(path);
    window.finishLoading();
    EXPECT_EQ(child<QListWidget>(window, "ListView1")->count(), fitting);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { u"文件 "_s + path + u" 已损坏，只能显示其中完好的部分"_s });
    EXPECT_TRUE(window.player()->isPlaying());
}

TEST(TFgi, FrameViewPlacementAndScrollBars)
{
    struct Case
    {
        QSize area;
        QSize frame;
        FrameViewLayout expected;
    };
    const Case cases[] = {
        { { 300, 200 }, { 500, 260 }, { { 0, 0 }, true, 60, true, 200 } }, // larger both ways
        { { 300, 200 }, { 500, 100 }, { { 0, 0 }, false, 0, true, 200 } }, // wider only
        { { 300, 200 }, { 283, 183 },
            { { 0, 0 }, false, 0, false, 0 } }, // fits the area less the bars
        { { 300, 200 }, { 100, 50 }, { { 91, 66 }, false, 0, false, 0 } }, // centred in 283 x 183
        { { 300, 200 }, { 300, 200 },
            { { 0, 30 }, false, 0, false, 0 } }, // fits, but not beside the bars
    };
    for (const Case& c : cases) {
        const FrameViewLayout got = frameViewLayout(c.area, c.frame);
        EXPECT_EQ(got.position, c.expected.position) << c.frame.width() << "x" << c.frame.height();
        EXPECT_EQ(got.verticalOn, c.expected.verticalOn);
        EXPECT_EQ(got.verticalMax, c.expected.verticalMax);
        EXPECT_EQ(got.horizontalOn, c.expected.horizontalOn);
        EXPECT_EQ(got.horizontalMax, c.expected.horizontalMax);
    }

    // In the window: a frame larger than Panel6, then a smaller one.
    Sandbox sandbox;
    BuiltFrame big = solidFrame(QRect(0, 0, 2000, 1500), 1);
    BuiltFrame small = solidFrame(QRect(5, 5, 40, 20), 2);
    RecordingPrompt prompt;
    TFgi window(prompt);
    window.resize(900, 700);
    window.show();
    window.openFile(sandbox.writeFile(
        QStringLiteral("f.gif"), buildGif(QSize(2000, 1500), kGlobal, { big, small })));
    window.finishLoading();
    auto* list = child<QListWidget>(window, "ListView1");
    auto* panel6 = child<QWidget>(window, "Panel6");
    auto* panel7 = child<QWidget>(window, "Panel7");
    auto* bar1 = child<QScrollBar>(window, "bar1");
    auto* bar2 = child<QScrollBar>(window, "bar2");
    EXPECT_FALSE(bar1->isEnabled());
    EXPECT_FALSE(bar2->isEnabled());

    list->setCurrentRow(0);
    EXPECT_EQ(panel7->geometry(), QRect(0, 0, 2000, 1500));
    EXPECT_TRUE(bar1->isEnabled());
    EXPECT_TRUE(bar2->isEnabled());
    EXPECT_EQ(bar1->maximum(), 1500 - panel6->height());
    EXPECT_EQ(bar2->maximum(), 2000 - panel6->width());
    EXPECT_EQ(bar1->geometry().right(), panel6->width() - 1);
    EXPECT_EQ(bar1->width(), 17);
    EXPECT_EQ(bar2->height(), 17);
    bar1->setValue(30);
    bar2->setValue(70);
    EXPECT_EQ(panel7->pos(), QPoint(-70, -30));

    list->setCurrentRow(1);
    const FrameViewLayout centred = frameViewLayout(panel6->size(), QSize(40, 20));
    EXPECT_EQ(panel7->geometry(), QRect(centred.position, QSize(40, 20)));
    EXPECT_GT(panel7->x(), 0);
    EXPECT_FALSE(bar1->isEnabled());
    EXPECT_FALSE(bar2->isEnabled());
    EXPECT_EQ(window.shownFrame().pixel(0, 0), qRgb(0, 0, 255));

    // Opening another file empties the frame view and turns the bars off.
    list->setCurrentRow(0);
    window.openFile(
        sandbox.writeFile(QStringLiteral("g.gif"), buildGif(QSize(4, 4), kGlobal, { small })));
    window.finishLoading();
    EXPECT_EQ(panel7->size(), QSize(1, 1));
    EXPECT_TRUE(window.shownFrame().isNull());
    EXPECT_FALSE(bar1->isEnabled());
    EXPECT_FALSE(bar2->isEnabled());
}

TEST(TFgi, SavesTheShownFrameAsBitmap)
{
    Sandbox sandbox;
    BuiltFrame holed = solidFrame(QRect(0, 0, 6, 5), 1);
    holed.indices[0] = 3;
    holed.transparent = 3;
    RecordingPrompt prompt;
    TFgi window(prompt);
    window.openFile(sandbox.writeFile(QStringLiteral("a.gif"),
        buildGif(QSize(8, 8), kGlobal, { holed, solidFrame(QRect(0, 0, 8, 8), 2) })));
    window.finishLoading();
    const QString target = sandbox.path(QStringLiteral("f.bmp"));
    EXPECT_FALSE(window.saveShownFrame(target)); // no frame shown yet: nothing happens
    EXPECT_FALSE(QFile::exists(target));

    auto* list = child<QListWidget>(window, "ListView1");
    list->setCurrentRow(0);
    ASSERT_TRUE(window.saveShownFrame(target));
    QImage saved(target, "BMP");
    ASSERT_EQ(saved.size(), QSize(6, 5));
    EXPECT_EQ(saved.pixel(0, 0), qRgb(255, 255, 255)); // the transparent pixel, on white
    EXPECT_EQ(saved.pixel(1, 0), qRgb(0, 255, 0));

    // Saving again under the same name replaces the file without a question.
    list->setCurrentRow(1);
    ASSERT_TRUE(window.saveShownFrame(target));
    saved = QImage(target, "BMP");
    EXPECT_EQ(saved.size(), QSize(8, 8));
    EXPECT_EQ(saved.pixel(7, 7), qRgb(0, 0, 255));
    EXPECT_TRUE(prompt.questions.isEmpty());
    EXPECT_TRUE(prompt.popups.isEmpty());

    // A target whose directory is a file cannot be written: warned, nothing left behind.
    const QString blocker = sandbox.writeFile(QStringLiteral("plain"), "x");
    const QString impossible = blocker + QStringLiteral("/g.bmp");
    EXPECT_FALSE(window.saveShownFrame(impossible));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { u"文件 "_s + impossible + u" 保存失败"_s });
    // A target that is a directory fails too, and the directory stays.
    QDir(sandbox.dir()).mkdir(QStringLiteral("d.bmp"));
    EXPECT_FALSE(window.saveShownFrame(sandbox.path(QStringLiteral("d.bmp"))));
    EXPECT_TRUE(QFileInfo(sandbox.path(QStringLiteral("d.bmp"))).isDir());
    const QStringList left
        = QDir(sandbox.dir()).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
    EXPECT_EQ(left, (QStringList { u"a.gif"_s, u"f.bmp"_s, u"plain"_s }));
}

TEST(TFgi, WindowControlsDialogsAndModalLife)
{
    RecordingPrompt prompt;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<TFgi*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        checked = true;
        EXPECT_EQ(window->objectName(), QStringLiteral("TFgi"));
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Gif文件分解工具"));
        EXPECT_TRUE(window->isMaximized());
        for (const char* name : { "O1", "X1", "A1" })
            EXPECT_NE(window->findChild<QAction*>(QLatin1String(name)), nullptr) << name;
        for (const char* name : { "Panel2", "Image1", "ListView1", "Memo1", "Splitter3", "Panel6",
                 "Panel7", "Image2", "bar1", "bar2", "PopupMenu1" })
            EXPECT_NE(window->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
        EXPECT_EQ(child<QWidget>(*window, "Panel2")->width(), 281);
        EXPECT_EQ(child<QWidget>(*window, "Memo1")->width(), 280);
        const struct
        {
            QFileDialog* dialog;
            const char* name;
            QString shown; // the filter text as the user reads it
        } dialogs[] = { { window->openDialog(), "dia", u"GIF Image (*.gif)"_s },
            { window->saveDialog(), "dia2", u"BMP文件(*.bmp)"_s } };
        for (const auto& d : dialogs) {
            EXPECT_EQ(d.dialog->objectName(), QLatin1String(d.name));
            EXPECT_TRUE(d.dialog->testOption(QFileDialog::DontUseNativeDialog));
            auto* types = d.dialog->findChild<QComboBox*>(u"fileTypeCombo"_s);
            ASSERT_NE(types, nullptr);
            EXPECT_EQ(types->itemText(0), d.shown);
            EXPECT_EQ(d.dialog->nameFilters().size(), 1);
        }
        EXPECT_TRUE(window->saveDialog()->testOption(QFileDialog::DontConfirmOverwrite));
        window->findChild<QAction*>(QStringLiteral("X1"))->trigger();
    });
    menu_gifClick(nullptr, prompt);
    EXPECT_TRUE(checked);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* widget : QApplication::allWidgets())
        EXPECT_NE(widget->objectName(), QStringLiteral("TFgi"));
}
