// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/workspace.h"

#include "store/foldertree.h"
#include "store/gbtext.h"
#include "store/logging.h"
#include "store/storelock.h"
#include "store/treeblob.h"
#include "view/folderreading.h"
#include "view/placeholderthumbnail.h"
#include "view/prompt.h"
#include "view/statustexts.h"
#include "view/thumbnailcache.h"
#include "view/thumbnailmodel.h"
#include "view/thumbnailpipeline.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QSocketNotifier>

#include <algorithm>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zarvo {

Workspace::Workspace(Prompt& prompt, FolderTree& tree, QItemSelectionModel& treeSelection,
    ThumbnailModel& items, QItemSelectionModel& itemSelection, QObject* parent)
    : QObject(parent)
    , m_prompt(prompt)
    , m_tree(tree)
    , m_treeSelection(treeSelection)
    , m_items(items)
    , m_itemSelection(itemSelection)
    , m_pipeline(std::make_unique<ThumbnailPipeline>())
{
    connect(&m_itemSelection, &QItemSelectionModel::selectionChanged, this,
        &Workspace::ListView1Change);
    connect(&m_items, &QAbstractItemModel::rowsInserted, this, &Workspace::ListView1Change);
    connect(&m_items, &QAbstractItemModel::modelReset, this, &Workspace::ListView1Change);
}

Workspace::~Workspace()
{
    // The models may go after this object; their last signals must not reach it.
    m_items.disconnect(this);
    m_itemSelection.disconnect(this);
}

// ---------------------------------------------------------------- the store

bool Workspace::openStore(const QString& name)
{
    m_clipboard.clear();
    Store::Opened opened = Store::open(name);
    if (opened.error == Store::OpenError::Missing) {
        m_prompt.popup(PopupKind::Warning, tr("数据库文件不存在!"));
        return false;
    }
    if (!opened.store) {
        m_prompt.popup(PopupKind::Warning, tr("数据库打开错误"));
        return false;
    }
    m_store = std::move(opened.store);
    m_lock = m_store->lock();
    try {
        m_store->listen();
    } catch (const std::exception& e) {
        qCDebug(lcView) << "other programs' changes cannot be followed:" << e.what();
    }
    watchNotifications();
    return true;
}

void Workspace::watchNotifications()
{
    const int socket = m_store ? m_store->notificationSocket() : -1;
    if (m_notifier && m_notifier->socket() == socket)
        return;
    m_notifier.reset();
    if (socket < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &Workspace::followChanges);
}

void Workspace::followChanges()
{
    if (!m_store)
        return;
    try {
        for (const Store::Notification& change : m_store->takeNotifications()) {
            if (change.tree)
                m_treeStale = true;
            else if (m_table1.open && equalsFoldingAsciiLetters(change.folder, m_table1.table))
                m_folderStale = true;
        }
    } catch (const std::exception& e) {
        qCDebug(lcView) << "reading other programs' changes failed:" << e.what();
    }
    // A lost connection drops its socket; the next command makes a new one.
    watchNotifications();
    if (m_commands > 0 || m_building)
        return;
    if (m_treeStale)
        reloadTreeKeepingSelection();
    if (m_folderStale)
        reloadFolderKeepingSelection();
}

void Workspace::reloadTreeKeepingSelection()
{
    const QPersistentModelIndex selected = selectedNode();
    const QString text
        = selected.isValid() ? FolderTree::nodeText(m_tree.itemFromIndex(selected)) : QString();
    m_treeStale = false;
    const bool conflict = std::exchange(m_treeConflict, false);
    if (loadTree() && !text.isEmpty()) {
        QStandardItem* again = nullptr;
        m_tree.forEachNode([&](QStandardItem* node) {
            if (!again && FolderTree::nodeText(node) == text)
                again = node;
        });
        if (again)
            selectNode(m_tree.indexOfNode(again));
    }
    if (conflict)
        m_prompt.popup(
            PopupKind::Tip, tr("另一台电脑修改了文件夹, 已重新读取文件夹树; 刚才的操作没有执行"));
}

