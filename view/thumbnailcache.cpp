// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/thumbnailcache.h"

#include "imaging/thumbnailer.h"
#include "store/fingerprint.h"
#include "store/store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>
#include <zstd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace zarvo {

namespace {

constexpr int kSize = Thumbnailer::kSize;
constexpr int kPixelBytes = kSize * kSize * 3;
// Raise when the file's tables or the encoding of an entry change: older files are made anew.
constexpr int kLayoutVersion = 1;
constexpr char kMagic[4] = { 'Z', 'T', 1, 0 };
// zstd's fastest level: about 3x smaller than the pixels for photographs, far faster to
// encode than PNG and decoded in tens of microseconds.
constexpr int kZstdLevel = 1;
// Thumbnails to store wait in memory until a flush or until their pixels come to this much:
// about 1,900 thumbnails, so that a folder of a thousand pictures is written after it opened.
constexpr qint64 kPendingBytes = qint64(128) << 20;
// Compressed thumbnails written per transaction (some 150): a decoding worker that looks up or
// stores a thumbnail meanwhile waits for one such part at most, never for a whole flush.
constexpr qint64 kWritePartBytes = qint64(4) << 20;
// Another process writing holds the file this long at most before a write gives up.
constexpr int kBusyTimeoutMs = 250;

struct ZstdContexts
{
    ZSTD_CCtx* compress = ZSTD_createCCtx();
    ZSTD_DCtx* decompress = ZSTD_createDCtx();
    ~ZstdContexts()
    {
        ZSTD_freeCCtx(compress);
        ZSTD_freeDCtx(decompress);
    }
};

ZstdContexts& zstdContexts()
{
    thread_local ZstdContexts contexts;
    return contexts;
}

bool isDamage(int errorCode)
{
    const int primary = errorCode & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

void removeDatabaseFiles(const QString& path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QFile::remove(path + QStringLiteral("-journal"));
}

// Runs "SELECT content, kind<more> FROM thumbnail" over the entries of this decoder whose content
// is that of one of `wanted`'s keys (wanted: rows of keys by their full key, content and kind)
// and calls `each` with every entry that matches a key of its kind, and those rows.
template <typename Each>
void selectEntries(SQLite::Database& db, const char* more,
    const QMultiHash<QByteArray, size_t>& wanted, const std::vector<ThumbnailKey>& keys,
    const Each& each)
{
    QByteArray sql = QByteArray("SELECT content, kind") + more
        + " FROM thumbnail WHERE decoder = ? AND content IN (";
    for (qsizetype i = 0; i < wanted.size(); ++i)
        sql += i == 0 ? "?" : ",?";
    sql += ")";
    SQLite::Statement query(db, sql.constData());
    query.bind(1, Thumbnailer::kVersion);
    int parameter = 2;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        const QByteArray& content = keys[it.value()].content;
        query.bind(parameter++, content.constData(), int(content.size()));
    }
    while (query.executeStep()) {
        const SQLite::Column content = query.getColumn(0);
        const QByteArray full
            = QByteArray(static_cast<const char*>(content.getBlob()), content.getBytes())
            + char(query.getColumn(1).getInt());
        // Another kind's entry of the same content matches no key.
        const QList<size_t> rows = wanted.values(full);
        if (!rows.isEmpty())
            each(query, rows);
    }
}

} // namespace

QByteArray ThumbnailKey::contentOf(const QByteArray& bytes)
{
    return contentOf(contentHash(bytes), bytes.size());
}

QByteArray ThumbnailKey::contentOf(const QByteArray& hash, qint64 size)
{
    if ((hash.size() != 16 && hash.size() != 32) || size < 0)
        return {};
    QByteArray content = hash;
    const quint64 length = quint64(size);
    for (int i = 0; i < 8; ++i)
        content.append(char((length >> (8 * i)) & 0xff));
    return content;
}

ThumbnailKey ThumbnailKey::of(PictureFormat format, const QByteArray& bytes)
{
    return { contentOf(bytes), format };
}

ThumbnailCache::ThumbnailCache(QString path, qint64 limitBytes)
    : m_path(std::move(path))
    , m_limitBytes(limitBytes)
{
    if (m_path.isEmpty())
        m_state = State::Unavailable;
}

ThumbnailCache::~ThumbnailCache()
{
    flush();
    std::lock_guard lock(m_mutex);
    closeLocked();
}

