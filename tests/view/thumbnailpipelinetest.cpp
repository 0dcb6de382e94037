// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "qtprinters.h"

#include "view/thumbnailpipeline.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace zarvo {
namespace {

// Deadlock guard for the fake decoders below: a correct pipeline never gets near it.
constexpr auto kGiveUp = std::chrono::seconds(60);

ThumbnailJob jobOf(int row, PictureFormat format = PictureFormat::Jpeg)
{
    return { format, QByteArray::number(row) };
}

// A 1 x 1 "thumbnail" whose pixel holds the row it was made from.
DecodedPicture pictureOf(const ThumbnailJob& job)
{
    DecodedPicture result;
    result.image = QImage(1, 1, QImage::Format_RGB32);
    result.image.setPixel(0, 0, QRgb(job.bytes.toUInt()));
    return result;
}

int rowOf(const DecodedPicture& result)
{
    return result.ok() ? int(result.image.pixel(0, 0) & 0xffffffu) : -1;
}

// What a run saw: calls in order, outstanding fetches, the thread of every decode.
struct Recorder
{
    std::mutex mutex;
    std::vector<int> fetched;
    std::vector<int> delivered;
    std::vector<DecodedPicture> results;
    std::map<int, int> decodes; // row -> times decoded
    std::vector<int> decodeOrder; // rows in the order their decodes finished
    bool decodedOnCallingThread = false;
    int outstanding = 0;
    int mostOutstanding = 0;

    ThumbnailPipeline::FetchFunction fetch(PictureFormat format = PictureFormat::Jpeg)
    {
        return [this, format](int row) {
            fetched.push_back(row);
            mostOutstanding = std::max(mostOutstanding, ++outstanding);
            return jobOf(row, format);
        };
    }
    ThumbnailPipeline::DeliverFunction deliver()
    {
        return [this](int row, const DecodedPicture& result) {
            --outstanding;
            delivered.push_back(row);
            results.push_back(result);
        };
    }
    void decoded(int row)
    {
        std::lock_guard lock(mutex);
        ++decodes[row];
        decodeOrder.push_back(row);
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            decodedOnCallingThread = true;
    }
};

std::vector<int> upTo(int n)
{
    std::vector<int> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(i);
    return rows;
}

TEST(ThumbnailPipeline, DeliversInRowOrderWhenTheFirstDecodeFinishesLast)
{
    Recorder record;
    std::mutex gate;
    std::condition_variable othersDone;
    int finishedOthers = 0;
    constexpr int workers = 4;
    ThumbnailPipeline pipeline(
        [&](const ThumbnailJob& job) {
            const int row = job.bytes.toInt();
            if (row == 0) {
                // Row 0 finishes only after three later rows have finished.
                std::unique_lock lock(gate);
                if (!othersDone.wait_for(
                        lock, kGiveUp, [&] { return finishedOthers >= workers - 1; }))
                    return DecodedPicture { QImage(), QStringLiteral("row 0 gave up waiting") };
            }
            DecodedPicture result = pictureOf(job);
            record.decoded(row);
            if (row != 0) {
                std::lock_guard lock(gate);
                ++finishedOthers;
                othersDone.notify_all();
            }
            return result;
        },
        workers);
    ASSERT_EQ(pipeline.workerCount(), workers);

    constexpr int rows = 40;
    pipeline.run(rows, record.fetch(), record.deliver());

    EXPECT_EQ(record.fetched, upTo(rows));
    EXPECT_EQ(record.delivered, upTo(rows));
    for (int row = 0; row < rows; ++row) {
        EXPECT_EQ(rowOf(record.results[size_t(row)]), row)
            << record.results[size_t(row)].error.toStdString();
        EXPECT_EQ(record.decodes[row], 1) << row;
    }
    ASSERT_FALSE(record.decodeOrder.empty());
    EXPECT_NE(record.decodeOrder.front(), 0); // the decodes really finished out of order
    EXPECT_FALSE(record.decodedOnCallingThread);
}

TEST(ThumbnailPipeline, KeepsAtMostTwoRowsPerWorkerInFlight)
{
    for (int workers : { 1, 2, 3 }) {
        Recorder record;
        ThumbnailPipeline pipeline(pictureOf, workers);
        EXPECT_EQ(pipeline.lookAhead(), 2 * workers);
        pipeline.run(50, record.fetch(), record.deliver());
        EXPECT_EQ(record.delivered, upTo(50));
        // The first rows are all fetched before the first result is awaited.
        EXPECT_EQ(record.mostOutstanding, pipeline.lookAhead()) << workers;
        EXPECT_EQ(record.outstanding, 0);
    }
    // Fewer rows than the look-ahead.
    Recorder few;
    ThumbnailPipeline pipeline(pictureOf, 4);
    pipeline.run(3, few.fetch(), few.deliver());
    EXPECT_EQ(few.delivered, upTo(3));
    EXPECT_EQ(few.mostOutstanding, 3);
}

TEST(ThumbnailPipeline, NoRowsMeansNoCalls)
{
    ThumbnailPipeline pipeline(pictureOf, 2);
    int calls = 0;
    for (int rows : { 0, -3 }) {
        pipeline.run(
            rows,
            [&](int) {
                ++calls;
                return ThumbnailJob();
            },
            [&](int, const DecodedPicture&) { ++calls; });
    }
    EXPECT_EQ(calls, 0);
}

TEST(ThumbnailPipeline, FetchFailureDeliversEarlierRowsThenRethrows)
{
    for (int failing : { 0, 1, 5, 9 }) {
        Recorder record;
        ThumbnailPipeline pipeline(pictureOf, 2);
        const auto fetch = record.fetch();
        std::vector<int> asked;
        try {
            pipeline.run(
                10,
                [&](int row) {
                    asked.push_back(row);
                    if (row == failing)
                        throw std::runtime_error("row unreadable");
                    return fetch(row);
                },
                record.deliver());
            ADD_FAILURE() << "no exception for row " << failing;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "row unreadable");
        }
        EXPECT_EQ(record.delivered, upTo(failing)) << failing;
        EXPECT_EQ(asked, upTo(failing + 1)) << failing;
        for (int row = 0; row < failing; ++row)
            EXPECT_EQ(rowOf(record.results[size_t(row)]), row);
    }
}