void Workspace::reloadFolderKeepingSelection()
{
    m_folderStale = false;
    const QStringList names = selectedNames();
    try {
        reloadFolder();
    } catch (const std::exception& e) {
        // The folder is gone or cannot be read: the view shows what could be built.
        qCDebug(lcView) << "reading the changed folder again failed:" << e.what();
        return;
    }
    QList<int> rows;
    for (int row = 0; row < m_table1.rows.size(); ++row)
        if (names.contains(m_table1.rows.at(row).name))
            rows.append(row);
    if (!rows.isEmpty())
        selectRows(rows);
}

bool Workspace::ensureFingerprints(bool quietly)
{
    if (!m_store)
        return false;
    try {
        if (m_store->hasFingerprints())
            return true;
        m_prompt.beginWork(tr("正在为图片计算指纹 (只需一次)"));
        const bool built = m_store->buildFingerprints(
            [this](qint64 done, qint64 total) { return m_prompt.advanceWork(done, total); });
        m_prompt.endWork();
        return built;
    } catch (const std::exception& e) {
        m_prompt.endWork();
        qCDebug(lcView) << "fingerprinting the store failed:" << e.what();
        if (!quietly)
            m_prompt.popup(PopupKind::Warning, tr("图片指纹计算失败"));
        return false;
    }
}

void Workspace::closeStore()
{
    closeFolderTable();
    m_notifier.reset();
    m_store.reset();
    m_clipboard.clear();
}

// ---------------------------------------------------------------- the folder tree

bool Workspace::loadTree()
{
    if (!m_store)
        return false;
    m_treeLoaded = OpenBlob(*m_store, m_tree, m_prompt, &m_treeVersion);
    return m_treeLoaded;
}

bool Workspace::saveTree(const NodePredicate& leaveOut)
{
    if (!m_store)
        return false;
    if (!m_treeLoaded) {
        // The tree holds only what a failed load read: written back, it would strand every
        // folder that is missing from it.
        qCDebug(lcView) << "tree save refused: the tree was not loaded whole";
        m_prompt.popup(PopupKind::Warning, tr("树结构保存失败！"));
        return false;
    }
    if (m_treeStale)
        return false; // the stored tree is newer than this one: it is loaded again first
    try {
        qint64 version = m_treeVersion;
        if (m_store->saveTree(EncodeTreeStream(m_tree, leaveOut), m_treeVersion, &version)
            == Store::TreeSave::Conflict) {
            qCDebug(lcView) << "tree save refused: another program saved the tree meanwhile";
            m_treeStale = true;
            m_treeConflict = true;
            return false;
        }
        m_treeVersion = version;
        return true;
    } catch (const std::exception& e) {
        qCDebug(lcView) << "saving the tree failed:" << e.what();
        m_prompt.popup(PopupKind::Warning, tr("树结构保存失败！"));
        return false;
    }
}

QPersistentModelIndex Workspace::selectedNode() const
{
    const QModelIndexList selected = m_treeSelection.selectedIndexes();
    return selected.isEmpty() ? QPersistentModelIndex() : QPersistentModelIndex(selected.first());
}

void Workspace::selectNode(const QModelIndex& node)
{
    m_treeSelection.setCurrentIndex(node, QItemSelectionModel::ClearAndSelect);
}

// ---------------------------------------------------------------- the open folder

struct Workspace::Opening
{
    std::unique_ptr<FolderReading> reading;
    ThumbnailPipeline::Head head;
};

void Workspace::openFolderTable(QString table)
{
    closeFolderTable();
    // The pictures at the folder's top, which the view shows first, start while the folder's
    // other rows are read: thousands of them take milliseconds, in which the decoders could
    // finish a screenful of small pictures. Their bytes are held until they are decoded.
    constexpr qint64 kHeadBytes = 8 << 20;
    const int lookAhead = m_pipeline->lookAhead();
    const int screenful = m_screenful ? m_screenful() : 0;
    Opening opening;
    try {
        const QList<PictureRow> first = m_store->pictureRows(table,
            std::numeric_limits<qint64>::min(),
            std::clamp(screenful, lookAhead, std::max(lookAhead, ThumbnailPipeline::kBatchRows)));
        opening.reading
            = std::make_unique<FolderReading>(*m_store, table, first, m_pipeline->cache());
        // Without a cache each job carries its bytes, and its decode starts as soon as they are
        // read; with one, the jobs are looked up there together, and the bytes of those it lacks
        // are read as soon as it has answered.
        const bool cached = m_pipeline->cache() != nullptr;
        opening.head = m_pipeline->startHead({}, &ThumbnailModel::keptThumbnail);
        std::vector<std::pair<int, ThumbnailJob>> jobs;
        qint64 bytes = 0;
        for (int i = 0; i < int(first.size()); ++i) {
            bytes += first[i].size;
            if (i >= lookAhead && bytes > kHeadBytes)
                break;
            jobs.emplace_back(i, opening.reading->job(i));
            if (!cached)
                m_pipeline->addToHead(opening.head, std::exchange(jobs, {}));
        }
        m_pipeline->addToHead(opening.head, std::move(jobs));
        m_pipeline->readHead(opening.head);
    } catch (const std::exception& e) {
        // The opening reads them again, and fails there if it must.
        qCDebug(lcView) << "starting the first pictures of" << table << "failed:" << e.what();
    }
    m_table1.rows = readRows(table);
    m_table1.table = table;
    m_table1.open = true;
    if (!opening.reading || !opening.reading->extend(m_table1.rows)) {
        opening.head = {};
        opening.reading
            = std::make_unique<FolderReading>(*m_store, table, m_table1.rows, m_pipeline->cache());
    }
    table1AfterOpen(opening);
}

