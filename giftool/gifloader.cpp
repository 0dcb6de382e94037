// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "giftool/gifloader.h"

#include "giftool/framefile.h"

#include <QFile>
#include <QMetaObject>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <mutex>
#include <optional>

namespace zarvo {

struct GifLoader::State
{
    std::atomic<bool> cancelled { false };
    std::mutex mutex;
    QList<Frame> pending; // under mutex
    std::optional<Result> result; // under mutex; set last
    bool deliveryPosted = false; // under mutex
};

GifLoader::GifLoader(QObject* parent)
    : QObject(parent)
{
}

GifLoader::~GifLoader()
{
    cancel();
}

void GifLoader::start(const QString& path)
{
    cancel();
    auto state = std::make_shared<State>();
    m_state = state;
    QPointer<GifLoader> self(this);
    // Asks the loader's thread to take what the worker has queued, once per batch.
    const auto post = [state, self] {
        {
            std::lock_guard lock(state->mutex);
            if (state->deliveryPosted)
                return;
            state->deliveryPosted = true;
        }
        if (self)
            QMetaObject::invokeMethod(self.data(), &GifLoader::deliver, Qt::QueuedConnection);
    };
    m_worker = QtConcurrent::run([state, path, post] {
        Result result;
        result.path = path;
        QFile file(path);
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.readAll();
            result.readable = file.error() == QFileDevice::NoError;
        }
        result.fileSize = bytes.size();
        if (result.readable) {
            result.animation = std::make_shared<const GifAnimation>(GifAnimation::decode(
                bytes,
                [&](int index, const GifFrame& frame) {
                    if (state->cancelled)
                        return false;
                    Frame made { index, frame.image, frameThumbnail(frame.image) };
                    {
                        std::lock_guard lock(state->mutex);
                        state->pending.append(std::move(made));
                    }
                    post();
                    return true;
                },
                GifAnimation::kMaxFrameBytes, kListBytesPerFrame));
        }
        {
            std::lock_guard lock(state->mutex);
            state->result = std::move(result);
        }
        post();
    });
}

void GifLoader::cancel()
{
    if (!m_state)
        return;
    m_state->cancelled = true;
    m_worker.waitForFinished();
    m_state.reset();
}

void GifLoader::finish()
{
    if (!m_state)
        return;
    m_worker.waitForFinished();
    deliver();
}

void GifLoader::deliver()
{
    const std::shared_ptr<State> state = m_state;
    if (!state)
        return;
    QList<Frame> frames;
    std::optional<Result> result;
    {
        std::lock_guard lock(state->mutex);
        frames.swap(state->pending);
        state->deliveryPosted = false;
        // The result is taken only with the last frames, so finished() always comes last.
        if (state->result)
            result = std::move(state->result);
        state->result.reset();
    }
    if (result)
        m_state.reset();
    if (!frames.isEmpty())
        Q_EMIT framesReady(frames);
    if (result)
        Q_EMIT finished(*result);
}

} // namespace zarvo