TEST(ThumbnailPipeline, DeliverFailureStopsTheRunAndThePipelineStaysUsable)
{
    ThumbnailPipeline pipeline(pictureOf, 2);
    std::vector<int> delivered;
    EXPECT_THROW(pipeline.run(
                     30, [](int row) { return jobOf(row); },
                     [&](int row, const DecodedPicture&) {
                         if (row == 3)
                             throw std::runtime_error("store gone");
                         delivered.push_back(row);
                     }),
        std::runtime_error);
    EXPECT_EQ(delivered, upTo(3));

    Recorder record;
    pipeline.run(30, record.fetch(), record.deliver());
    EXPECT_EQ(record.delivered, upTo(30));
    for (int row = 0; row < 30; ++row)
        EXPECT_EQ(rowOf(record.results[size_t(row)]), row);
}

TEST(ThumbnailPipeline, OtherFormatsAreNotDecodedAndFailuresCarryAnError)
{
    Recorder record;
    ThumbnailPipeline pipeline(
        [&](const ThumbnailJob& job) {
            const int row = job.bytes.toInt();
            record.decoded(row);
            if (row == 1)
                return DecodedPicture(); // a decoder that says nothing
            if (row == 2)
                throw std::runtime_error("decoder blew up");
            return DecodedPicture { QImage(), QStringLiteral("jpeg: bad huffman table") };
        },
        2);
    pipeline.run(
        5,
        [](int row) {
            return jobOf(row, row == 0 || row == 4 ? PictureFormat::Other : PictureFormat::Png);
        },
        record.deliver());
    ASSERT_EQ(record.delivered, upTo(5));
    for (int row : { 0, 4 }) {
        EXPECT_TRUE(record.results[size_t(row)].image.isNull());
        EXPECT_TRUE(record.results[size_t(row)].error.isEmpty());
        EXPECT_EQ(record.decodes.count(row), 0u);
    }
    EXPECT_FALSE(record.results[1].ok());
    EXPECT_FALSE(record.results[1].error.isEmpty());
    EXPECT_FALSE(record.results[2].ok());
    EXPECT_EQ(record.results[2].error, QStringLiteral("decoder blew up"));
    EXPECT_EQ(record.results[3].error, QStringLiteral("jpeg: bad huffman table"));
}