QList<PictureRow> Workspace::readRows(const QString& table)
{
    // From the store's name index when it has one: a few pages for thousands of rows.
    if (std::optional<QList<PictureRow>> indexed = m_store->indexedPictureRows(table))
        return *std::move(indexed);
    // Else a slice at a time, with the window's events in between: the rows of a folder of
    // thousands of pictures take longer than a frame. No command starts meanwhile.
    constexpr int kSliceRows = 500;
    QList<PictureRow> rows;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    m_building = true;
    try {
        for (;;) {
            const QList<PictureRow> slice = m_store->pictureRows(table,
                rows.isEmpty() ? std::numeric_limits<qint64>::min() : rows.last().rowid,
                kSliceRows);
            rows += slice;
            if (slice.size() < kSliceRows)
                break;
            if (QCoreApplication::instance()
                && sinceEvents.elapsed() >= ThumbnailPipeline::kYieldIntervalMs) {
                QCoreApplication::processEvents(
                    QEventLoop::ExcludeUserInputEvents, ThumbnailPipeline::kEventBudgetMs);
                sinceEvents.restart();
            }
        }
    } catch (...) {
        m_building = false;
        // A close request that came meanwhile waits for this.
        Q_EMIT folderBuilt();
        throw;
    }
    m_building = false;
    return rows;
}

void Workspace::closeFolderTable()
{
    const bool wasOpen = m_table1.open;
    m_table1 = Table1();
    if (wasOpen)
        table1AfterClose();
}

void Workspace::reloadFolder()
{
    if (m_table1.open)
        openFolderTable(m_table1.table);
}

void Workspace::table1AfterClose()
{
    m_items.clear();
}

void Workspace::showStatus(qint64 total, const QString& counts)
{
    Q_EMIT statusTextChanged(1, totalText(total));
    Q_EMIT statusTextChanged(2, counts);
}

