// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/thumbnailpipeline.h"

#include "imaging/thumbnailer.h"
#include "view/thumbnailcache.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace zarvo {

namespace {

// Longest stretch without processing events while results keep arriving in time.
constexpr qint64 kYieldIntervalMs = 40;

DecodedPicture thumbnailOnThisThread(const ThumbnailJob& job)
{
    // One per worker thread; the pool's threads never expire, so its buffers are reused.
    thread_local Thumbnailer thumbnailer;
    return thumbnailer.makeThumbnail(job.format, job.bytes);
}

DecodedPicture decodeSafely(
    const ThumbnailPipeline::DecodeFunction& decode, const ThumbnailJob& job)
{
    DecodedPicture result;
    try {
        result = decode(job);
    } catch (const std::exception& error) {
        result = DecodedPicture();
        result.error = QString::fromLocal8Bit(error.what());
    } catch (...) {
        result = DecodedPicture();
        result.error = QStringLiteral("unknown failure while decoding");
    }
    if (!result.ok() && result.error.isEmpty())
        result.error = QStringLiteral("the picture could not be decoded");
    return result;
}

// *flush tells that so many thumbnails wait to be written that the cache should be flushed.
DecodedPicture decodeThroughCache(const ThumbnailPipeline::DecodeFunction& decode,
    ThumbnailCache& cache, const ThumbnailJob& job, bool* flush)
{
    const ThumbnailKey key = ThumbnailKey::of(job.format, job.bytes);
    DecodedPicture result;
    result.image = cache.find(key);
    if (result.ok())
        return result;
    result = decodeSafely(decode, job);
    if (result.ok())
        *flush = cache.store(key, result.image);
    return result;
}

} // namespace

// What the calling thread and the tasks of one run() share. Tasks hold it by shared_ptr, so
// a task that finishes after run() ended (deliver threw) still writes into live memory.
struct ThumbnailPipeline::RunState
{
    struct Slot
    {
        bool ready = false;
        DecodedPicture result;
    };

    explicit RunState(int slotCount)
        : slots(size_t(slotCount))
    {
    }

    Slot& slotOf(int row) { return slots[size_t(row) % slots.size()]; }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Slot> slots; // row r in slot r % size: at most size rows are in flight
    QAbstractEventDispatcher* dispatcher = nullptr; // of the calling thread; null: no events
    std::atomic<bool> cancelled { false };
};

ThumbnailPipeline::ThumbnailPipeline()
    : ThumbnailPipeline(thumbnailOnThisThread, 0, ThumbnailCache::openDefault())
{
}

ThumbnailPipeline::ThumbnailPipeline(std::shared_ptr<ThumbnailCache> cache)
    : ThumbnailPipeline(thumbnailOnThisThread, 0, std::move(cache))
{
}

ThumbnailPipeline::ThumbnailPipeline(
    DecodeFunction decode, int workerCount, std::shared_ptr<ThumbnailCache> cache)
    : m_decode(std::move(decode))
    , m_cache(std::move(cache))
    , m_workerCount(workerCount > 0 ? workerCount : std::max(1, QThread::idealThreadCount()))
{
    m_pool.setObjectName(QStringLiteral("ThumbnailPipeline"));
    m_pool.setMaxThreadCount(m_workerCount);
    m_pool.setExpiryTimeout(-1);
}

ThumbnailPipeline::~ThumbnailPipeline()
{
    m_pool.clear();
    m_pool.waitForDone();
    // The write queued at the end of the last run may have been cleared above.
    if (m_cache)
        m_cache->flush();
}

void ThumbnailPipeline::submit(const std::shared_ptr<RunState>& state, int row, ThumbnailJob job)
{
    if (job.format == PictureFormat::Other) {
        std::lock_guard lock(state->mutex);
        RunState::Slot& slot = state->slotOf(row);
        slot.result = DecodedPicture();
        slot.ready = true;
        return;
    }
    const DecodeFunction* decode = &m_decode;
    ThumbnailCache* cache = m_cache.get();
    m_pool.start([state, row, decode, cache, job = std::move(job)]() mutable {
        DecodedPicture result;
        bool flush = false;
        if (!state->cancelled.load()) {
            result = cache ? decodeThroughCache(*decode, *cache, job, &flush)
                           : decodeSafely(*decode, job);
        }
        job.bytes = QByteArray();
        {
            std::lock_guard lock(state->mutex);
            RunState::Slot& slot = state->slotOf(row);
            slot.result = std::move(result);
            slot.ready = true;
        }
        state->changed.notify_all();
        // Writing a few thousand thumbnails takes a while: not before the row is delivered.
        if (flush)
            cache->flush();
    });
}

void ThumbnailPipeline::run(
    int rowCount, const FetchFunction& fetch, const DeliverFunction& deliver)
{
    if (m_running)
        throw std::logic_error("ThumbnailPipeline::run called while it runs");
    if (rowCount <= 0)
        return;

    struct Guard
    {
        ThumbnailPipeline* pipeline;
        std::shared_ptr<RunState> state;
        bool drained = false;
        ~Guard()
        {
            pipeline->m_running = false;
            if (!drained) {
                // Leaving early: nobody waits for the rows in flight any more.
                state->cancelled = true;
                pipeline->m_pool.clear();
            }
            if (ThumbnailCache* cache = pipeline->m_cache.get())
                pipeline->m_pool.start([cache] { cache->flush(); });
        }
    };
    auto state = std::make_shared<RunState>(lookAhead());
    if (QCoreApplication::instance())
        state->dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    m_running = true;
    Guard guard { this, state, false };

    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const auto processEvents = [&](QEventLoop::ProcessEventsFlags flags) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | flags);
        sinceEvents.restart();
    };

    int fetched = 0;
    int delivered = 0;
    std::exception_ptr fetchFailure;
    for (;;) {
        while (!fetchFailure && fetched < rowCount && fetched - delivered < lookAhead()) {
            ThumbnailJob job;
            try {
                job = fetch(fetched);
            } catch (...) {
                fetchFailure = std::current_exception();
                break;
            }
            submit(state, fetched, std::move(job));
            ++fetched;
        }
        if (delivered == fetched)
            break;

        RunState::Slot& slot = state->slotOf(delivered);
        DecodedPicture result;
        for (;;) {
            {
                std::unique_lock lock(state->mutex);
                if (!state->dispatcher) {
                    state->changed.wait(lock, [&slot] { return slot.ready; });
                } else {
                    // Sleep until the result is in or the yield interval is over: processing
                    // events at every finished decode would repaint the view for each picture.
                    const qint64 left = kYieldIntervalMs - sinceEvents.elapsed();
                    if (left > 0)
                        state->changed.wait_for(
                            lock, std::chrono::milliseconds(left), [&slot] { return slot.ready; });
                }
                if (slot.ready) {
                    result = std::move(slot.result);
                    slot.result = DecodedPicture();
                    slot.ready = false;
                    break;
                }
            }
            processEvents(QEventLoop::AllEvents);
        }
        deliver(delivered, result);
        ++delivered;
        if (state->dispatcher && sinceEvents.elapsed() >= kYieldIntervalMs)
            processEvents(QEventLoop::AllEvents);
    }
    guard.drained = true;
    if (fetchFailure)
        std::rethrow_exception(fetchFailure);
}

} // namespace zarvo
