// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/thumbnailpipeline.h"

#include "imaging/thumbnailer.h"
#include "view/thumbnailcache.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
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

    std::mutex mutex;
    std::condition_variable changed;
    std::unordered_map<int, Slot> slots; // of the rows fetched and not yet delivered
    QAbstractEventDispatcher* dispatcher = nullptr; // of the calling thread; null: no events
    std::atomic<bool> cancelled { false };

    void finish(int row, DecodedPicture result)
    {
        {
            std::lock_guard lock(mutex);
            Slot& slot = slots[row];
            slot.result = std::move(result);
            slot.ready = true;
        }
        changed.notify_all();
    }
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

bool ThumbnailPipeline::submit(
    const std::shared_ptr<RunState>& state, std::vector<std::pair<int, ThumbnailJob>> jobs)
{
    // The pictures to make, each once: rows with the same content and kind share one.
    struct Work
    {
        std::vector<int> rows;
        ThumbnailJob job;
        ThumbnailKey key;
        QByteArray encoded; // the cache's entry, when it has one
    };
    ThumbnailCache* cache = m_cache.get();
    std::vector<Work> work;
    QHash<QByteArray, size_t> workOf; // by content and kind
    for (auto& [row, job] : jobs) {
        if (job.format == PictureFormat::Other) {
            state->finish(row, DecodedPicture());
            continue;
        }
        if (!cache) {
            work.push_back({ { row }, std::move(job), {}, {} });
            continue;
        }
        ThumbnailKey key = ThumbnailKey::of(job.format, job.bytes);
        const QByteArray full = key.content + char(int(key.format));
        if (const auto same = workOf.constFind(full); same != workOf.constEnd()) {
            work[same.value()].rows.push_back(row);
            continue;
        }
        workOf.insert(full, work.size());
        work.push_back({ { row }, std::move(job), std::move(key), {} });
    }
    bool anyFound = false;
    if (cache) {
        std::vector<ThumbnailKey> keys;
        keys.reserve(work.size());
        for (const Work& w : work)
            keys.push_back(w.key);
        const std::vector<ThumbnailCache::Found> found = cache->findAll(keys);
        for (size_t i = 0; i < work.size(); ++i) {
            anyFound |= !found[i].isEmpty();
            if (!found[i].waiting.isNull()) {
                for (int row : work[i].rows)
                    state->finish(row, DecodedPicture { found[i].waiting, QString() });
                work[i].rows.clear();
            } else {
                work[i].encoded = found[i].encoded;
            }
        }
    }

    const DecodeFunction* decode = &m_decode;
    for (Work& w : work) {
        if (w.rows.empty())
            continue;
        m_pool.start([state, decode, cache, w = std::move(w)]() mutable {
            DecodedPicture result;
            bool flush = false;
            if (!state->cancelled.load()) {
                // A damaged entry reads as missing; the picture decoded again replaces it.
                if (!w.encoded.isEmpty())
                    result.image = ThumbnailCache::decode(w.encoded);
                if (!result.ok()) {
                    result = decodeSafely(*decode, w.job);
                    if (cache && result.ok())
                        flush = cache->store(w.key, result.image);
                }
            }
            w.job.bytes = QByteArray();
            for (int row : w.rows)
                state->finish(row, result);
            // Writing a few thousand thumbnails takes a while: not before the row is delivered.
            if (flush)
                cache->flush();
        });
    }
    return anyFound;
}