void Workspace::setInputWhileBuilding(bool allowed)
{
    m_pipeline->setEventFlags(allowed ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void Workspace::setThumbnailPipeline(std::unique_ptr<ThumbnailPipeline> pipeline)
{
    pipeline->setEventFlags(m_pipeline->eventFlags());
    m_pipeline = std::move(pipeline);
}

void Workspace::table1AfterOpen(Opening& opening)
{
    const QList<PictureRow> rows = m_table1.rows;
    const QString table = m_table1.table;
    const int total = int(rows.size());
    Q_EMIT busyChanged(true);
    Q_EMIT progressStarted(total);

    // Every item and the counts at once, from the names and kinds alone (a row is counted by its
    // kind, before it is decoded); the thumbnails follow, those on screen first.
    FolderReading& reading = *opening.reading;
    FormatCounters counters;
    QStringList names;
    names.reserve(total);
    std::vector<int> itemOfRow(size_t(total), -1);
    std::vector<int> rowOfItem;
    rowOfItem.reserve(size_t(total));
    for (int i = 0; i < total; ++i) {
        const PictureFormat format = reading.format(i);
        if (format == PictureFormat::Other)
            continue;
        counters.count(format);
        itemOfRow[size_t(i)] = int(names.size());
        rowOfItem.push_back(i);
        names.append(rows[i].name);
    }
    m_items.reset(std::move(names));
    showStatus(total, counters.countText());

    // The content keys and the bytes the pipeline asks for (view/folderreading.h): bytes are
    // read only when the cache has no thumbnail for them, from a server in batches read ahead.
    const auto visibleRows = [&]() -> std::pair<int, int> {
        if (!m_visibleItems || rowOfItem.empty())
            return { 0, -1 };
        const auto [first, last] = m_visibleItems();
        const int lastItem = int(rowOfItem.size()) - 1;
        if (first > last || first > lastItem || last < 0)
            return { 0, -1 };
        const std::pair<int, int> seen { rowOfItem[size_t(std::max(first, 0))],
            rowOfItem[size_t(std::min(last, lastItem))] };
        reading.seen(seen.first, seen.second);
        return seen;
    };
    // The progress bar, once per row; painted with the events the pipeline lets through every
    // few dozen milliseconds.
    int delivered = 0;
    m_building = true;
    try {
        m_pipeline->run(
            total, [&](int i) { return reading.job(i); },
            [&](int i, const DecodedPicture& result) {
                ++delivered;
                const int item = itemOfRow[size_t(i)];
                if (item >= 0) {
                    if (result.ok()) {
                        m_items.setKeptThumbnail(item, result.image);
                    } else {
                        // The row stays: the user can still save, export or delete it.
                        m_items.setThumbnail(item, placeholderThumbnail());
                        m_prompt.popup(PopupKind::Warning,
                            tr("文件：%1 在读取时发生错误！").arg(rows[i].come));
                    }
                }
                Q_EMIT progressAdvanced(false);
            },
            m_visibleItems ? ThumbnailPipeline::VisibleFunction(visibleRows)
                           : ThumbnailPipeline::VisibleFunction(),
            &ThumbnailModel::keptThumbnail, std::move(opening.head));
        Q_EMIT progressEnded();
    } catch (const std::exception& e) {
        // A row that could not be read ends the building; it still counts as handled.
        qCDebug(lcView) << "building the folder view ended:" << e.what();
        if (delivered < total)
            Q_EMIT progressAdvanced(false);
    }
    m_building = false;
    Q_EMIT busyChanged(false);
    Q_EMIT folderBuilt();
    // Changes that arrived while the view was built are followed once the caller is done.
    if (m_treeStale || m_folderStale)
        QMetaObject::invokeMethod(this, &Workspace::followChanges, Qt::QueuedConnection);
}

void Workspace::forgetThumbnails(const QString& folder, const QStringList& names)
{
    if (!m_store)
        return;
    try {
        zarvo::forgetThumbnails(m_pipeline->cache().get(), *m_store, folder, names);
    } catch (const std::exception& e) {
        qCDebug(lcView) << "forgetting the thumbnails of" << folder << "failed:" << e.what();
    }
}

// ---------------------------------------------------------------- the selection

QList<int> Workspace::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : m_itemSelection.selectedIndexes())
        if (index.model() == &m_items && !index.parent().isValid() && index.column() == 0)
            rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList Workspace::selectedNames() const
{
    QStringList names;
    for (int row : selectedRows())
        names.append(m_items.name(row));
    return names;
}

void Workspace::selectAll()
{
    const int count = m_items.rowCount();
    if (count == 0)
        return;
    m_itemSelection.select(
        QItemSelection(m_items.index(0), m_items.index(count - 1)), QItemSelectionModel::Select);
}

void Workspace::selectRows(const QList<int>& rows)
{
    QItemSelection selection;
    for (int row : rows)
        selection.select(m_items.index(row), m_items.index(row));
    m_itemSelection.select(selection, QItemSelectionModel::ClearAndSelect);
}

void Workspace::ListView1Change()
{
    try {
        const QList<int> selected = selectedRows();
        if (!selected.isEmpty() && m_table1.open && m_store) {
            const std::optional<PictureRow> row
                = m_store->locate(m_table1.table, m_items.name(selected.first()));
            if (row) {
                m_table1.current = row;
                Q_EMIT hintChanged(true, pictureHint(row->name, row->come, row->size));
            }
        } else {
            Q_EMIT hintChanged(false, QString());
        }
    } catch (const std::exception& e) {
        qCDebug(lcView) << "locating the selected picture failed:" << e.what();
    }
}

} // namespace zarvo