TEST(ThumbnailPipeline, ProcessesEventsWhileWaiting)
{
    // Row 0's decode waits for a timer of the calling thread; run() must let it fire.
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
            if (job.bytes.toInt() == 0) {
                std::unique_lock lock(mutex);
                if (!fired.wait_for(lock, kGiveUp, [&] { return timerRan; }))
                    return DecodedPicture { QImage(), QStringLiteral("no events were processed") };
            }
            return pictureOf(job);
        },
        2);
    Recorder record;
    pipeline.run(6, record.fetch(), record.deliver());
    ASSERT_EQ(record.delivered, upTo(6));
    EXPECT_TRUE(record.results[0].ok()) << record.results[0].error.toStdString();
}

TEST(ThumbnailPipeline, NestedRunIsRefused)
{
    ThumbnailPipeline pipeline(pictureOf, 2);
    bool refused = false;
    Recorder record;
    const auto deliver = record.deliver();
    pipeline.run(3, record.fetch(), [&](int row, const DecodedPicture& result) {
        if (row == 1) {
            try {
                pipeline.run(
                    1, [](int r) { return jobOf(r); }, [](int, const DecodedPicture&) {});
            } catch (const std::logic_error&) {
                refused = true;
            }
        }
        deliver(row, result);
    });
    EXPECT_TRUE(refused);
    EXPECT_EQ(record.delivered, upTo(3));
}

TEST(ThumbnailPipeline, RunsOnAThreadWithoutEvents)
{
    ThumbnailPipeline pipeline(pictureOf, 2);
    Recorder record;
    std::thread caller([&] { pipeline.run(25, record.fetch(), record.deliver()); });
    caller.join();
    EXPECT_EQ(record.delivered, upTo(25));
    for (int row = 0; row < 25; ++row)
        EXPECT_EQ(rowOf(record.results[size_t(row)]), row);
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST(ThumbnailPipeline, DefaultDecoderMakesThumbnails)
{
    QImage wide(300, 200, QImage::Format_RGB32);
    wide.fill(qRgb(200, 30, 40));
    const std::vector<ThumbnailJob> jobs = {
        { PictureFormat::Png, encoded(wide, "PNG") },
        { PictureFormat::Jpeg, encoded(wide, "PNG") }, // a PNG stored as ".jpg" does not decode
        { PictureFormat::Other, QByteArray("EMF") },
        { PictureFormat::Bmp, encoded(wide, "BMP") },
    };
    ThumbnailPipeline pipeline;
    EXPECT_GE(pipeline.workerCount(), 1);
    std::vector<DecodedPicture> results;
    for (int pass = 0; pass < 2; ++pass) { // a second opening reuses the workers
        results.clear();
        pipeline.run(
            int(jobs.size()), [&](int row) { return jobs[size_t(row)]; },
            [&](int, const DecodedPicture& result) { results.push_back(result); });
        ASSERT_EQ(results.size(), jobs.size());
        for (size_t row : { 0u, 3u }) {
            ASSERT_TRUE(results[row].ok()) << results[row].error.toStdString();
            EXPECT_EQ(results[row].image.size(), QSize(150, 150));
            EXPECT_EQ(results[row].image.format(), QImage::Format_RGB32);
            EXPECT_EQ(results[row].image.pixel(75, 10), qRgb(255, 255, 255));
            EXPECT_EQ(results[row].image.pixel(75, 75), qRgb(200, 30, 40));
        }
        EXPECT_FALSE(results[1].ok());
        EXPECT_FALSE(results[1].error.isEmpty());
        EXPECT_TRUE(results[2].image.isNull());
        EXPECT_TRUE(results[2].error.isEmpty());
    }
}

} // namespace
} // namespace zarvo
