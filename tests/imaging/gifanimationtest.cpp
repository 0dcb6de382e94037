// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/gifanimation.h"
#include "imaging/gifbuilder.h"
#include "imaging/gifplayer.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zarvo;
using zarvo::test::buildGif;
using zarvo::test::BuiltFrame;
using zarvo::test::solidFrame;

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QList<QRgb> kGlobal { kRed, kGreen, kBlue, kBlack };
constexpr QRgb kClear = 0;

// Four frames on a 6 x 4 screen: red everywhere (kept); a green 2 x 2 square with one
// transparent pixel, disposed to background; a blue square from a local table of 8 entries,
// disposed to previous; a black pixel.
QByteArray disposalGif(int loopCount = 2)
{
    BuiltFrame square = solidFrame(QRect(1, 1, 2, 2), 1, 2);
    square.indices[1] = 3;
    square.transparent = 3;
    square.delay = 0;
    BuiltFrame local = solidFrame(QRect(4, 0, 3, 2), 5, 3); // reaches beyond the screen
    local.localColors = { kBlack, kBlack, kBlack, kBlack, kBlack, kBlue, kBlack, kBlack };
    local.delay = 25;
    return buildGif(QSize(6, 4), kGlobal,
        { solidFrame(QRect(0, 0, 6, 4), 0, 1), square, local, solidFrame(QRect(0, 0, 1, 1), 3) },
        loopCount);
}

// The composed screen as text rows: R G B K for opaque colours, . for transparent.
std::vector<std::string> rows(const QImage& screen)
{
    std::vector<std::string> out;
    for (int y = 0; y < screen.height(); ++y) {
        std::string row;
        for (int x = 0; x < screen.width(); ++x) {
            const QRgb c = screen.pixel(x, y);
            row += qAlpha(c) == 0 ? '.'
                : c == kRed       ? 'R'
                : c == kGreen     ? 'G'
                : c == kBlue      ? 'B'
                : c == kBlack     ? 'K'
                                  : '?';
        }
        out.push_back(row);
    }
    return out;
}

} // namespace

TEST(GifAnimation, DecodesFramesAndComposesWithDisposalAndTransparency)
{
    const GifAnimation gif = GifAnimation::decode(disposalGif());
    ASSERT_EQ(gif.status(), GifAnimation::Status::Complete) << gif.error().toStdString();
    ASSERT_TRUE(gif.ok());
    EXPECT_EQ(gif.screenSize(), QSize(6, 4));
    ASSERT_EQ(gif.frameCount(), 4);
    EXPECT_EQ(gif.loopCount(), 2);
    EXPECT_EQ(gif.totalPlays(), 3);
    EXPECT_EQ(gif.globalColorCount(), 4);
    EXPECT_EQ(gif.bitsPerPixel(), 3); // the local table of 8 entries beats the global 4

    const GifFrame& square = gif.frames()[1];
    EXPECT_EQ(square.rect, QRect(1, 1, 2, 2));
    EXPECT_EQ(square.disposal, GifDisposal::Background);
    EXPECT_EQ(square.transparentIndex, 3);
    EXPECT_EQ(square.localColorCount, 0);
    EXPECT_EQ(square.image.pixel(0, 0), kGreen);
    EXPECT_EQ(qAlpha(square.image.pixel(1, 0)), 0);
    const GifFrame& local = gif.frames()[2];
    EXPECT_EQ(local.rect, QRect(4, 0, 3, 2));
    EXPECT_EQ(local.localColorCount, 8);
    EXPECT_EQ(local.disposal, GifDisposal::Previous);
    EXPECT_EQ(local.image.pixel(2, 1), kBlue);
    EXPECT_EQ(gif.frames()[0].disposal, GifDisposal::Keep);

    const std::vector<std::vector<std::string>> expected {
        { "RRRRRR", "RRRRRR", "RRRRRR", "RRRRRR" },
        { "RRRRRR", "RGRRRR", "RGGRRR", "RRRRRR" }, // the transparent pixel lets red through
        { "RRRRBB", "R..RBB", "R..RRR", "RRRRRR" }, // square cleared, blue clipped at the edge
        { "KRRRRR", "R..RRR", "R..RRR", "RRRRRR" }, // blue gone again: back to before it
    };
    GifComposer composer(gif);
    for (int i = 0; i < gif.frameCount(); ++i) {
        EXPECT_EQ(rows(composer.frame(i)), expected[i]) << "stepping, frame " << i;
        EXPECT_EQ(rows(gif.composedFrame(i)), expected[i]) << "composed alone, frame " << i;
    }
    // Going back restarts from a clear screen; a kept copy is not changed by later steps.
    const QImage kept = composer.frame(1);
    EXPECT_EQ(rows(composer.frame(3)), expected[3]);
    EXPECT_EQ(rows(kept), expected[1]);
    EXPECT_EQ(rows(composer.frame(0)), expected[0]);
    EXPECT_TRUE(gif.composedFrame(4).isNull());
}

