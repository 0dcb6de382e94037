// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/pgpicturereader.h"

#include "store/logging.h"
#include "store/pgstore.h"

#include <algorithm>
#include <limits>

namespace zarvo {

PgPictureReader::PgPictureReader(PgStore& store, QString folder, int maxRows, qint64 maxBytes)
    : m_store(store)
    , m_folder(std::move(folder))
    , m_maxRows(qMax(1, maxRows))
    , m_maxBytes(maxBytes)
{
    m_thread = std::thread([this, connection = store.takeReaderConnection()]() mutable {
        readAhead(std::move(connection));
    });
}

PgPictureReader::~PgPictureReader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
    if (m_connection)
        m_store.keepReaderConnection(std::move(m_connection));
}

void PgPictureReader::expect(const QList<PictureRow>& rows)
{
    {
        const std::lock_guard lock(m_mutex);
        m_plan.clear();
        // What waits beyond the first two batches' worth of the new order goes: the order has
        // moved elsewhere (the user scrolled), and it would hold the reading up.
        std::unordered_set<qint64> kept;
        qint64 ahead = 0;
        for (const PictureRow& row : rows) {
            const bool waiting = m_waiting.count(row.rowid) != 0;
            if (ahead < 2 * m_maxBytes && (waiting || m_onTheWay.count(row.rowid) != 0))
                kept.insert(row.rowid);
            else if (!m_onTheWay.count(row.rowid) && !m_gone.count(row.rowid))
                m_plan.push_back(row);
            if (waiting && !kept.count(row.rowid)) {
                m_waitingBytes -= m_waiting[row.rowid].size();
                m_waiting.erase(row.rowid);
            }
            ahead += row.size;
        }
        m_urgent = false;
    }
    m_changed.notify_all();
}

QByteArray PgPictureReader::read(qint64 rowid)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (const auto found = m_waiting.find(rowid); found != m_waiting.end()) {
            QByteArray bytes = std::move(found->second);
            m_waiting.erase(found);
            m_waitingBytes -= bytes.size();
            lock.unlock();
            m_changed.notify_all();
            return bytes;
        }
        if (m_gone.count(rowid))
            throw PgStore::Error("the picture is no longer in its folder");
        if (m_failed)
            break;
        if (!m_onTheWay.count(rowid) && (m_plan.empty() || m_plan.front().rowid != rowid)) {
            PictureRow row;
            row.rowid = rowid;
            const auto planned = std::find_if(m_plan.begin(), m_plan.end(),
                [&](const PictureRow& r) { return r.rowid == rowid; });
            if (planned != m_plan.end()) {
                row = *planned;
                m_plan.erase(planned);
            }
            m_plan.push_front(row);
        }
        if (!m_onTheWay.count(rowid))
            m_urgent = true;
        m_changed.notify_all();
        m_changed.wait(lock);
    }
    // The reading failed: this row from the store's own connection, as readBlob reads it.
    lock.unlock();
    const qint64 before = m_store.roundTrips();
    QByteArray bytes = m_store.readBlob(m_folder, rowid);
    lock.lock();
    m_ownTrips += m_store.roundTrips() - before;
    return bytes;
}

qint64 PgPictureReader::roundTrips() const
{
    const std::lock_guard lock(m_mutex);
    return m_roundTrips + m_ownTrips;
}

void PgPictureReader::readAhead(std::unique_ptr<PgStore> connection)
{
    try {
        if (!connection) {
            PgStore::Opened opened = PgStore::open(m_store.uri());
            if (!opened.store)
                throw PgStore::Error(opened.detail.toStdString());
            connection = std::move(opened.store);
        }
        for (;;) {
            QList<PictureRow> batch;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] {
                    return m_stopping
                        || (!m_plan.empty() && (m_urgent || m_waitingBytes < m_maxBytes));
                });
                if (m_stopping)
                    break;
                m_urgent = false;
                qint64 bytes = 0;
                while (!m_plan.empty() && batch.size() < m_maxRows && bytes < m_maxBytes) {
                    const PictureRow row = m_plan.front();
                    m_plan.pop_front();
                    if (m_waiting.count(row.rowid) || m_onTheWay.count(row.rowid))
                        continue;
                    batch.append(row);
                    m_onTheWay.insert(row.rowid);
                    bytes += row.size;
                }
            }
            // readPictures wants the rows in stored order; they arrive in it.
            std::sort(batch.begin(), batch.end(),
                [](const PictureRow& a, const PictureRow& b) { return a.rowid < b.rowid; });
            // Round trips are counted before the rows they brought are handed over, so that a
            // reader that has had every row also counts every trip.
            qint64 counted = connection->roundTrips();
            const auto countTrips = [&] {
                const qint64 now = connection->roundTrips();
                m_roundTrips += now - counted;
                counted = now;
            };
            connection->readPictures(
                m_folder, batch,
                [&](const PictureRow& row, const QByteArray& bytes) {
                    {
                        const std::lock_guard lock(m_mutex);
                        countTrips();
                        if (m_stopping)
                            return false;
                        m_onTheWay.erase(row.rowid);
                        m_waiting[row.rowid] = bytes;
                        m_waitingBytes += bytes.size();
                    }
                    m_changed.notify_all();
                    return true;
                },
                m_maxRows, std::numeric_limits<qint64>::max());
            const std::lock_guard lock(m_mutex);
            countTrips();
            // What did not come is not in the folder any more.
            for (const PictureRow& row : std::as_const(batch)) {
                if (m_onTheWay.erase(row.rowid))
                    m_gone.insert(row.rowid);
            }
            m_changed.notify_all();
        }
    } catch (const std::exception& e) {
        qCDebug(lcStore) << "reading a folder ahead failed:" << e.what();
        connection.reset();
        const std::lock_guard lock(m_mutex);
        m_failed = true;
        m_onTheWay.clear();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_connection = std::move(connection);
    }
    m_changed.notify_all();
}

} // namespace zarvo