void ThumbnailPipeline::run(int rowCount, const FetchFunction& fetch,
    const DeliverFunction& deliver, const VisibleFunction& visible)
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
    auto state = std::make_shared<RunState>();
    if (QCoreApplication::instance())
        state->dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    m_running = true;
    Guard guard { this, state, false };

    QElapsedTimer sinceEvents;
    sinceEvents.start();
    bool seenChanged = true; // the visible rows may have changed since they were asked
    const auto processEvents = [&] {
        QCoreApplication::processEvents(m_eventFlags);
        sinceEvents.restart();
        seenChanged = true;
    };

    // Which row to fetch next: the first unfetched visible row, else the first unfetched one
    // after the visible rows, else the first unfetched one.
    std::vector<bool> fetchedRows(size_t(rowCount), false);
    std::vector<bool> deliveredRows(size_t(rowCount), false);
    int seenFirst = 0;
    int seenLast = -1;
    int after = 0;
    int fromStart = 0;
    const auto nextRow = [&]() -> int {
        if (visible && seenChanged) {
            seenChanged = false;
            const std::pair<int, int> seen = visible();
            seenFirst = std::max(0, seen.first);
            seenLast = std::min(rowCount - 1, seen.second);
            after = std::max(0, seenLast + 1);
        }
        for (int row = seenFirst; row <= seenLast; ++row) {
            if (!fetchedRows[size_t(row)])
                return row;
        }
        while (after < rowCount && fetchedRows[size_t(after)])
            ++after;
        if (after < rowCount)
            return after;
        while (fromStart < rowCount && fetchedRows[size_t(fromStart)])
            ++fromStart;
        return fromStart < rowCount ? fromStart : -1;
    };

    // The items are laid out, and painted without thumbnails, before the view is asked what
    // it shows.
    if (visible && state->dispatcher)
        processEvents();

    std::deque<int> inFlight; // fetched, not delivered, in fetch order
    // With a cache, rows are fetched a screenful at a time while they are found there, so that
    // one query serves them all; otherwise as soon as a worker's row is delivered.
    bool batching = m_cache != nullptr;
    std::exception_ptr fetchFailure;
    for (;;) {
        const size_t window = size_t(batching ? std::max(kBatchRows, lookAhead()) : lookAhead());
        // While the workers have rows in sight enough, reading others would only hold them up.
        const bool screenBusy = inFlight.size() >= size_t(lookAhead())
            && std::any_of(inFlight.begin(), inFlight.end(),
                [&](int row) { return row >= seenFirst && row <= seenLast; });
        if (!fetchFailure && !screenBusy
            && inFlight.size() <= (batching ? window / 2 : window - 1)) {
            std::vector<std::pair<int, ThumbnailJob>> jobs;
            bool seenInBatch = false;
            while (inFlight.size() < window) {
                const int row = nextRow();
                const bool seen = row >= seenFirst && row <= seenLast;
                // The rows in sight go to the workers before any other is read.
                if (row < 0 || (seenInBatch && !seen))
                    break;
                seenInBatch |= seen;
                ThumbnailJob job;
                try {
                    job = fetch(row);
                } catch (...) {
                    fetchFailure = std::current_exception();
                    break;
                }
                fetchedRows[size_t(row)] = true;
                inFlight.push_back(row);
                jobs.emplace_back(row, std::move(job));
            }
            if (!jobs.empty())
                batching = submit(state, std::move(jobs)) && m_cache;
        }
        if (inFlight.empty())
            break;

        const int row = inFlight.front();
        DecodedPicture result;
        for (;;) {
            {
                std::unique_lock lock(state->mutex);
                RunState::Slot& slot = state->slots[row];
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
                    state->slots.erase(row);
                    break;
                }
            }
            processEvents();
        }
        inFlight.pop_front();
        deliver(row, result);
        deliveredRows[size_t(row)] = true;
        // The last row in sight is in: show the screen now, not at the next yield.
        const bool screenDone = visible && row >= seenFirst && row <= seenLast
            && std::all_of(deliveredRows.begin() + seenFirst, deliveredRows.begin() + seenLast + 1,
                [](bool done) { return done; });
        if (state->dispatcher && (screenDone || sinceEvents.elapsed() >= kYieldIntervalMs))
            processEvents();
    }
    guard.drained = true;
    if (fetchFailure)
        std::rethrow_exception(fetchFailure);
}

} // namespace zarvo