TEST(GifAnimation, ReadsInterlacedRowsLoopCountsAndDelays)
{
    BuiltFrame striped;
    striped.rect = QRect(0, 0, 3, 11);
    for (int y = 0; y < 11; ++y)
        striped.indices += QByteArray(3, char(y % 4));
    striped.interlaced = true;
    const GifAnimation gif = GifAnimation::decode(buildGif(QSize(3, 11), kGlobal, { striped }, -1));
    ASSERT_TRUE(gif.ok());
    EXPECT_TRUE(gif.frames()[0].interlaced);
    for (int y = 0; y < 11; ++y)
        EXPECT_EQ(gif.frames()[0].image.pixel(1, y), kGlobal[y % 4]) << "row " << y;
    EXPECT_EQ(gif.loopCount(), -1);
    EXPECT_EQ(gif.totalPlays(), 1);

    const struct
    {
        int stored;
        int plays;
    } loops[] = { { 0, 0 }, { 1, 2 }, { 65535, 65536 } };
    for (const auto& loop : loops) {
        const GifAnimation looped = GifAnimation::decode(buildGif(QSize(1, 1), kGlobal,
            { solidFrame(QRect(0, 0, 1, 1), 0), solidFrame(QRect(0, 0, 1, 1), 1) }, loop.stored));
        EXPECT_EQ(looped.loopCount(), loop.stored);
        EXPECT_EQ(looped.totalPlays(), loop.plays);
    }

    const struct
    {
        int stored;
        int ms;
    } delays[] = { { 0, 100 }, { 1, 100 }, { 2, 20 }, { 50, 500 } };
    for (const auto& delay : delays) {
        GifFrame frame;
        frame.delayCentiseconds = delay.stored;
        EXPECT_EQ(frame.playDelayMs(), delay.ms) << delay.stored;
    }

    const struct
    {
        int entries;
        int bits;
    } depths[]
        = { { 0, 0 }, { 1, 1 }, { 2, 1 }, { 3, 2 }, { 4, 2 }, { 5, 3 }, { 129, 8 }, { 256, 8 } };
    for (const auto& depth : depths)
        EXPECT_EQ(GifAnimation::colorDepth(depth.entries), depth.bits) << depth.entries;
}

TEST(GifAnimation, DamagedFilesKeepTheFramesBeforeTheDamage)
{
    const QByteArray whole = disposalGif();
    const GifAnimation full = GifAnimation::decode(whole);
    ASSERT_EQ(full.frameCount(), 4);
    const struct
    {
        qsizetype keep;
        GifAnimation::Status status;
        int frames;
    } cuts[] = {
        { 5, GifAnimation::Status::Failed, 0 }, // inside the header
        { whole.size() - 1, GifAnimation::Status::Damaged, 4 }, // only the trailer missing
        { whole.size() - 8, GifAnimation::Status::Damaged, 3 }, // inside the last frame
    };
    for (const auto& cut : cuts) {
        const GifAnimation gif = GifAnimation::decode(whole.left(cut.keep));
        EXPECT_EQ(gif.status(), cut.status) << "cut at " << cut.keep;
        EXPECT_EQ(gif.frameCount(), cut.frames) << "cut at " << cut.keep;
        EXPECT_FALSE(gif.error().isEmpty());
    }
    // Every cut gives a prefix of the frames, never a half frame, and never crashes.
    for (qsizetype keep = 0; keep < whole.size(); ++keep) {
        const GifAnimation gif = GifAnimation::decode(whole.left(keep));
        ASSERT_NE(gif.status(), GifAnimation::Status::Complete) << keep;
        for (int i = 0; i < gif.frameCount(); ++i)
            ASSERT_TRUE(gif.frames()[i].image == full.frames()[i].image) << keep << " frame " << i;
    }

    EXPECT_EQ(GifAnimation::decode(QByteArray("not a gif at all")).status(),
        GifAnimation::Status::Failed);
    const GifAnimation empty = GifAnimation::decode(buildGif(QSize(4, 4), kGlobal, {}, -1));
    EXPECT_EQ(empty.status(), GifAnimation::Status::Complete);
    EXPECT_FALSE(empty.ok());
}

