// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/decodebudget.h"
#include "imaging/picturedecoder.h"

#include "support/testpictures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using zarvo::DecodeBudget;

namespace {

// Waits for a state another thread reaches; no clock involved.
void waitUntilWaiting(const DecodeBudget& budget, int count)
{
    while (budget.waitingCount() != count)
        std::this_thread::yield();
}

} // namespace

TEST(DecodeBudget, GrantsWhatFitsAtOnceAndCountsReleases)
{
    DecodeBudget budget(100);
    DecodeBudget::Reservation a = budget.acquire(60);
    DecodeBudget::Reservation b = budget.acquire(40);
    EXPECT_EQ(budget.bytesInUse(), 100);
    EXPECT_EQ(budget.waitingCount(), 0);

    DecodeBudget::Reservation moved = std::move(a);
    EXPECT_EQ(a.bytes(), 0);
    EXPECT_EQ(moved.bytes(), 60);
    EXPECT_EQ(budget.bytesInUse(), 100);
    moved.release();
    moved.release();
    EXPECT_EQ(budget.bytesInUse(), 40);
    {
        DecodeBudget::Reservation c = budget.acquire(0);
        EXPECT_EQ(c.bytes(), 0);
    }
    b = DecodeBudget::Reservation();
    EXPECT_EQ(budget.bytesInUse(), 0);

    // Larger than the whole budget: runs at once when nothing else is held.
    DecodeBudget::Reservation huge = budget.acquire(500);
    EXPECT_EQ(budget.bytesInUse(), 500);
}

TEST(DecodeBudget, RequestThatDoesNotFitWaitsForARelease)
{
    DecodeBudget budget(100);
    DecodeBudget::Reservation first = budget.acquire(80);
    std::atomic<bool> granted { false };
    std::promise<void> finish;
    std::thread second([&] {
        DecodeBudget::Reservation r = budget.acquire(50);
        granted = true;
        finish.get_future().wait();
    });
    waitUntilWaiting(budget, 1);
    EXPECT_FALSE(granted);
    EXPECT_EQ(budget.bytesInUse(), 80);

    first.release();
    waitUntilWaiting(budget, 0);
    while (!granted)
        std::this_thread::yield();
    EXPECT_EQ(budget.bytesInUse(), 50);
    finish.set_value();
    second.join();
    EXPECT_EQ(budget.bytesInUse(), 0);
}

TEST(DecodeBudget, OversizedRequestRunsAloneAndLaterSmallOnesQueueBehindIt)
{
    DecodeBudget budget(100);
    DecodeBudget::Reservation small = budget.acquire(30);

    std::atomic<bool> bigGranted { false };
    std::promise<void> bigDone;
    std::thread big([&] {
        DecodeBudget::Reservation r = budget.acquire(150);
        bigGranted = true;
        bigDone.get_future().wait();
    });
    waitUntilWaiting(budget, 1);

    // 10 more would fit beside the 30 held, but the big request came first.
    std::atomic<bool> lateGranted { false };
    std::thread late([&] {
        DecodeBudget::Reservation r = budget.acquire(10);
        lateGranted = true;
    });
    waitUntilWaiting(budget, 2);
    EXPECT_FALSE(bigGranted);
    EXPECT_FALSE(lateGranted);

    small.release();
    while (!bigGranted)
        std::this_thread::yield();
    EXPECT_EQ(budget.bytesInUse(), 150);
    EXPECT_EQ(budget.waitingCount(), 1);
    EXPECT_FALSE(lateGranted);

    bigDone.set_value();
    big.join();
    late.join();
    EXPECT_TRUE(lateGranted);
    EXPECT_EQ(budget.bytesInUse(), 0);
    EXPECT_EQ(budget.waitingCount(), 0);
}

TEST(DecodeBudget, DecodersTakeTheirMemoryFromTheSharedBudget)
{
    using namespace zarvo::testpictures;
    GifFrame frame;
    frame.width = 2;
    frame.height = 1;
    frame.indices = QByteArray(2, char(1));
    const QList<std::pair<zarvo::PictureFormat, QByteArray>> files = {
        { zarvo::PictureFormat::Jpeg, encodeJpeg(photoLike(64, 48, 1), 90) },
        { zarvo::PictureFormat::Png, encodePng(blocks(64, 48, true), PngKind::Rgba8) },
        { zarvo::PictureFormat::Bmp, encodeWithQt(blocks(64, 48, false), "BMP") },
        { zarvo::PictureFormat::Ico, encodeIco({ { blocks(16, 16, true), false, 32 } }) },
        { zarvo::PictureFormat::Ico, encodeIco({ { blocks(16, 16, true), true, 32 } }) },
        { zarvo::PictureFormat::Gif, encodeGif(8, 8, { qRgb(0, 0, 0), qRgb(9, 9, 9) }, { frame }) },
    };
    DecodeBudget& shared = DecodeBudget::shared();
    for (const auto& [format, bytes] : files) {
        SCOPED_TRACE(int(format));
        DecodeBudget::Reservation everything = shared.acquire(shared.totalBytes());
        std::atomic<bool> done { false };
        std::thread decoder([&, format = format, bytes = bytes] {
            EXPECT_TRUE(zarvo::decodePicture(format, bytes).ok());
            done = true;
        });
        waitUntilWaiting(shared, 1);
        EXPECT_FALSE(done);
        everything.release();
        decoder.join();
        EXPECT_TRUE(done);
        EXPECT_EQ(shared.bytesInUse(), 0);
    }
}
