// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/pictureformat.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <vector>

namespace SQLite {
class Database;
}

namespace zarvo {

class Store;

// What a finished thumbnail is looked up by: the picture's content (XXH3-128 of its bytes and
// their length) and the kind its `Come` selects. The same bytes under another kind are another
// picture: PNG bytes stored as ".jpg" fail to decode every time, and are never looked up as the
// PNG they are.
struct ThumbnailKey
{
    QByteArray content; // the hash (16 bytes, or a server's 32), 8 bytes of length (little-endian)
    PictureFormat format = PictureFormat::Other;

    static ThumbnailKey of(PictureFormat format, const QByteArray& bytes);
    static QByteArray contentOf(const QByteArray& bytes);
    // The same from the content hash (contentHash()) and length of the bytes, as the store keeps
    // them in its fingerprints; empty when hash is not a content hash. A server's fingerprint
    // (SHA-256, 32 bytes) makes a key of its own, never equal to a content hash's: the same
    // picture has one entry per kind of store it was opened from.
    static QByteArray contentOf(const QByteArray& hash, qint64 size);
};

// Finished folder-view thumbnails kept between openings, and between Zarvo processes, in one
// SQLite file outside any store (by default $XDG_CACHE_HOME/zarvo/thumbnails.sqlite).
//
// An entry is the 150 x 150 thumbnail, stored losslessly (RGB, zstd), under its ThumbnailKey and
// Thumbnailer::kVersion; a thumbnail that find() gives back is the one that was stored, pixel
// for pixel. Entries are never stale: a changed picture has another key, and a change of the
// decoders raises Thumbnailer::kVersion. The file holds at most about limitBytes() of entries;
// the least recently found or stored go first
// (found: as of the next write).
//
// Nothing here ever fails to the caller: a cache that cannot be opened (read-only or missing
// directory, locked, another program's file), a disk that fills up, a busy writer in another
// process all mean "no entry" or "not stored". A damaged file, or one of another layout, is
// deleted and made anew, once per object; after a second failure the object stays unavailable.
// Two processes share the file safely (write-ahead log, short busy timeout).
//
// Thumbnails to store wait in memory as they are (sharing their pixels with the folder view) and
// are compressed and written together by flush(), which the folder view runs once a folder is
// complete, so that filling the cache does not slow the opening; once 128 MiB wait, store() asks
// its caller to flush (a decoding worker does so after it has delivered its row, so that the
// write holds up no row). flush() also writes which entries were found (for the
// least-recently-used order). forget() removes at once, waiting for a write in progress.
//
// Threads: every member is safe to call from any thread; one connection is shared under a lock,
// and encoding and decoding run outside it. The file is opened on first use.
class ThumbnailCache
{
public:
    static constexpr qint64 kDefaultLimitBytes = qint64(512) << 20;

    // A cache in the file at path; an empty path gives a cache that is never available.
    explicit ThumbnailCache(QString path, qint64 limitBytes = kDefaultLimitBytes);
    // Writes what waits.
    ~ThumbnailCache();
    ThumbnailCache(const ThumbnailCache&) = delete;
    ThumbnailCache& operator=(const ThumbnailCache&) = delete;

    // The file the program uses: $ZARVO_THUMBNAIL_CACHE when that is set (an empty value or
    // "off" turns the cache off: an empty result), else thumbnails.sqlite in the "zarvo"
    // directory of the user's cache location.
    static QString defaultPath();
    // A cache at defaultPath(), or null when it is turned off.
    static std::shared_ptr<ThumbnailCache> openDefault();

    const QString& path() const { return m_path; }
    qint64 limitBytes() const { return m_limitBytes; }
    // Whether the file could be opened (opens it when not tried yet).
    bool isAvailable();

    // The stored 150 x 150 Format_RGB32 thumbnail, or a null image.
    QImage find(const ThumbnailKey& key);
    // What the cache holds for each of `keys`, looked up together in one query: a thumbnail that
    // waits to be written as it is, a stored one still encoded (decode() gives it), or neither.
    struct Found
    {
        QImage waiting;
        QByteArray encoded;
        bool isEmpty() const { return waiting.isNull() && encoded.isEmpty(); }
    };
    std::vector<Found> findAll(const std::vector<ThumbnailKey>& keys);
    // Whether the cache holds each of `keys`, in one query that reads no thumbnail.
    std::vector<bool> contains(const std::vector<ThumbnailKey>& keys);
    // Keeps a 150 x 150 thumbnail (any other image is ignored). True when so much waits that the
    // caller should flush() soon.
    bool store(const ThumbnailKey& key, const QImage& thumbnail);
    void flush();
    // Removes every entry of this content, whatever its kind: for pictures that are deleted.
    void forget(const QByteArray& bytes);
    // The same by content key (ThumbnailKey::contentOf).
    void forgetContent(const QByteArray& content);

    // Entries and the bytes they take in the file, counting what waits to be written.
    qint64 entryCount();
    qint64 storedBytes();

    // The lossless form of a 150 x 150 thumbnail, and back (a null image for anything damaged).
    static QByteArray encode(const QImage& thumbnail);
    static QImage decode(const QByteArray& encoded);
    // The same in the entry's own Format_RGB888, without converting it.
    static QImage decodeRgb888(const QByteArray& encoded);

private:
    enum class State { Unopened, Open, Unavailable };

    bool ensureOpenLocked();
    // Looks `keys` up, under m_mutex: `waiting(i, thumbnail)` for each key whose thumbnail waits
    // to be written, then `stored(query, rows)` for each entry of the file that matches (the
    // columns `more` names follow content and kind). A failing file reads as holding nothing.
    template <typename Waiting, typename Stored>
    void lookUpLocked(const std::vector<ThumbnailKey>& keys, const char* more,
        const Waiting& waiting, const Stored& stored);
    void openLocked();
    void closeLocked();
    // The entries found and the thumbnails stored since the last write, taken under m_mutex.
    struct Batch;
    Batch takePendingLocked();
    // Entries [first, last) of batch.stored, and batch.used when `touch`, in one transaction.
    void writeLocked(const Batch& batch, qsizetype first, qsizetype last, bool touch);
    // After an engine error: damage rebuilds the file, other errors stop writing.
    void failedLocked(int errorCode);
    static QByteArray fullKey(const ThumbnailKey& key);

    struct Pending
    {
        ThumbnailKey key;
        QImage thumbnail;
    };

    const QString m_path;
    const qint64 m_limitBytes;
    // Held by a write from taking its batch until it is in the file, and by forget(), so that a
    // thumbnail being written cannot outlive the forgetting of its picture.
    std::mutex m_writeMutex;
    std::mutex m_mutex;
    State m_state = State::Unopened;
    bool m_writable = true;
    int m_rebuilds = 0;
    std::unique_ptr<SQLite::Database> m_db;
    QHash<QByteArray, Pending> m_pending; // by fullKey
    qint64 m_pendingBytes = 0; // of the waiting thumbnails' pixels
    std::vector<qint64> m_used; // rowids found since the last write
};

// Forgets the thumbnails of the pictures of `folder` named in names (A-Z case ignored, as the
// store compares them), or of every picture of it when names is empty: call it before those
// pictures or the folder are deleted. Forgets them by the store's fingerprints, which a server's
// openings look them up by, and reads the bytes only of pictures without one; a null cache does
// nothing; engine errors of the store propagate as they would from the deletion itself.
void forgetThumbnails(
    ThumbnailCache* cache, Store& store, const QString& folder, const QStringList& names = {});

} // namespace zarvo