TEST(GifAnimation, LimitsScreenAndKeptFrames)
{
    // A screen over the pixel limit is refused before anything is allocated.
    EXPECT_EQ(GifAnimation::decode(
                  buildGif(QSize(65535, 65535), kGlobal, { solidFrame(QRect(0, 0, 1, 1), 0) }))
                  .status(),
        GifAnimation::Status::Failed);

    // Frames beyond the memory bound are left out; what fits is kept.
    QList<BuiltFrame> frames;
    for (int i = 0; i < 5; ++i)
        frames.append(solidFrame(QRect(0, 0, 100, 100), i % 4));
    const QByteArray bytes = buildGif(QSize(100, 100), kGlobal, frames);
    const qint64 perFrame = 100 * 100 + GifAnimation::kFrameOverheadBytes;
    const GifAnimation cut = GifAnimation::decode(bytes, {}, perFrame * 3);
    EXPECT_EQ(cut.status(), GifAnimation::Status::Truncated);
    EXPECT_EQ(cut.frameCount(), 3);
    EXPECT_TRUE(cut.ok());
    EXPECT_TRUE(cut.isPartial());

    // The frame callback sees each frame in order and can stop the decode.
    QList<int> seen;
    const GifAnimation stopped = GifAnimation::decode(bytes, [&](int index, const GifFrame& frame) {
        seen.append(index);
        EXPECT_EQ(frame.rect.size(), QSize(100, 100));
        return index < 1;
    });
    EXPECT_EQ(seen, (QList<int> { 0, 1 }));
    EXPECT_EQ(stopped.status(), GifAnimation::Status::Cancelled);
    EXPECT_EQ(stopped.frameCount(), 2);
}

TEST(GifPlayer, StepsFramesAndHonoursTheLoopCount)
{
    struct Case
    {
        int loopCount;
        int framesBeforeEnd; // -1: endless
    };
    for (const Case c : { Case { -1, 4 }, Case { 1, 8 }, Case { 0, -1 } }) {
        auto gif
            = std::make_shared<const GifAnimation>(GifAnimation::decode(disposalGif(c.loopCount)));
        GifPlayer player;
        QSignalSpy changed(&player, &GifPlayer::frameChanged);
        QSignalSpy finished(&player, &GifPlayer::finished);
        player.play(gif);
        ASSERT_EQ(changed.count(), 1);
        EXPECT_EQ(player.currentIndex(), 0);
        EXPECT_TRUE(player.isPlaying());
        EXPECT_EQ(player.pendingDelayMs(), 100); // frame 0 is stored with 10 centiseconds

        QList<int> order { 0 };
        while (order.size() < 20 && player.advance()) {
            order.append(player.currentIndex());
            if (player.currentIndex() == 2) {
                EXPECT_EQ(player.pendingDelayMs(), 250);
            } else if (player.currentIndex() == 1) {
                EXPECT_EQ(player.pendingDelayMs(), 100); // stored 0: played as 100 ms
            }
        }
        for (int i = 0; i < order.size(); ++i)
            EXPECT_EQ(order[i], i % 4) << "loop " << c.loopCount << " step " << i;
        if (c.framesBeforeEnd < 0) {
            EXPECT_EQ(order.size(), 20);
            EXPECT_TRUE(player.isPlaying());
            EXPECT_EQ(finished.count(), 0);
        } else {
            EXPECT_EQ(order.size(), c.framesBeforeEnd);
            EXPECT_FALSE(player.isPlaying());
            EXPECT_EQ(finished.count(), 1);
            EXPECT_EQ(player.currentIndex(), 3);
            EXPECT_FALSE(player.advance());
        }
        EXPECT_EQ(changed.count(), order.size());
        EXPECT_EQ(rows(changed.last().at(0).value<QImage>()),
            rows(gif->composedFrame(player.currentIndex())));
        player.clear();
        EXPECT_FALSE(player.isPlaying());
        EXPECT_TRUE(player.currentFrame().isNull());
    }

    // A single frame is shown and done.
    auto still = std::make_shared<const GifAnimation>(
        GifAnimation::decode(buildGif(QSize(2, 2), kGlobal, { solidFrame(QRect(0, 0, 2, 2), 2) })));
    GifPlayer player;
    QSignalSpy finished(&player, &GifPlayer::finished);
    player.play(still);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(player.currentFrame().pixel(1, 1), kBlue);
    EXPECT_FALSE(player.advance());
}
