// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/pgfolderstream.h"

#include "store/pgstore.h"

namespace zarvo {

PgFolderStream::PgFolderStream(
    const QString& uri, const QString& folder, QList<PictureRow> rows, int maxRows, qint64 maxBytes)
    : m_maxRows(qMax(1, maxRows))
    , m_maxBytes(maxBytes)
    , m_thread([this, uri, folder, rows = std::move(rows)] { read(uri, folder, rows); })
{
}

PgFolderStream::~PgFolderStream()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PgFolderStream::read(const QString& uri, const QString& folder, const QList<PictureRow>& rows)
{
    try {
        PgStore::Opened opened = PgStore::open(uri);
        if (!opened.store)
            throw PgStore::Error(opened.detail.toStdString());
        PgStore& store = *opened.store;
        const qint64 connecting = store.roundTrips();
        store.readPictures(
            folder, rows,
            [&](const PictureRow& row, const QByteArray& bytes) {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] {
                    return m_stopping
                        || (int(m_waiting.size()) < m_maxRows && m_waitingBytes < m_maxBytes);
                });
                if (m_stopping)
                    return false;
                m_waiting.push_back({ row, bytes });
                m_waitingBytes += bytes.size();
                m_roundTrips = store.roundTrips() - connecting;
                lock.unlock();
                m_changed.notify_all();
                return true;
            },
            m_maxRows, m_maxBytes);
        const std::lock_guard lock(m_mutex);
        m_roundTrips = store.roundTrips() - connecting;
    } catch (...) {
        const std::lock_guard lock(m_mutex);
        m_failure = std::current_exception();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_changed.notify_all();
}

std::optional<PgFolderStream::Picture> PgFolderStream::next()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return !m_waiting.empty() || m_ended; });
    if (m_waiting.empty()) {
        if (m_failure)
            std::rethrow_exception(m_failure);
        return std::nullopt;
    }
    Picture picture = std::move(m_waiting.front());
    m_waiting.pop_front();
    m_waitingBytes -= picture.bytes.size();
    lock.unlock();
    m_changed.notify_all();
    return picture;
}

qint64 PgFolderStream::roundTrips() const
{
    const std::lock_guard lock(m_mutex);
    return m_roundTrips;
}

} // namespace zarvo
