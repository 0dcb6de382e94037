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
#include <string>
#include <unordered_map>
#include <vector>

namespace zarvo {

namespace {

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

// A picture to make, once: rows with the same content and kind share one.
struct ThumbnailPipeline::Work
{
    std::vector<int> rows;
    ThumbnailJob job;
    ThumbnailKey key;
    QByteArray encoded; // the cache's entry, when it has one
    bool wasRead = false; // its bytes were read by the pipeline: counted in RunState::reading
};

// What the calling thread and the tasks of one run() share. Tasks hold it by shared_ptr, so
// a task that finishes after run() ended (deliver threw) still writes into live memory.
struct ThumbnailPipeline::RunState
{
    std::mutex mutex;
    std::condition_variable changed;
    // Rows finished and not yet delivered, in the order they finished, with their results.
    std::deque<std::pair<int, DecodedPicture>> ready;
    QAbstractEventDispatcher* dispatcher = nullptr; // of the calling thread; null: no events
    std::atomic<bool> cancelled { false };
    // Run on a worker on each thumbnail before it is delivered; may be empty.
    PrepareFunction prepare;
    // Works whose bytes are still to be read, in fetch order; only the calling thread uses it.
    std::deque<Work> unread;
    // Works whose bytes the calling thread is to read (under mutex): not in the cache, or their
    // entry was damaged. Moved to `unread` by the calling thread.
    std::vector<Work> toRead;
    // Decodes of bytes read by the pipeline that have not finished.
    std::atomic<int> reading { 0 };
    // Whether the cache had any of the rows of the last lookup.
    std::atomic<bool> anyFound { false };
    // Lookups started and not yet answered (under mutex).
    int lookups = 0;

