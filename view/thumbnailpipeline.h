// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"
#include "imaging/pictureformat.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThreadPool>

#include <chrono>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace zarvo {

class ThumbnailCache;

// One picture to make a thumbnail of: its format (told from `Come`) and its stored bytes.
// Format Other has nothing to decode; its bytes may be left empty.
//
// Instead of the bytes, a job may carry `read`, which reads them, and `content`, their content
// key (ThumbnailKey::contentOf) when the caller knows it without reading them (the store's
// fingerprint). The pipeline then reads the bytes only when its cache has no thumbnail for that
// content and kind; without a content key it reads them at once.
struct ThumbnailJob
{
    ThumbnailJob() = default;
    ThumbnailJob(PictureFormat format_, QByteArray bytes_)
        : format(format_)
        , bytes(std::move(bytes_))
    {
    }
    ThumbnailJob(PictureFormat format_, QByteArray content_, std::function<QByteArray()> read_)
        : format(format_)
        , content(std::move(content_))
        , read(std::move(read_))
    {
    }

    PictureFormat format = PictureFormat::Other;
    QByteArray bytes;
    QByteArray content;
    std::function<QByteArray()> read;
};

// Builds the thumbnails of a folder opening on all cores and hands them back on the calling
// (user-interface) thread.
//
// run() reads rows with `fetch` on the calling thread while worker threads decode them; it keeps
// at most lookAhead() rows fetched but not yet delivered (besides the rows of a head, whose
// caller chose how many), so memory holds a few pictures' bytes at a time, not the folder's.
// Each row is fetched once and decoded once, and results are given to `deliver` on the calling
// thread as soon as each is ready (a row found in the cache does not wait for an earlier one
// still decoding): the thumbnail (Format_RGB32, 150 x 150; with `prepare`, what prepare made of
// it on a worker), or !ok() with an error text when decoding failed, or for format Other a null
// result without error (nothing was decoded).
//
// Order: without `visible`, rows are fetched 0, 1, 2, ... With it, run() asks `visible` which
// rows the user sees (first and last, inclusive; first > last when none) before its first fetch
// and again after each time it processed events, and fetches those rows first, then the rows
// after them, then the rows before them; so scrolling moves the rows that come into sight to the
// front.
//
// While it waits for the next result, run() processes the calling thread's events with
// eventFlags() (by default QEventLoop::ExcludeUserInputEvents: repaints, timers, posted events;
// no user input) every 25 ms (kYieldIntervalMs), even when results are ready, so the window keeps
// painting; and at once when the last of the rows in sight is delivered. So a view whose
// thumbnails come within that interval paints its first screen once, with them, not first
// without. It sleeps while it waits; it never spins. Callers must expect those
// events to run during run() and keep commands from starting meanwhile. run() is not
// re-entrant: a nested call on the same pipeline throws std::logic_error.
//
// Failures: when fetch throws, no further rows are fetched; the rows fetched before are still
// delivered, then the exception is rethrown. When deliver throws, rows still queued are dropped,
// decodes in progress finish on their own, and the exception propagates at once. The decode
// and prepare functions must not throw; if one does, that row comes back !ok() with its what().
//
// Bytes read later: the jobs that carry `read` are read on the calling thread one at a time, as
// a worker becomes free (at most lookAhead() of them read and not yet decoded), with events
// processed between reads as while waiting; so a screenful of large pictures never holds up
// painting for longer than one read. A read that throws makes that row !ok() with its what();
// the run goes on.
//
// Cache: with a ThumbnailCache, the rows fetched together (up to a screenful) are looked up in it
// by content and kind in one query, made on a worker so that the calling thread never waits for
// the cache's file (but for readHead(), briefly), and only those not there are decoded; a thumbnail
// decoded is stored (before `prepare`), a failure never is. The results are the same with or
// without the cache; only the time, and so the order of delivery, differs. What waits to be written
// is written on a worker when run() ends.
//
// Threads: run() must be called on one thread at a time, the thread whose events it may
// process (normally the user-interface thread). The decode and prepare functions run on the
// workers, several at once. The workers are a private thread pool whose threads never expire while
// the pipeline lives, so the default decoder's per-thread Thumbnailer keeps its buffers from one
// opening to the next. Destroying the pipeline waits for decodes in progress.
class ThumbnailPipeline
{
public:
    using DecodeFunction = std::function<DecodedPicture(const ThumbnailJob&)>;
    using FetchFunction = std::function<ThumbnailJob(int)>;
    using DeliverFunction = std::function<void(int, const DecodedPicture&)>;
    using VisibleFunction = std::function<std::pair<int, int>()>;
    // Turns a thumbnail (150 x 150, Format_RGB32, or Format_RGB888 as the cache keeps it) into
    // the form the caller keeps (the folder view's, say), off the calling thread; the result must
    // not be null.
    using PrepareFunction = std::function<QImage(const QImage&)>;