QString ThumbnailCache::defaultPath()
{
    if (qEnvironmentVariableIsSet("ZARVO_THUMBNAIL_CACHE")) {
        const QString chosen = qEnvironmentVariable("ZARVO_THUMBNAIL_CACHE");
        return chosen == QLatin1String("off") ? QString() : chosen;
    }
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        return QString();
    return base + QStringLiteral("/zarvo/thumbnails.sqlite");
}

std::shared_ptr<ThumbnailCache> ThumbnailCache::openDefault()
{
    const QString path = defaultPath();
    return path.isEmpty() ? nullptr : std::make_shared<ThumbnailCache>(path);
}

bool ThumbnailCache::isAvailable()
{
    std::lock_guard lock(m_mutex);
    return ensureOpenLocked();
}

bool ThumbnailCache::ensureOpenLocked()
{
    if (m_state == State::Unopened)
        openLocked();
    return m_state == State::Open;
}

void ThumbnailCache::openLocked()
{
    m_state = State::Unavailable;
    for (;;) {
        try {
            if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
                return;
            m_db = std::make_unique<SQLite::Database>(m_path.toStdString(),
                SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE | SQLite::OPEN_NOMUTEX,
                kBusyTimeoutMs);
            SQLite::Database& db = *m_db;
            // Larger pages keep an entry in one or two of them; only takes effect on a new file.
            db.exec("PRAGMA page_size=16384");
            if (db.execAndGet("PRAGMA journal_mode=WAL").getString() != "wal") {
                closeLocked();
                return;
            }
            db.exec("PRAGMA synchronous=NORMAL");
            db.exec("PRAGMA journal_size_limit=16777216");
            int version = db.execAndGet("PRAGMA user_version").getInt();
            if (version != kLayoutVersion) {
                SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
                version = db.execAndGet("PRAGMA user_version").getInt();
                if (version != kLayoutVersion) {
                    db.exec("DROP TABLE IF EXISTS thumbnail");
                    db.exec(
                        "CREATE TABLE thumbnail (content BLOB NOT NULL, kind INTEGER NOT NULL,"
                        " decoder INTEGER NOT NULL, used INTEGER NOT NULL, size INTEGER NOT NULL,"
                        " pixels BLOB NOT NULL, PRIMARY KEY (content, kind, decoder))");
                    db.exec("CREATE INDEX thumbnail_used ON thumbnail (used, size)");
                    db.exec("PRAGMA user_version=" + std::to_string(kLayoutVersion));
                }
                transaction.commit();
            }
            // Reads a page of the table: a damaged file fails here rather than at the first find.
            db.execAndGet("SELECT count(*) FROM (SELECT 1 FROM thumbnail LIMIT 1)");
            m_state = State::Open;
            return;
        } catch (const SQLite::Exception& error) {
            closeLocked();
            if (!isDamage(error.getErrorCode()) || m_rebuilds >= 1)
                return;
            ++m_rebuilds;
            removeDatabaseFiles(m_path);
        } catch (const std::exception&) {
            closeLocked();
            return;
        }
    }
}

void ThumbnailCache::closeLocked()
{
    m_db.reset();
}

void ThumbnailCache::failedLocked(int errorCode)
{
    if (isDamage(errorCode) && m_rebuilds < 1) {
        ++m_rebuilds;
        closeLocked();
        removeDatabaseFiles(m_path);
        m_pending.clear();
        m_pendingBytes = 0;
        m_used.clear();
        m_state = State::Unopened;
        return;
    }
    if (isDamage(errorCode)) {
        closeLocked();
        m_state = State::Unavailable;
        return;
    }
    const int primary = errorCode & 0xff;
    // A busy writer elsewhere is passing; a full or read-only disk is not.
    if (primary != SQLITE_BUSY && primary != SQLITE_LOCKED)
        m_writable = false;
}

QByteArray ThumbnailCache::fullKey(const ThumbnailKey& key)
{
    return key.content + char(int(key.format));
}

