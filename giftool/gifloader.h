// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/gifanimation.h"

#include <QFuture>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace zarvo {

// Reads and decodes a GIF file for the GIF tool on a worker thread, so the window keeps
// painting: each frame's own image and its 150 x 150 thumbnail reach the window as they are
// decoded (framesReady, in order, batched), then the whole result (finished).
//
// Signals are delivered on the thread the loader lives on (the user-interface thread), only
// for the load started last: start() and cancel() drop whatever an earlier load still sends.
// The destructor cancels and waits for the worker, which stops after the frame it is decoding.
//
// Memory: the frames and their thumbnails together stay within GifAnimation::kMaxFrameBytes; a
// file with more frames than fit is shown with those that fit (status Truncated).
class GifLoader : public QObject
{
    Q_OBJECT

public:
    struct Frame
    {
        int index = 0;
        QImage image; // the frame's own image (GifFrame::image)
        QImage thumbnail; // frameThumbnail(image)
    };
    struct Result
    {
        QString path;
        bool readable = false; // the file could be read
        qint64 fileSize = 0;
        std::shared_ptr<const GifAnimation> animation; // set when readable
    };

    // What each frame's thumbnail keeps (its list icon shares the thumbnail's pixels).
    static constexpr qint64 kListBytesPerFrame = qint64(150) * 150 * 4;

    explicit GifLoader(QObject* parent = nullptr);
    ~GifLoader() override;

    void start(const QString& path);
    // Stops the current load (waiting for its worker) without any further signal.
    void cancel();
    bool isLoading() const { return m_state != nullptr; }
    // Waits for the current load and delivers its remaining signals now.
    void finish();

Q_SIGNALS:
    void framesReady(const QList<zarvo::GifLoader::Frame>& frames);
    void finished(const zarvo::GifLoader::Result& result);

private:
    struct State;
    void deliver();

    std::shared_ptr<State> m_state;
    QFuture<void> m_worker;
};

} // namespace zarvo
