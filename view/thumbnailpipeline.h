// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"
#include "imaging/pictureformat.h"

#include <QByteArray>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace zarvo {

class ThumbnailCache;

// One picture to make a thumbnail of: its format (told from `Come`) and its stored bytes.
// Format Other has nothing to decode; its bytes may be left empty.
struct ThumbnailJob
{
    PictureFormat format = PictureFormat::Other;
    QByteArray bytes;
};

// Builds the thumbnails of a folder opening on all cores and hands them back in row order on
// the calling (user-interface) thread.
//
// run() reads rows with `fetch` on the calling thread, in row order, while worker threads
// decode them; it keeps at most lookAhead() rows fetched but not yet delivered, so memory
// holds a few pictures' bytes at a time, not the folder's. Each row is fetched once and
// decoded once. Results are given to `deliver` on the calling thread strictly in row order
// 0, 1, 2, ...: the thumbnail (Format_RGB32, 150 x 150), or !ok() with an error text when
// decoding failed, or for format Other a null result without error (nothing was decoded).
//
// While it waits for the next result, run() processes the calling thread's events with
// QEventLoop::ExcludeUserInputEvents (repaints, timers, posted events; no user input), and it
// does so every few tens of milliseconds even when results are ready, so the window keeps
// painting. It sleeps while it waits; it never spins. Callers must expect those events to run
// during run() and keep commands from starting meanwhile. run() is not re-entrant: a nested
// call on the same pipeline throws std::logic_error.
//
// Failures: when fetch(k) throws, no further rows are fetched; rows 0..k-1 are still
// delivered in order, then the exception is rethrown. When deliver throws, rows still queued
// are dropped, decodes in progress finish on their own, and the exception propagates at once.
// The decode function must not throw; if it does, that row comes back !ok() with its what().
//
// Cache: with a ThumbnailCache, a worker first looks the picture up by its content and kind and
// decodes only when it is not there; a thumbnail it decodes is stored, a failure never is. The
// results, their order and the events processed are the same with or without the cache; only
// the time differs. What waits to be written is written on a worker when run() ends.
//
// Threads: run() must be called on one thread at a time, the thread whose events it may
// process (normally the user-interface thread). The decode function runs on the workers,
// several at once. The workers are a private thread pool whose threads never expire while the
// pipeline lives, so the default decoder's per-thread Thumbnailer keeps its buffers from one
// opening to the next. Destroying the pipeline waits for decodes in progress.
class ThumbnailPipeline
{
public:
    using DecodeFunction = std::function<DecodedPicture(const ThumbnailJob&)>;
    using FetchFunction = std::function<ThumbnailJob(int)>;
    using DeliverFunction = std::function<void(int, const DecodedPicture&)>;

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
    // Most rows fetched but not yet delivered at any time: two per worker.
    int lookAhead() const { return 2 * m_workerCount; }

    void run(int rowCount, const FetchFunction& fetch, const DeliverFunction& deliver);

private:
    struct RunState;

    void submit(const std::shared_ptr<RunState>& state, int row, ThumbnailJob job);

    DecodeFunction m_decode;
    std::shared_ptr<ThumbnailCache> m_cache;
    int m_workerCount = 1;
    bool m_running = false;
    // Declared last: destroyed first, waiting for tasks that still use m_decode.
    QThreadPool m_pool;
};

} // namespace zarvo
