// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/folderreading.h"

#include "imaging/picturekind.h"
#include "store/logging.h"
#include "view/thumbnailcache.h"

#include <QSet>

#include <algorithm>
#include <limits>

namespace zarvo {

FolderReading::FolderReading(
    Store& store, QString table, QList<PictureRow> rows, std::shared_ptr<ThumbnailCache> cache)
    : m_store(store)
    , m_table(std::move(table))
    , m_rows(std::move(rows))
    , m_cache(std::move(cache))
    , m_reader(store.pictureReader(m_table))
    , m_needed(size_t(m_rows.size()), false)
    , m_asked(size_t(m_rows.size()), false)
{
    addFormats(0);
    if (!m_cache)
        plan();
}

FolderReading::~FolderReading() = default;

ThumbnailJob FolderReading::job(int i)
{
    const PictureFormat format = m_formats[size_t(i)];
    if (format == PictureFormat::Other)
        return { format, QByteArray() };
    const QByteArray key = m_cache ? content(i) : QByteArray();
    if (key.isEmpty())
        return { format, read(i) };
    return { format, key, [this, i] { return read(i); } };
}

QByteArray FolderReading::read(int i)
{
    m_asked[size_t(i)] = true;
    return m_reader->read(m_rows.at(i).rowid);
}

bool FolderReading::extend(QList<PictureRow> rows)
{
    const qsizetype had = m_rows.size();
    if (rows.size() < had)
        return false;
    for (qsizetype i = 0; i < had; ++i) {
        const PictureRow& row = rows.at(i);
        const PictureRow& known = m_rows.at(i);
        if (row.rowid != known.rowid || row.name != known.name || row.come != known.come)
            return false;
    }
    m_rows = std::move(rows);
    m_needed.resize(size_t(m_rows.size()), false);
    m_asked.resize(size_t(m_rows.size()), false);
    addFormats(had);
    if (m_cache && m_reader->readsAhead()) {
        // The fingerprint slices read so far cover rows that were not there yet.
        for (const auto& [from, to] : m_fingerprinted)
            markNeeded(had, from, to);
    }
    plan();
    return true;
}

void FolderReading::addFormats(qsizetype from)
{
    m_formats.resize(size_t(m_rows.size()));
    for (qsizetype i = from; i < m_rows.size(); ++i) {
        m_formats[size_t(i)] = formatOfCome(m_rows.at(i).come);
        // Without a cache every picture is decoded, so every picture is read.
        if (!m_cache)
            m_needed[size_t(i)] = m_formats[size_t(i)] != PictureFormat::Other;
    }
}

void FolderReading::seen(int first, int last)
{
    if (first == m_seenFirst && last == m_seenLast)
        return;
    m_seenFirst = first;
    m_seenLast = last;
    plan();
}

qint64 FolderReading::roundTrips() const
{
    return m_reader->roundTrips();
}

QByteArray FolderReading::content(int i)
{
    const qint64 rowid = m_rows.at(i).rowid;
    auto range = m_fingerprinted.upper_bound(rowid);
    if (range == m_fingerprinted.begin() || (--range)->second < rowid) {
        constexpr int kSliceRows = 500;
        std::vector<PictureFingerprint> slice;
        try {
            slice = m_store.fingerprints(m_table,
                rowid > std::numeric_limits<qint64>::min() ? rowid - 1 : rowid, kSliceRows);
        } catch (const std::exception& e) {
            qCDebug(lcView) << "reading the fingerprints of" << m_table << "failed:" << e.what();
        }
        const qint64 end = slice.size() < size_t(kSliceRows) ? std::numeric_limits<qint64>::max()
                                                             : slice.back().rowid;
        m_fingerprinted[rowid] = end;
        for (const PictureFingerprint& print : slice)
            m_contentOfRow.emplace(print.rowid, ThumbnailKey::contentOf(print.hash, print.size));
        if (m_reader->readsAhead()) {
            markNeeded(0, rowid, end);
            plan();
        }
    }
    const auto found = m_contentOfRow.find(rowid);
    return found == m_contentOfRow.end() ? QByteArray() : found->second;
}

void FolderReading::markNeeded(qsizetype fromIndex, qint64 fromRowid, qint64 toRowid)
{
    // The rows whose bytes will be read: those without a fingerprint and those the cache lacks,
    // one row per content and kind.
    const auto first = std::max(m_rows.cbegin() + fromIndex,
        std::lower_bound(m_rows.cbegin(), m_rows.cend(), fromRowid,
            [](const PictureRow& row, qint64 id) { return row.rowid < id; }));
    std::vector<int> looked;
    std::vector<ThumbnailKey> keys;
    QSet<QByteArray> planned;
    for (auto row = first; row != m_rows.cend() && row->rowid <= toRowid; ++row) {
        const int r = int(row - m_rows.cbegin());
        const PictureFormat format = m_formats[size_t(r)];
        if (format == PictureFormat::Other)
            continue;
        const auto found = m_contentOfRow.find(row->rowid);
        if (found == m_contentOfRow.end() || found->second.isEmpty()) {
            m_needed[size_t(r)] = true;
        } else if (!planned.contains(found->second + char(format))) {
            planned.insert(found->second + char(format));
            looked.push_back(r);
            keys.push_back({ found->second, format });
        }
    }
    const std::vector<bool> held = m_cache->contains(keys);
    for (size_t k = 0; k < looked.size(); ++k)
        m_needed[size_t(looked[k])] = !held[k];
}

void FolderReading::plan()
{
    if (!m_reader->readsAhead())
        return;
    const int count = int(m_rows.size());
    const int first = std::max(0, m_seenFirst);
    const int last = std::min(count - 1, m_seenLast);
    QList<PictureRow> order;
    const auto add = [&](int from, int to) {
        for (int i = from; i < to; ++i)
            if (m_needed[size_t(i)] && !m_asked[size_t(i)])
                order.append(m_rows.at(i));
    };
    if (first <= last) {
        add(first, last + 1);
        add(last + 1, count);
        add(0, first);
    } else {
        add(0, count);
    }
    m_reader->expect(order);
}

} // namespace zarvo