    // Decodes with one Thumbnailer per worker thread; QThread::idealThreadCount() workers; the
    // cache of ThumbnailCache::openDefault().
    ThumbnailPipeline();
    // The same with the given cache; null: none.
    explicit ThumbnailPipeline(std::shared_ptr<ThumbnailCache> cache);
    // Decodes with `decode` (tests use it to make decodes slow, or fail); workerCount <= 0
    // means QThread::idealThreadCount().
    explicit ThumbnailPipeline(DecodeFunction decode, int workerCount = 0,
        std::shared_ptr<ThumbnailCache> cache = nullptr);
    ~ThumbnailPipeline();
    ThumbnailPipeline(const ThumbnailPipeline&) = delete;
    ThumbnailPipeline& operator=(const ThumbnailPipeline&) = delete;

    int workerCount() const { return m_workerCount; }
    // The cache in use, or null. Deleting pictures must forget them there (ThumbnailCache::forget).
    const std::shared_ptr<ThumbnailCache>& cache() const { return m_cache; }
    // Most rows fetched but not yet delivered at any time: two per worker; with a cache, whose
    // hits cost little, a screenful (kBatchRows) while the rows fetched last were found there.
    int lookAhead() const { return 2 * m_workerCount; }
    static constexpr int kBatchRows = 32;
    // Longest stretch without processing events while results keep arriving in time, and the
    // most time one processing of events may take: long enough for what the events start (a
    // timer that asks for a paint, the paint) to end in it too. Other work on the user-interface
    // thread that must keep the window painting yields the same way.
    static constexpr qint64 kYieldIntervalMs = 25;
    static constexpr int kEventBudgetMs = 8;

    QEventLoop::ProcessEventsFlags eventFlags() const { return m_eventFlags; }
    void setEventFlags(QEventLoop::ProcessEventsFlags flags) { m_eventFlags = flags; }

private:
    struct RunState;

public:
    // Rows of the next run() whose decodes started before it (startHead()). Passed to run(),
    // which takes them as fetched; when it is dropped instead, their results are thrown away.
    class Head
    {
    public:
        // Not `= default` with a member initializer: run()'s default argument needs it complete.
        Head()
            : m_pipeline(nullptr)
        {
        }
        Head(Head&&) = default;
        Head& operator=(Head&& other) noexcept;
        ~Head();

    private:
        friend class ThumbnailPipeline;
        void drop();
        std::shared_ptr<RunState> m_state;
        std::vector<int> m_rows;
        QElapsedTimer m_started;
        const ThumbnailPipeline* m_pipeline; // whose workers decode it
    };

    // Starts the jobs of the first rows of the next run() at once, so that they decode while the
    // caller still reads what it needs to call run() (a folder's rows): with a cache, looks them
    // up there, and decodes those found and those whose bytes the jobs carry. `prepare` must be
    // the one run() will be given. Throws std::logic_error while run() runs.
    Head startHead(std::vector<std::pair<int, ThumbnailJob>> jobs, const PrepareFunction& prepare);
    // Starts more rows of a head of this pipeline, as startHead() does: a caller that reads the
    // bytes of several pictures starts each decode as soon as its bytes are read. Throws
    // std::logic_error while run() runs.
    void addToHead(Head& head, std::vector<std::pair<int, ThumbnailJob>> jobs);
    // Reads on the calling thread the bytes of the head's pictures that the cache lacks, and
    // starts their decodes: else they wait for run() to read them, after whatever the caller
    // reads first. Waits for the cache's answer at most `wait`; the pictures it has not answered
    // for by then are read by run(). Throws std::logic_error while run() runs.
    void readHead(
        Head& head, std::chrono::milliseconds wait = std::chrono::milliseconds(kEventBudgetMs));

    // `head`: rows started by this pipeline's startHead(), all below rowCount; they are not
    // fetched again (a head of another pipeline is dropped, and its rows fetched). The
    // 25 ms until events are first processed count from startHead(): what the caller read in
    // between held up the window's painting as well.
    void run(int rowCount, const FetchFunction& fetch, const DeliverFunction& deliver,
        const VisibleFunction& visible = {}, const PrepareFunction& prepare = {}, Head head = {});

private:
    struct Work;

    // Starts the decodes of the jobs, with a cache after looking them up there together (on a
    // worker, lookUp()); jobs whose bytes are still to be read wait in the state for the calling
    // thread to read them.
    void submit(
        const std::shared_ptr<RunState>& state, std::vector<std::pair<int, ThumbnailJob>> jobs);
    // Looks works up in the cache in one query and starts the decodes of the entries found and
    // of the pictures not found whose bytes are at hand; the others go to the calling thread to
    // be read.
    void lookUp(const std::shared_ptr<RunState>& state, std::vector<Work> work);
    // Decodes a cache entry or the picture on a worker.
    void start(const std::shared_ptr<RunState>& state, Work work);
    // Throws std::logic_error, naming `caller`, while run() runs or for a head of another pipeline.
    void checkHead(const Head& head, const char* caller) const;
    // Reads the bytes of a work on the calling thread and starts its decode; a read that throws
    // finishes its rows with the error.
    void readAndStart(const std::shared_ptr<RunState>& state, Work work);

    DecodeFunction m_decode;
    std::shared_ptr<ThumbnailCache> m_cache;
    int m_workerCount = 1;
    bool m_running = false;
    QEventLoop::ProcessEventsFlags m_eventFlags = QEventLoop::ExcludeUserInputEvents;
    // Declared last: destroyed first, waiting for tasks that still use m_decode.
    QThreadPool m_pool;
};

} // namespace zarvo