    void finish(int row, DecodedPicture result)
    {
        {
            std::lock_guard lock(mutex);
            ready.emplace_back(row, std::move(result));
        }
        changed.notify_all();
    }
    // The same for every row of a work, the thumbnail prepared once for all of them.
    void finishAll(const std::vector<int>& rows, DecodedPicture result)
    {
        if (prepare && result.ok()) {
            try {
                result.image = prepare(result.image);
            } catch (const std::exception& error) {
                result = DecodedPicture { QImage(), QString::fromLocal8Bit(error.what()) };
            }
        }
        {
            std::lock_guard lock(mutex);
            for (int row : rows)
                ready.emplace_back(row, result);
        }
        changed.notify_all();
    }
    void giveToRead(Work work)
    {
        {
            std::lock_guard lock(mutex);
            toRead.push_back(std::move(work));
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
    // The cache's file opens now, on a worker, rather than in the first opening's first lookup,
    // which the first pictures' reads wait for.
    if (m_cache)
        m_pool.start([cache = m_cache] { cache->isAvailable(); });
}

ThumbnailPipeline::~ThumbnailPipeline()
{
    m_pool.clear();
    m_pool.waitForDone();
    // The write queued at the end of the last run may have been cleared above.
    if (m_cache)
        m_cache->flush();
}

void ThumbnailPipeline::submit(
    const std::shared_ptr<RunState>& state, std::vector<std::pair<int, ThumbnailJob>> jobs)
{
    ThumbnailCache* cache = m_cache.get();
    std::vector<Work> work;
    QHash<QByteArray, size_t> workOf; // by content and kind
    for (auto& [row, job] : jobs) {
        if (job.format == PictureFormat::Other) {
            state->finish(row, DecodedPicture());
            continue;
        }
        const bool deferred = job.bytes.isEmpty() && job.read;
        if (deferred && cache && job.content.isEmpty()) {
            // Nothing to look it up by but its bytes.
            try {
                job.bytes = job.read();
            } catch (const std::exception& error) {
                state->finish(
                    row, DecodedPicture { QImage(), QString::fromLocal8Bit(error.what()) });
                continue;
            }
            job.read = nullptr;
        }
        if (!cache) {
            if (job.read)
                state->unread.push_back({ { row }, std::move(job), {}, {} });
            else
                start(state, { { row }, std::move(job), {}, {} });
            continue;
        }
        ThumbnailKey key = job.read ? ThumbnailKey { job.content, job.format }
                                    : ThumbnailKey::of(job.format, job.bytes);
        const QByteArray full = key.content + char(int(key.format));
        if (const auto same = workOf.constFind(full); same != workOf.constEnd()) {
            work[same.value()].rows.push_back(row);
            continue;
        }
        workOf.insert(full, work.size());
        work.push_back({ { row }, std::move(job), std::move(key), {} });
    }
    if (work.empty())
        return;
    // The lookup waits for no decode and holds up no paint: a worker makes it, before the decodes
    // already queued.
    auto batch = std::make_shared<std::vector<Work>>(std::move(work));
    {
        std::lock_guard lock(state->mutex);
        ++state->lookups;
    }
    m_pool.start(
        [this, state, batch] {
            lookUp(state, std::move(*batch));
            {
                std::lock_guard lock(state->mutex);
                --state->lookups;
            }
            state->changed.notify_all();
        },
        1);
}

void ThumbnailPipeline::lookUp(const std::shared_ptr<RunState>& state, std::vector<Work> work)
{
    if (state->cancelled.load())
        return;
    std::vector<ThumbnailKey> keys;
    keys.reserve(work.size());
    for (const Work& w : work)
        keys.push_back(w.key);
    const std::vector<ThumbnailCache::Found> found = m_cache->findAll(keys);
    state->anyFound = std::any_of(
        found.begin(), found.end(), [](const ThumbnailCache::Found& f) { return !f.isEmpty(); });
    for (size_t i = 0; i < work.size(); ++i) {
        Work& w = work[i];
        if (!found[i].waiting.isNull()) {
            state->finishAll(w.rows, DecodedPicture { found[i].waiting, QString() });
            continue;
        }
        w.encoded = found[i].encoded;
        if (w.encoded.isEmpty() && w.job.read)
            state->giveToRead(std::move(w));
        else
            start(state, std::move(w));
    }
}

void ThumbnailPipeline::start(const std::shared_ptr<RunState>& state, Work work)
{
    ThumbnailCache* cache = m_cache.get();
    const DecodeFunction* decode = &m_decode;
    if (work.wasRead)
        ++state->reading;
    m_pool.start([state, decode, cache, w = std::move(work)]() mutable {
        DecodedPicture result;
        bool flush = false;
        if (!state->cancelled.load()) {
            // A damaged entry reads as missing; the picture decoded again replaces it.
            if (!w.encoded.isEmpty())
                result.image = state->prepare ? ThumbnailCache::decodeRgb888(w.encoded)
                                              : ThumbnailCache::decode(w.encoded);
            if (!result.ok() && w.job.read) {
                // Its bytes are not read yet: only the calling thread may read them.
                w.encoded.clear();
                state->giveToRead(std::move(w));
                return;
            }
            if (!result.ok()) {
                result = decodeSafely(*decode, w.job);
                if (cache && result.ok())
                    flush = cache->store(w.key, result.image);
            }
        }
        w.job.bytes = QByteArray();
        // Before the rows are finished, so that the calling thread, woken, sees the free place.
        if (w.wasRead)
            --state->reading;
        state->finishAll(w.rows, std::move(result));
        // Writing a few thousand thumbnails takes a while: not before the row is delivered.
        if (flush)
            cache->flush();
    });
}

void ThumbnailPipeline::readAndStart(const std::shared_ptr<RunState>& state, Work work)
{
    try {
        work.job.bytes = work.job.read();
    } catch (const std::exception& error) {
        state->finishAll(
            work.rows, DecodedPicture { QImage(), QString::fromLocal8Bit(error.what()) });
        return;
    }
    work.job.read = nullptr;
    work.wasRead = true;
    start(state, std::move(work));
}

ThumbnailPipeline::Head& ThumbnailPipeline::Head::operator=(Head&& other) noexcept
{
    drop();
    m_state = std::move(other.m_state);
    m_rows = std::move(other.m_rows);
    m_started = other.m_started;
    m_pipeline = other.m_pipeline;
    return *this;
}

ThumbnailPipeline::Head::~Head()
{
    drop();
}

void ThumbnailPipeline::Head::drop()
{
    // Decodes not started yet are skipped; those in progress finish into the state nobody reads.
    if (m_state)
        m_state->cancelled = true;
    m_state.reset();
    m_rows.clear();
    m_started.invalidate();
}

ThumbnailPipeline::Head ThumbnailPipeline::startHead(
    std::vector<std::pair<int, ThumbnailJob>> jobs, const PrepareFunction& prepare)
{
    if (m_running)
        throw std::logic_error("ThumbnailPipeline::startHead called while run() runs");
    Head head;
    head.m_pipeline = this;
    head.m_started.start();
    head.m_state = std::make_shared<RunState>();
    head.m_state->prepare = prepare;
    addToHead(head, std::move(jobs));
    return head;
}

void ThumbnailPipeline::checkHead(const Head& head, const char* caller) const
{
    if (m_running || head.m_pipeline != this || !head.m_state)
        throw std::logic_error(std::string("ThumbnailPipeline::") + caller
            + " called while run() runs, or given a head this pipeline did not start");
}

void ThumbnailPipeline::addToHead(Head& head, std::vector<std::pair<int, ThumbnailJob>> jobs)
{
    checkHead(head, "addToHead");
    // Each row once: run() delivers what comes back for it once.
    std::vector<std::pair<int, ThumbnailJob>> started;
    for (auto& job : jobs) {
        if (std::find(head.m_rows.begin(), head.m_rows.end(), job.first) == head.m_rows.end()) {
            head.m_rows.push_back(job.first);
            started.push_back(std::move(job));
        }
    }
    submit(head.m_state, std::move(started));
}

void ThumbnailPipeline::readHead(Head& head, std::chrono::milliseconds wait)
{
    checkHead(head, "readHead");
    RunState& state = *head.m_state;
    std::vector<Work> toRead;
    {
        std::unique_lock lock(state.mutex);
        state.changed.wait_for(lock, wait, [&] { return state.lookups == 0; });
        toRead.swap(state.toRead);
    }
    for (Work& w : toRead)
        readAndStart(head.m_state, std::move(w));
}

void ThumbnailPipeline::run(int rowCount, const FetchFunction& fetch,
    const DeliverFunction& deliver, const VisibleFunction& visible, const PrepareFunction& prepare,
    Head head)
{
    if (m_running)
        throw std::logic_error("ThumbnailPipeline::run called while it runs");
    if (head.m_pipeline != this)
        head.drop();
    if (std::any_of(head.m_rows.begin(), head.m_rows.end(),
            [rowCount](int row) { return row < 0 || row >= rowCount; }))
        throw std::logic_error("ThumbnailPipeline::run given a head row it does not have");
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
            state->unread.clear();
            if (ThumbnailCache* cache = pipeline->m_cache.get())
                pipeline->m_pool.start([cache] { cache->flush(); });
        }
    };
    // A head's decodes may be running: its prepare function is theirs.
    std::shared_ptr<RunState> state = std::move(head.m_state);
    if (!state) {
        state = std::make_shared<RunState>();
        state->prepare = prepare;
    }
    if (QCoreApplication::instance())
        state->dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    m_running = true;
    Guard guard { this, state, false };