QImage ThumbnailCache::find(const ThumbnailKey& key)
{
    QByteArray encoded;
    {
        std::lock_guard lock(m_mutex);
        const auto pending = m_pending.constFind(fullKey(key));
        if (pending != m_pending.constEnd()) {
            const QImage& waiting = pending->thumbnail;
            return waiting.format() == QImage::Format_RGB32
                ? waiting
                : waiting.convertToFormat(QImage::Format_RGB32);
        } else {
            if (!ensureOpenLocked())
                return QImage();
            try {
                SQLite::Statement query(*m_db,
                    "SELECT rowid, pixels FROM thumbnail WHERE content = ? AND kind = ? AND "
                    "decoder = ?");
                query.bind(1, key.content.constData(), int(key.content.size()));
                query.bind(2, int(key.format));
                query.bind(3, Thumbnailer::kVersion);
                if (!query.executeStep())
                    return QImage();
                const SQLite::Column pixels = query.getColumn(1);
                encoded = QByteArray(static_cast<const char*>(pixels.getBlob()), pixels.getBytes());
                m_used.push_back(query.getColumn(0).getInt64());
            } catch (const SQLite::Exception& error) {
                failedLocked(error.getErrorCode());
                return QImage();
            } catch (const std::exception&) {
                return QImage();
            }
        }
    }
    // A damaged entry reads as missing; storing the picture again replaces it.
    return decode(encoded);
}

template <typename Waiting, typename Stored>
void ThumbnailCache::lookUpLocked(const std::vector<ThumbnailKey>& keys, const char* more,
    const Waiting& waiting, const Stored& stored)
{
    QMultiHash<QByteArray, size_t> wanted; // by fullKey, of the keys not waiting to be written
    for (size_t i = 0; i < keys.size(); ++i) {
        const QByteArray full = fullKey(keys[i]);
        const auto pending = m_pending.constFind(full);
        if (pending != m_pending.constEnd())
            waiting(i, pending->thumbnail);
        else
            wanted.insert(full, i);
    }
    if (wanted.isEmpty() || !ensureOpenLocked())
        return;
    try {
        selectEntries(*m_db, more, wanted, keys, stored);
    } catch (const SQLite::Exception& error) {
        failedLocked(error.getErrorCode());
    } catch (const std::exception&) {
    }
}

std::vector<ThumbnailCache::Found> ThumbnailCache::findAll(const std::vector<ThumbnailKey>& keys)
{
    std::vector<Found> found(keys.size());
    if (keys.empty())
        return found;
    std::lock_guard lock(m_mutex);
    lookUpLocked(
        keys, ", rowid, pixels",
        [&](size_t i, const QImage& waiting) {
            found[i].waiting = waiting.format() == QImage::Format_RGB32
                ? waiting
                : waiting.convertToFormat(QImage::Format_RGB32);
        },
        [&](SQLite::Statement& query, const QList<size_t>& rows) {
            const SQLite::Column pixels = query.getColumn(3);
            const QByteArray encoded(static_cast<const char*>(pixels.getBlob()), pixels.getBytes());
            for (size_t row : rows)
                found[row].encoded = encoded;
            m_used.push_back(query.getColumn(2).getInt64());
        });
    return found;
}

std::vector<bool> ThumbnailCache::contains(const std::vector<ThumbnailKey>& keys)
{
    std::vector<bool> held(keys.size(), false);
    if (keys.empty())
        return held;
    std::lock_guard lock(m_mutex);
    lookUpLocked(
        keys, "", [&](size_t i, const QImage&) { held[i] = true; },
        [&](SQLite::Statement&, const QList<size_t>& rows) {
            for (size_t row : rows)
                held[row] = true;
        });
    return held;
}

bool ThumbnailCache::store(const ThumbnailKey& key, const QImage& thumbnail)
{
    if (thumbnail.size() != QSize(kSize, kSize))
        return false;
    std::lock_guard lock(m_mutex);
    if (!m_writable || !ensureOpenLocked())
        return false;
    const QByteArray full = fullKey(key);
    if (const auto old = m_pending.constFind(full); old != m_pending.constEnd())
        m_pendingBytes -= old->thumbnail.sizeInBytes();
    m_pendingBytes += thumbnail.sizeInBytes();
    m_pending.insert(full, Pending { key, thumbnail });
    return m_pendingBytes >= kPendingBytes;
}

struct ThumbnailCache::Batch
{
    QList<Pending> stored;
    std::vector<QByteArray> encoded; // of stored, in its order; empty where encoding failed
    std::vector<qint64> used;
};

ThumbnailCache::Batch ThumbnailCache::takePendingLocked()
{
    Batch batch;
    batch.stored = std::exchange(m_pending, {}).values();
    batch.used = std::exchange(m_used, {});
    m_pendingBytes = 0;
    return batch;
}

