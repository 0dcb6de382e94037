// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/store.h"
#include "view/thumbnailpipeline.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace zarvo {

class ThumbnailCache;

// What a folder opening reads from the store for its thumbnail pipeline, row by row (job()):
//  - with a cache, each row's content key, from the fingerprints the store keeps, read a slice
//    at a time from the rows asked for; the pipeline reads the bytes only when the cache has no
//    thumbnail under that key. Rows without a fingerprint come with their bytes.
//  - the bytes, through the store's PictureReader. A reader that reads ahead (a server) is told
//    which rows will be read, in the pipeline's order: the rows the user sees (seen()), then
//    those after them, then those before; with a cache, only the rows whose fingerprint the
//    cache lacks, so that a cached picture's bytes are never read. When the user scrolls, the
//    reading ahead moves with the view.
// The rows are the folder's, in stored (rowid) order, or their first ones until extend(). Lives as
// long as the pipeline's run().
class FolderReading
{
public:
    FolderReading(
        Store& store, QString table, QList<PictureRow> rows, std::shared_ptr<ThumbnailCache> cache);
    ~FolderReading();
    FolderReading(const FolderReading&) = delete;
    FolderReading& operator=(const FolderReading&) = delete;

    // The pipeline's job for row i; throws what the store throws reading bytes it needs now.
    ThumbnailJob job(int i);
    // How row i is decoded (formatOfCome of its `Come`); Other: it is not shown.
    PictureFormat format(int i) const { return m_formats[size_t(i)]; }
    // From here on the folder's rows are `rows`, whose first ones must be the rows it had (an
    // opening starts its first rows before it has read the others); false, and nothing changed,
    // when they are not (the folder changed in between).
    bool extend(QList<PictureRow> rows);
    // The rows the user sees, first and last (first > last: none).
    void seen(int first, int last);
    // Statements the reading of bytes sent to a server, connecting not counted.
    qint64 roundTrips() const;

private:
    // The content key of row i, or empty.
    QByteArray content(int i);
    QByteArray read(int i);
    // Tells a reader that reads ahead the rows to come.
    void plan();
    // Sets m_formats, and without a cache m_needed, for the rows from index `from` on.
    void addFormats(qsizetype from);
    // Sets m_needed for the rows from index fromIndex on whose rowids lie in [fromRowid, toRowid],
    // by their fingerprints read and the cache.
    void markNeeded(qsizetype fromIndex, qint64 fromRowid, qint64 toRowid);

    Store& m_store;
    const QString m_table;
    QList<PictureRow> m_rows; // shared with the caller's list: read only through const access
    std::vector<PictureFormat> m_formats; // of each row
    std::shared_ptr<ThumbnailCache> m_cache;
    std::unique_ptr<PictureReader> m_reader;
    std::unordered_map<qint64, QByteArray> m_contentOfRow;
    std::map<qint64, qint64> m_fingerprinted; // rowid ranges whose fingerprints were read
    std::vector<bool> m_needed; // whose bytes will be read
    std::vector<bool> m_asked; // whose bytes were read
    int m_seenFirst = 0;
    int m_seenLast = -1;
};

} // namespace zarvo
