// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/thumbnailpipeline.h"

#include "view/thumbnailcache.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace zarvo {
namespace {

// Deadlock guard for the fake decoders below; a correct pipeline never gets near it.
constexpr auto kGiveUp = std::chrono::seconds(60);

// A 1 x 1 "thumbnail" whose pixel holds the row it was made from (the job's bytes).
DecodedPicture pictureOf(const ThumbnailJob& job)
{
    DecodedPicture result { QImage(1, 1, QImage::Format_RGB32), QString() };
    result.image.setPixel(0, 0, QRgb(job.bytes.toUInt()));
    return result;
}

std::vector<int> upTo(int n)
{
    std::vector<int> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(i);
    return rows;
}

// Runs a pipeline over `rows` rows and records what it was called with; fetch or deliver
// throws at the given row.
struct Recorded
{
    std::vector<int> fetched, delivered; // in call order
    std::map<int, DecodedPicture> results; // by row
    int outstanding = 0, mostOutstanding = 0;
    bool rethrown = false, deliverThrew = false, deliveredAfterThrow = false;

    Recorded(ThumbnailPipeline& pipeline, int rows, PictureFormat format = PictureFormat::Jpeg,
        int fetchFailsAt = -1, int deliverFailsAt = -1,
        const std::function<void()>& afterDeliver = {})
    {
        try {
            pipeline.run(
                rows,
                [&](int row) {
                    fetched.push_back(row);
                    if (row == fetchFailsAt)
                        throw std::runtime_error("row unreadable");
                    mostOutstanding = std::max(mostOutstanding, ++outstanding);
                    return ThumbnailJob { format, QByteArray::number(row) };
                },
                [&](int row, const DecodedPicture& result) {
                    deliveredAfterThrow |= deliverThrew;
                    if (row == deliverFailsAt) {
                        deliverThrew = true;
                        throw std::runtime_error("store gone");
                    }
                    --outstanding;
                    delivered.push_back(row);
                    results[row] = result;
                    if (afterDeliver)
                        afterDeliver();
                });
        } catch (const std::runtime_error&) {
            rethrown = true;
        }
    }
    // The rows delivered, each once, in row order.
    std::vector<int> deliveredRows() const
    {
        std::vector<int> rows = delivered;
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    bool resultsMatchRows() const
    {
        for (const auto& [row, result] : results) {
            if (!result.ok() || result.image.pixel(0, 0) != (0xff000000u | uint(row)))
                return false;
        }
        return results.size() == delivered.size();
    }
};

TEST(ThumbnailPipeline, DeliversEachRowAsSoonAsItIsReady)
{
    // Row 0 finishes only after three later rows have been delivered: were rows delivered in
    // row order, it would wait for ever (here: give up and fail).
    std::mutex mutex;
    std::condition_variable changed;
    int deliveredCount = 0;
    std::atomic<int> decodes { 0 };
    bool onCallingThread = false;
    ThumbnailPipeline pipeline(
        [&](const ThumbnailJob& job) {
            ++decodes;
            std::unique_lock lock(mutex);
            onCallingThread |= QThread::currentThread() == QCoreApplication::instance()->thread();
            if (job.bytes.toInt() == 0
                && !changed.wait_for(lock, kGiveUp, [&] { return deliveredCount >= 3; }))
                return DecodedPicture { QImage(), QStringLiteral("row 0 gave up") };
            return pictureOf(job);
        },
        4);
    const Recorded run(pipeline, 40, PictureFormat::Jpeg, -1, -1, [&] {
        std::lock_guard lock(mutex);
        ++deliveredCount;
        changed.notify_all();
    });
    EXPECT_EQ(run.fetched, upTo(40));
    EXPECT_EQ(run.deliveredRows(), upTo(40));
    EXPECT_GE(std::find(run.delivered.begin(), run.delivered.end(), 0) - run.delivered.begin(), 3);
    EXPECT_TRUE(run.resultsMatchRows());
    EXPECT_EQ(decodes.load(), 40); // each row decoded once
    EXPECT_FALSE(onCallingThread);
}

TEST(ThumbnailPipeline, KeepsAtMostTwoRowsPerWorkerInFlight)
{
    ThumbnailPipeline pipeline(pictureOf, 3);
    ASSERT_EQ(pipeline.lookAhead(), 6);
    const Recorded run(pipeline, 50);
    EXPECT_EQ(run.deliveredRows(), upTo(50));
    EXPECT_EQ(run.mostOutstanding, 6);
    const Recorded none(pipeline, 0);
    EXPECT_TRUE(none.fetched.empty() && none.delivered.empty());
}

TEST(ThumbnailPipeline, FailuresOfFetchAndDeliver)
{
    ThumbnailPipeline pipeline(pictureOf, 2);
    // fetch(k) throws: rows before k are delivered, nothing after k is fetched, then it rethrows.
    for (int failing : { 0, 1, 9 }) {
        const Recorded run(pipeline, 10, PictureFormat::Png, failing);
        EXPECT_TRUE(run.rethrown);
        EXPECT_EQ(run.fetched, upTo(failing + 1));
        EXPECT_EQ(run.deliveredRows(), upTo(failing));
        EXPECT_TRUE(run.resultsMatchRows());
    }
    // deliver throws: the run ends there; the pipeline is usable again.
    const Recorded stopped(pipeline, 30, PictureFormat::Png, -1, 3);
    EXPECT_TRUE(stopped.rethrown);
    EXPECT_TRUE(stopped.deliverThrew);
    EXPECT_FALSE(stopped.deliveredAfterThrow);
    EXPECT_EQ(std::count(stopped.delivered.begin(), stopped.delivered.end(), 3), 0);
    const Recorded again(pipeline, 30);
    EXPECT_TRUE(again.resultsMatchRows() && again.deliveredRows() == upTo(30));
}

TEST(ThumbnailPipeline, OtherIsNotDecodedAndFailuresCarryAnError)
{
    int decodes = 0;
    ThumbnailPipeline pipeline(
        [&](const ThumbnailJob& job) -> DecodedPicture {
            ++decodes;
            if (job.bytes == "1")
                return DecodedPicture(); // a decoder that says nothing
            throw std::runtime_error("decoder blew up");
        },
        1);
    const Recorded other(pipeline, 3, PictureFormat::Other);
    EXPECT_EQ(decodes, 0);
    ASSERT_EQ(other.deliveredRows(), upTo(3));
    EXPECT_TRUE(other.results.at(1).image.isNull() && other.results.at(1).error.isEmpty());

    const Recorded failing(pipeline, 3, PictureFormat::Gif);
    ASSERT_EQ(failing.deliveredRows(), upTo(3));
    EXPECT_FALSE(failing.results.at(1).ok() || failing.results.at(1).error.isEmpty());
    EXPECT_EQ(failing.results.at(2).error, QStringLiteral("decoder blew up"));
}

TEST(ThumbnailPipeline, ProcessesEventsWhileWaiting)
{
    // Row 0's decode waits for a timer of the calling thread: run() must let it fire.
    std::mutex mutex;
    std::condition_variable fired;
    bool timerRan = false;
    QTimer::singleShot(0, [&] {
        std::lock_guard lock(mutex);
        timerRan = true;
        fired.notify_all();
    });
    ThumbnailPipeline pipeline(
        [&](const ThumbnailJob& job) {
            std::unique_lock lock(mutex);
            if (job.bytes == "0" && !fired.wait_for(lock, kGiveUp, [&] { return timerRan; }))
                return DecodedPicture { QImage(), QStringLiteral("no events were processed") };
            return pictureOf(job);
        },
        2);
    const Recorded run(pipeline, 6);
    ASSERT_EQ(run.deliveredRows(), upTo(6));
    EXPECT_TRUE(run.resultsMatchRows()) << run.results.at(0).error.toStdString();
}

// Rows started before run() (an opening's first rows, while it reads the others): the run that
// takes them delivers their results once and does not fetch them again; a head dropped instead
// never delivers, even when its decode ends during a later run, and so does another pipeline's;
// a head with a row the run does not have is refused before anything is fetched.
TEST(ThumbnailPipeline, RowsStartedAheadAreDeliveredByTheRunThatTakesThem)
{
    std::mutex mutex;
    std::condition_variable changed;
    bool released = false;
    ThumbnailPipeline pipeline(
        [&](const ThumbnailJob& job) {
            if (job.bytes == "100") {
                std::unique_lock lock(mutex);
                changed.wait_for(lock, kGiveUp, [&] { return released; });
            }
            return pictureOf(job);
        },
        2);
    const auto jobOf = [](int row, int value) {
        return std::pair { row, ThumbnailJob { PictureFormat::Jpeg, QByteArray::number(value) } };
    };
    std::vector<int> fetched;
    std::map<int, std::vector<uint>> delivered; // the pixels delivered, by row
    const auto runWith = [&](ThumbnailPipeline::Head head) {
        fetched.clear();
        delivered.clear();
        pipeline.run(
            6,
            [&](int row) {
                fetched.push_back(row);
                return ThumbnailJob { PictureFormat::Jpeg, QByteArray::number(row) };
            },
            [&](int row, const DecodedPicture& result) {
                delivered[row].push_back(result.image.pixel(0, 0) & 0xffffffu);
            },
            {}, {}, std::move(head));
    };

    // Dropped while its row 0 decodes: the next run fetches row 0 itself.
    pipeline.startHead({ jobOf(0, 100) }, {});
    runWith({});
    {
        std::lock_guard lock(mutex);
        released = true;
    }
    changed.notify_all();
    EXPECT_EQ(fetched, upTo(6));
    EXPECT_EQ(delivered.at(0), std::vector<uint> { 0 });

    // Taken: rows 0, 2 and 4 come from the head, row 4 added after it started (the second job
    // of row 2 is ignored).
    ThumbnailPipeline::Head head = pipeline.startHead({ jobOf(0, 1000), jobOf(2, 1002) }, {});
    pipeline.addToHead(head, { jobOf(2, 9), jobOf(4, 1004) });
    runWith(std::move(head));
    EXPECT_EQ(fetched, (std::vector<int> { 1, 3, 5 }));
    ASSERT_EQ(delivered.size(), 6u);
    for (const auto& [row, pixels] : delivered) {
        const uint expected = row == 0 || row == 2 || row == 4 ? 1000 + row : uint(row);
        EXPECT_EQ(pixels, std::vector<uint> { expected }) << row;
    }

    ThumbnailPipeline other(pictureOf, 1);
    ThumbnailPipeline::Head foreign = other.startHead({}, {});
    EXPECT_THROW(pipeline.addToHead(foreign, { jobOf(1, 1) }), std::logic_error);
    runWith(other.startHead({ jobOf(0, 7) }, {}));
    EXPECT_EQ(fetched, upTo(6));
    EXPECT_EQ(delivered.at(0), std::vector<uint> { 0 });

    EXPECT_THROW(runWith(pipeline.startHead({ jobOf(6, 6) }, {})), std::logic_error);
    EXPECT_TRUE(fetched.empty() && delivered.empty());
}

// With a cache, the head's pictures that it lacks are read and decoding before run(): an opening
// does not make them wait while it reads the folder's other rows.
TEST(ThumbnailPipeline, AHeadReadsWhatTheCacheLacksBeforeTheRun)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> decoded;
    ThumbnailPipeline pipeline(
        [&](const ThumbnailJob& job) {
            {
                std::lock_guard lock(mutex);
                decoded.push_back(job.bytes.toInt());
            }
            changed.notify_all();
            return pictureOf(job);
        },
        2, std::make_shared<ThumbnailCache>(dir.filePath(QStringLiteral("thumbnails.sqlite"))));
    std::vector<int> read; // rows whose bytes were read, on this thread
    const auto deferred = [&read](int row) {
        return std::pair { row,
            ThumbnailJob { PictureFormat::Jpeg, "content " + QByteArray::number(row), [&read, row] {
                              read.push_back(row);
                              return QByteArray::number(row);
                          } } };
    };
    ThumbnailPipeline::Head head = pipeline.startHead({ deferred(0), deferred(1) }, {});
    pipeline.addToHead(head, { deferred(2) });
    pipeline.readHead(head, kGiveUp);
    // In the order the two lookups answered.
    std::sort(read.begin(), read.end());
    EXPECT_EQ(read, (std::vector<int> { 0, 1, 2 }));
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(changed.wait_for(lock, kGiveUp, [&] { return decoded.size() == 3; }));
    }