void ThumbnailCache::flush()
{
    std::lock_guard writing(m_writeMutex);
    Batch batch;
    {
        std::lock_guard lock(m_mutex);
        if (m_state != State::Open)
            return;
        batch = takePendingLocked();
    }
    if (batch.stored.isEmpty() && batch.used.empty())
        return;
    batch.encoded.reserve(size_t(batch.stored.size()));
    for (const Pending& entry : batch.stored)
        batch.encoded.push_back(encode(entry.thumbnail));
    qsizetype first = 0;
    do {
        if (first > 0) {
            // A lock is no queue: without a pause this thread would take it again before a
            // worker woken by its release gets to run.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        qsizetype last = first;
        for (qint64 bytes = 0; last < batch.stored.size() && bytes < kWritePartBytes; ++last)
            bytes += batch.encoded[size_t(last)].size();
        std::lock_guard lock(m_mutex);
        if (m_state != State::Open || !m_writable)
            return;
        writeLocked(batch, first, last, first == 0);
        first = last;
    } while (first < batch.stored.size());
}

void ThumbnailCache::writeLocked(const Batch& batch, qsizetype first, qsizetype last, bool touch)
{
    try {
        SQLite::Database& db = *m_db;
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        // A tick rather than a time: the order stays exact however fast writes follow each other.
        const qint64 now
            = db.execAndGet("SELECT coalesce(max(used), 0) + 1 FROM thumbnail").getInt64();
        SQLite::Statement update(db, "UPDATE thumbnail SET used = ? WHERE rowid = ?");
        for (const qint64 rowid : touch ? batch.used : std::vector<qint64>()) {
            update.bind(1, std::int64_t(now));
            update.bind(2, std::int64_t(rowid));
            update.exec();
            update.reset();
        }
        SQLite::Statement insert(db,
            "INSERT OR REPLACE INTO thumbnail (content, kind, decoder, used, size, pixels)"
            " VALUES (?, ?, ?, ?, ?, ?)");
        for (qsizetype i = first; i < last; ++i) {
            const ThumbnailKey& key = batch.stored[i].key;
            const QByteArray& encoded = batch.encoded[size_t(i)];
            if (encoded.isEmpty())
                continue;
            insert.bind(1, key.content.constData(), int(key.content.size()));
            insert.bind(2, int(key.format));
            insert.bind(3, Thumbnailer::kVersion);
            insert.bind(4, std::int64_t(now));
            insert.bind(5, std::int64_t(encoded.size()));
            insert.bindNoCopy(6, encoded.constData(), int(encoded.size()));
            insert.exec();
            insert.reset();
        }
        qint64 total = db.execAndGet("SELECT total(size) FROM thumbnail").getInt64();
        if (total > m_limitBytes) {
            // Down to nine tenths, so that the next few writes do not evict again.
            const qint64 target = m_limitBytes / 10 * 9;
            std::vector<qint64> evicted;
            SQLite::Statement oldest(db, "SELECT rowid, size FROM thumbnail ORDER BY used");
            while (total > target && oldest.executeStep()) {
                evicted.push_back(oldest.getColumn(0).getInt64());
                total -= oldest.getColumn(1).getInt64();
            }
            oldest.reset();
            SQLite::Statement remove(db, "DELETE FROM thumbnail WHERE rowid = ?");
            for (const qint64 rowid : evicted) {
                remove.bind(1, std::int64_t(rowid));
                remove.exec();
                remove.reset();
            }
        }
        transaction.commit();
    } catch (const SQLite::Exception& error) {
        failedLocked(error.getErrorCode());
    } catch (const std::exception&) {
        m_writable = false;
    }
}

void ThumbnailCache::forget(const QByteArray& bytes)
{
    forgetContent(ThumbnailKey::contentOf(bytes));
}

void ThumbnailCache::forgetContent(const QByteArray& content)
{
    std::lock_guard writing(m_writeMutex);
    std::lock_guard lock(m_mutex);
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it->key.content == content) {
            m_pendingBytes -= it->thumbnail.sizeInBytes();
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
    if (!ensureOpenLocked())
        return;
    try {
        SQLite::Statement remove(*m_db, "DELETE FROM thumbnail WHERE content = ?");
        remove.bind(1, content.constData(), int(content.size()));
        remove.exec();
    } catch (const SQLite::Exception& error) {
        failedLocked(error.getErrorCode());
    } catch (const std::exception&) {
    }
}

qint64 ThumbnailCache::entryCount()
{
    std::lock_guard lock(m_mutex);
    if (!ensureOpenLocked())
        return 0;
    try {
        return m_db->execAndGet("SELECT count(*) FROM thumbnail").getInt64() + m_pending.size();
    } catch (const std::exception&) {
        return 0;
    }
}

qint64 ThumbnailCache::storedBytes()
{
    flush();
    std::lock_guard lock(m_mutex);
    if (!ensureOpenLocked())
        return 0;
    try {
        return m_db->execAndGet("SELECT total(size) FROM thumbnail").getInt64();
    } catch (const std::exception&) {
        return 0;
    }
}

QByteArray ThumbnailCache::encode(const QImage& thumbnail)
{
    if (thumbnail.size() != QSize(kSize, kSize))
        return QByteArray();
    const QImage rgb = thumbnail.format() == QImage::Format_RGB888
        ? thumbnail
        : thumbnail.convertToFormat(QImage::Format_RGB888);
    QByteArray pixels(kPixelBytes, Qt::Uninitialized);
    for (int y = 0; y < kSize; ++y)
        std::memcpy(
            pixels.data() + qsizetype(y) * kSize * 3, rgb.constScanLine(y), size_t(kSize) * 3);
    const size_t bound = ZSTD_compressBound(size_t(kPixelBytes));
    QByteArray encoded(qsizetype(sizeof kMagic + bound), Qt::Uninitialized);
    std::memcpy(encoded.data(), kMagic, sizeof kMagic);
    const size_t written = ZSTD_compressCCtx(zstdContexts().compress,
        encoded.data() + sizeof kMagic, bound, pixels.constData(), size_t(kPixelBytes), kZstdLevel);
    if (ZSTD_isError(written))
        return QByteArray();
    encoded.truncate(qsizetype(sizeof kMagic + written));
    return encoded;
}

QImage ThumbnailCache::decode(const QByteArray& encoded)
{
    const QImage image = decodeRgb888(encoded);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

QImage ThumbnailCache::decodeRgb888(const QByteArray& encoded)
{
    if (encoded.size() <= qsizetype(sizeof kMagic)
        || std::memcmp(encoded.constData(), kMagic, sizeof kMagic) != 0)
        return QImage();
    const char* frame = encoded.constData() + sizeof kMagic;
    const size_t frameBytes = size_t(encoded.size()) - sizeof kMagic;
    if (ZSTD_getFrameContentSize(frame, frameBytes) != size_t(kPixelBytes))
        return QImage();
    QImage image(kSize, kSize, QImage::Format_RGB888);
    if (image.isNull())
        return QImage();
    // The image's rows are padded to four bytes; the entry's are not. One buffer per thread.
    thread_local std::vector<char> pixels = std::vector<char>(size_t(kPixelBytes));
    const size_t read = ZSTD_decompressDCtx(
        zstdContexts().decompress, pixels.data(), size_t(kPixelBytes), frame, frameBytes);
    if (ZSTD_isError(read) || read != size_t(kPixelBytes))
        return QImage();
    for (int y = 0; y < kSize; ++y)
        std::memcpy(image.scanLine(y), pixels.data() + qsizetype(y) * kSize * 3, size_t(kSize) * 3);
    return image;
}

void forgetThumbnails(
    ThumbnailCache* cache, Store& store, const QString& folder, const QStringList& names)
{
    if (!cache)
        return;
    const auto foldAscii = [](QString text) {
        for (QChar& c : text) {
            if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                c = QChar(c.unicode() + ('a' - 'A'));
        }
        return text;
    };
    QStringList wanted;
    for (const QString& name : names)
        wanted.append(foldAscii(name));
    constexpr int kSliceRows = 500;
    std::vector<PictureFingerprint> prints; // a slice of the folder's, from the row before
    size_t next = 0;
    for (const PictureRow& row : store.pictureRows(folder)) {
        if (!wanted.isEmpty() && !wanted.contains(foldAscii(row.name)))
            continue;
        while (next < prints.size() && prints[next].rowid < row.rowid)
            ++next;
        if (next == prints.size()) {
            prints = store.fingerprints(folder, row.rowid - 1, kSliceRows);
            next = 0;
        }
        if (next < prints.size() && prints[next].rowid == row.rowid) {
            cache->forgetContent(ThumbnailKey::contentOf(prints[next].hash, prints[next].size));
            continue;
        }
        cache->forget(store.readBlob(folder, row.rowid));
    }
}

} // namespace zarvo