    QElapsedTimer sinceEvents = head.m_started;
    if (!sinceEvents.isValid())
        sinceEvents.start();
    bool seenChanged = true; // the visible rows may have changed since they were asked
    const auto processEvents = [&] {
        QCoreApplication::processEvents(m_eventFlags, kEventBudgetMs);
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

    // Reads the bytes of waiting works while fewer than lookAhead() of the bytes read are being
    // decoded; the window keeps painting between reads.
    const auto readSome = [&] {
        {
            std::lock_guard lock(state->mutex);
            for (Work& w : state->toRead)
                state->unread.push_back(std::move(w));
            state->toRead.clear();
        }
        while (!state->unread.empty() && state->reading.load() < lookAhead()) {
            Work w = std::move(state->unread.front());
            state->unread.pop_front();
            readAndStart(state, std::move(w));
            if (state->dispatcher && sinceEvents.elapsed() >= kYieldIntervalMs)
                processEvents();
        }
    };

    std::vector<int> inFlight; // fetched, not delivered
    for (int row : head.m_rows) {
        if (!fetchedRows[size_t(row)]) {
            fetchedRows[size_t(row)] = true;
            inFlight.push_back(row);
        }
    }
    const auto seenInFlight = [&] {
        return std::any_of(inFlight.begin(), inFlight.end(),
            [&](int row) { return row >= seenFirst && row <= seenLast; });
    };
    // With a cache, rows are fetched a screenful at a time while they are found there or their
    // bytes wait to be read, so that one query serves them all; otherwise as soon as a worker's
    // row is delivered.
    bool batching = m_cache != nullptr;
    std::exception_ptr fetchFailure;
    std::vector<std::pair<int, DecodedPicture>> done;
    for (;;) {
        const size_t window = size_t(batching ? std::max(kBatchRows, lookAhead()) : lookAhead());
        // While the workers have rows in sight enough, reading others would only hold them up.
        const bool screenBusy = inFlight.size() >= size_t(lookAhead()) && seenInFlight();
        if (!fetchFailure && !screenBusy
            && inFlight.size() <= (batching ? window / 2 : window - 1)) {
            std::vector<std::pair<int, ThumbnailJob>> jobs;
            bool seenInBatch = false;
            while (inFlight.size() < window) {
                const int row = nextRow();
                const bool seen = row >= seenFirst && row <= seenLast;
                // The rows in sight go to the workers before any other is read, and no other
                // is read or decoded until they are in: the last of them, and the paint that
                // shows them, would share the cores with it.
                if (row < 0 || (!seen && (seenInBatch || seenInFlight())))
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
                if (!m_cache) {
                    // Its bytes were read with it: its decode need not wait for the next reads.
                    submit(state, std::move(jobs));
                    jobs.clear();
                }
            }
            if (!jobs.empty()) {
                // Rows whose bytes wait to be read cost little to fetch: a screenful at a time.
                const bool deferred = std::any_of(jobs.begin(), jobs.end(),
                    [](const auto& job) { return bool(job.second.read); });
                submit(state, std::move(jobs));
                batching = m_cache && (deferred || state->anyFound.load());
            }
        }
        if (inFlight.empty())
            break;

        // Every row that is ready, in the order they became so: a row found in the cache does not
        // wait for one still decoding.
        for (;;) {
            readSome();
            {
                std::unique_lock lock(state->mutex);
                // Woken when a row is in, or when bytes wait to be read and a worker is free.
                const auto woken = [&] {
                    return !state->ready.empty()
                        || ((!state->toRead.empty() || !state->unread.empty())
                            && state->reading.load() < lookAhead());
                };
                if (!state->dispatcher) {
                    state->changed.wait(lock, woken);
                } else {
                    // Sleep until a result is in or the yield interval is over: processing
                    // events at every finished decode would repaint the view for each picture.
                    const qint64 left = kYieldIntervalMs - sinceEvents.elapsed();
                    if (left > 0)
                        state->changed.wait_for(lock, std::chrono::milliseconds(left), woken);
                }
                if (!state->ready.empty()) {
                    done.assign(std::make_move_iterator(state->ready.begin()),
                        std::make_move_iterator(state->ready.end()));
                    state->ready.clear();
                    break;
                }
            }
            if (state->dispatcher && sinceEvents.elapsed() >= kYieldIntervalMs)
                processEvents();
        }
        bool screenDone = false;
        for (auto& [row, result] : done) {
            inFlight.erase(std::find(inFlight.begin(), inFlight.end(), row));
            deliver(row, result);
            deliveredRows[size_t(row)] = true;
            // The last row in sight is in: show the screen now, not at the next yield.
            screenDone |= visible && row >= seenFirst && row <= seenLast
                && std::all_of(deliveredRows.begin() + seenFirst,
                    deliveredRows.begin() + seenLast + 1, [](bool delivered) { return delivered; });
        }
        done.clear();
        if (state->dispatcher && (screenDone || sinceEvents.elapsed() >= kYieldIntervalMs))
            processEvents();
    }
    guard.drained = true;
    if (fetchFailure)
        std::rethrow_exception(fetchFailure);
}

} // namespace zarvo