    // The run takes them as they are: nothing read or decoded twice.
    std::map<int, uint> delivered; // the pixel of each row's thumbnail
    pipeline.run(
        4, [&](int row) { return deferred(row).second; },
        [&](int row, const DecodedPicture& result) {
            delivered[row] = result.image.pixel(0, 0) & 0xffffffu;
        },
        {}, {}, std::move(head));
    EXPECT_EQ(read, (std::vector<int> { 0, 1, 2, 3 })) << "row 3 only, by the run";
    EXPECT_EQ(delivered, (std::map<int, uint> { { 0, 0 }, { 1, 1 }, { 2, 2 }, { 3, 3 } }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(decoded.size(), 4u);
}

TEST(ThumbnailPipeline, DefaultDecoderMakesThumbnails)
{
    QImage wide(300, 200, QImage::Format_RGB32);
    wide.fill(qRgb(200, 30, 40));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    wide.save(&buffer, "PNG");
    ThumbnailPipeline pipeline;
    DecodedPicture result;
    pipeline.run(
        1,
        [&](int) {
            return ThumbnailJob { PictureFormat::Png, png };
        },
        [&](int, const DecodedPicture& delivered) { result = delivered; });
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.image.size(), QSize(150, 150));
    EXPECT_EQ(result.image.pixel(75, 10), qRgb(255, 255, 255));
    EXPECT_EQ(result.image.pixel(75, 75), qRgb(200, 30, 40));
}

} // namespace
} // namespace zarvo
