// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/store.h"

#include "store/logging.h"
#include "store/pgpicturereader.h"
#include "store/pgstore.h"
#include "store/sqlitestore.h"
#include "store/storelock.h"

#include <algorithm>

namespace zarvo {

Store::~Store() = default;

bool Store::isServer(const QString& name)
{
    return PgStore::isUri(name);
}

Store::Opened Store::open(const QString& name, std::shared_ptr<StoreLock> lock)
{
    Opened result;
    if (PgStore::isUri(name)) {
        PgStore::Opened opened = PgStore::open(name);
        result.store = std::move(opened.store);
        result.detail = opened.detail;
        if (!result.store)
            result.error = OpenError::NoConnection;
        return result;
    }
    SqliteStore::Opened opened = SqliteStore::open(name, std::move(lock));
    result.store = std::move(opened.store);
    result.error = opened.error;
    result.detail = opened.detail;
    return result;
}

void Store::sortLargestFirst(QList<DuplicateGroup>& groups)
{
    std::stable_sort(
        groups.begin(), groups.end(), [](const DuplicateGroup& a, const DuplicateGroup& b) {
            if (a.size != b.size)
                return a.size > b.size;
            return a.pictures.size() > b.pictures.size();
        });
}

namespace {

// A file's pictures are read when asked: the file is at hand, reading ahead would gain nothing.
class BlobReader final : public PictureReader
{
public:
    BlobReader(Store& store, QString folder)
        : m_store(store)
        , m_folder(std::move(folder))
    {
    }
    QByteArray read(qint64 rowid) override { return m_store.readBlob(m_folder, rowid); }

private:
    Store& m_store;
    const QString m_folder;
};

} // namespace

std::unique_ptr<PictureReader> Store::pictureReader(const QString& folder)
{
    if (auto* server = dynamic_cast<PgStore*>(this))
        return std::make_unique<PgPictureReader>(*server, folder);
    return std::make_unique<BlobReader>(*this, folder);
}

QList<QStringList> Store::pictureNames(const QStringList& tables)
{
    QList<QStringList> names;
    names.reserve(tables.size());
    for (const QString& table : tables) {
        try {
            names.append(pictureNames(table));
        } catch (const std::exception& e) {
            qCDebug(lcStore) << "the names of table" << table << "are not read:" << e.what();
            names.append(QStringList());
        }
    }
    return names;
}

Store::Transaction::Transaction(Store& store)
    : m_store(&store)
{
    store.beginTransaction();
}

Store::Transaction::~Transaction()
{
    if (!m_done)
        m_store->rollbackTransaction();
}

void Store::Transaction::commit()
{
    m_store->commitTransaction();
    m_done = true;
}

} // namespace zarvo
