// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/store.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

namespace zarvo {

// A folder's pictures read from a server ahead of the one who uses them: a thread with a
// connection of its own reads the given rows in batches (PgStore::readPictures, one round trip
// per batch of at most maxRows rows and maxBytes bytes) while the caller takes them one by one,
// in the rows' order, for example to decode them meanwhile. At most maxRows pictures and
// maxBytes bytes (plus one picture) wait to be taken; the reading pauses while they do.
class PgFolderStream
{
public:
    struct Picture
    {
        PictureRow row;
        QByteArray bytes;
    };

    PgFolderStream(const QString& uri, const QString& folder, QList<PictureRow> rows,
        int maxRows = 200, qint64 maxBytes = 64LL << 20);
    // Stops the reading (the rest is not sent) and waits for the thread.
    ~PgFolderStream();
    PgFolderStream(const PgFolderStream&) = delete;
    PgFolderStream& operator=(const PgFolderStream&) = delete;

    // The next picture, waiting for it; nothing once every row still in the folder was taken.
    // Throws what the reading failed with (PgStore::Error), once the pictures read before it
    // were taken.
    std::optional<Picture> next();
    // The round trips the reading made so far, connecting not counted.
    qint64 roundTrips() const;

private:
    void read(const QString& uri, const QString& folder, const QList<PictureRow>& rows);

    const int m_maxRows;
    const qint64 m_maxBytes;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Picture> m_waiting;
    qint64 m_waitingBytes = 0;
    qint64 m_roundTrips = 0;
    bool m_ended = false;
    bool m_stopping = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};

} // namespace zarvo
