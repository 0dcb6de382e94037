// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/decodebudget.h"

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
