// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/store.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace zarvo {

class PgStore;

// A folder opening's reader on a server (Store::pictureReader): a thread with a connection of
// its own reads the rows expect() names, in that order, in batches of at most maxRows rows and
// maxBytes bytes (PgStore::readPictures, one round trip each), while the caller decodes. A new
// batch is asked for while less than maxBytes wait to be taken, so at most about twice maxBytes
// wait. A row asked for that is neither waiting nor on its way goes to the front of the next
// batch, even when the waiting bytes are at their bound. When the reading fails (the connection
// breaks), the rows still to come are read from `store`, one at a time, as readBlob would.
class PgPictureReader final : public PictureReader
{
public:
    PgPictureReader(
        PgStore& store, QString folder, int maxRows = 200, qint64 maxBytes = 64LL << 20);
    // Stops the reading and waits for the thread; its connection goes back to `store` for the
    // next reader.
    ~PgPictureReader() override;

    bool readsAhead() const override { return true; }
    void expect(const QList<PictureRow>& rows) override;
    QByteArray read(qint64 rowid) override;
    qint64 roundTrips() const override;

private:
    void readAhead(std::unique_ptr<PgStore> connection);

    PgStore& m_store;
    const QString m_folder;
    const int m_maxRows;
    const qint64 m_maxBytes;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<PictureRow> m_plan; // to be read, in order
    std::unordered_map<qint64, QByteArray> m_waiting; // read, not yet taken
    std::unordered_set<qint64> m_onTheWay; // asked of the server, not yet arrived
    std::unordered_set<qint64> m_gone; // not in the folder any more
    qint64 m_waitingBytes = 0;
    bool m_urgent = false; // the caller waits for the plan's front
    bool m_stopping = false;
    bool m_failed = false;
    qint64 m_roundTrips = 0;
    qint64 m_ownTrips = 0; // of reads from `store` after a failure
    std::unique_ptr<PgStore> m_connection; // given back when the thread ends
    std::thread m_thread;
};

} // namespace zarvo
