// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/store.h"
#include "store/treestream.h"

#include <QList>
#include <QObject>
#include <QPersistentModelIndex>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QItemSelectionModel;
class QSocketNotifier;

namespace zarvo {

class FolderTree;
class Prompt;
class StoreLock;
class ThumbnailModel;
class ThumbnailPipeline;
class Viewers;

// The program's own picture clipboard; the system clipboard is never used. Copy and cut keep the
// names of the selected pictures and their folder; `cutflag` says the pictures leave that folder
// when they are pasted.
struct PictureClipboard
{
    QStringList copylist;
    QString copyfolder;
    bool cutflag = false;

    void clear() { *this = PictureClipboard(); }
};

// What every command works on: the store connection, the open folder (`table1`), the picture
// clipboard and the thumbnail pipeline, together with the folder tree, the folder view's items
// and the selections of both. It holds no widget: the main window displays the models it refers
// to and follows its signals, and tests drive commands against it without any window.
//
// Commands ask and tell the user only through `prompt()`. User-interface thread only.
class Workspace : public QObject
{
    Q_OBJECT
public:
    // The models and selections must outlive the workspace.
    Workspace(Prompt& prompt, FolderTree& tree, QItemSelectionModel& treeSelection,
        ThumbnailModel& items, QItemSelectionModel& itemSelection, QObject* parent = nullptr);
    ~Workspace() override;

    Prompt& prompt() const { return m_prompt; }
    FolderTree& tree() const { return m_tree; }
    ThumbnailModel& items() const { return m_items; }

    // --- the store ---
    // Opens the store named `name` (a file, whose lock it takes, or a server's connection URI).
    // On failure the warning "数据库文件不存在!" or "数据库打开错误" has gone to the prompt and
    // the result is false. On a server the workspace follows other programs' changes: a tree or
    // open folder another program changed is loaded again once no command runs (keeping the
    // selected node and pictures where they still are).
    bool openStore(const QString& name);
    // Null while no store is open.
    Store* store() const { return m_store.get(); }
    // Closes the open folder and the connection; the lock stays held until releaseLock(), so that
    // the exit compaction runs under it.
    void closeStore();
    std::shared_ptr<StoreLock> lock() const { return m_lock; }
    void releaseLock() { m_lock.reset(); }

    // Gives a store without fingerprints its fingerprints, in the wait window (cancelled: none
    // are kept, and the next call tries again). Whether the store has them afterwards. A failure
    // shows its warning unless `quietly` (the window's start, which works without them: a user
    // who may only read a server's store cannot build them, and is not told at every start).
    bool ensureFingerprints(bool quietly = false);

    // --- the folder tree ---
    // Loads the tree from the store. After a failed load (the warning has been shown) no save may
    // write the partial tree over the stored one until a load succeeds.
    bool loadTree();
    // Saves the tree; refused with the warning "树结构保存失败！" while the last load failed. Nodes
    // `leaveOut` picks are not written, with everything under them. Inside a transaction on the
    // store, the write is part of it. On a server, a tree another program saved since this one
    // was loaded is never overwritten: the save returns false (the command rolls back), and once
    // the command has ended the tree is loaded again with a tip that another computer changed
    // the folders.
    bool saveTree(const NodePredicate& leaveOut = {});
    bool isTreeLoaded() const { return m_treeLoaded; }
    // The selected tree node, invalid when none is.
    QPersistentModelIndex selectedNode() const;
    // Makes `node` the selected and current node.
    void selectNode(const QModelIndex& node);
    // Asks the tree's view to expand `node` (and, with `withDescendants`, everything below it).
    void expandNode(const QModelIndex& node, bool withDescendants)
    {
        Q_EMIT nodeExpanded(node, withDescendants);
    }

    // Whether the tree's view shows `node` expanded; every node counts as expanded until the view
    // answers through setExpansionQuery().
    bool isNodeExpanded(const QModelIndex& node) const
    {
        return !m_isExpanded || m_isExpanded(node);
    }
    void setExpansionQuery(std::function<bool(const QModelIndex&)> query)
    {
        m_isExpanded = std::move(query);
    }

    // --- the open folder (`table1`) ---
    bool isFolderOpen() const { return m_table1.open; }
    // The open folder's table name; empty while none is open.
    QString openFolder() const { return m_table1.open ? m_table1.table : QString(); }
    // The row `table1` stands on: the one the selection located last.
    std::optional<PictureRow> currentRow() const { return m_table1.current; }
    // Closes the open folder, binds `table1` to `table` and opens it, which builds the view.
    // Throws when the table cannot be read (the view then shows what was built).
    void openFolderTable(QString table); // a copy: closing the folder forgets its name
    // Closes the open folder; the view empties.
    void closeFolderTable();
    // Closes and opens the open folder again, rebuilding the view.
    void reloadFolder();
    // True while the view is being built: no command may start meanwhile.
    bool isBuilding() const { return m_building; }
    // The first and last item the folder view shows (first > last: none). Building the view
    // fills those items' thumbnails first, and asks again as it goes; without a query the
    // thumbnails come in row order.
    void setVisibleItemsQuery(std::function<std::pair<int, int>()> query)
    {
        m_visibleItems = std::move(query);
    }
    // How many items the folder view shows at a folder's top. Opening a folder starts that many
    // of its first thumbnails (within a few megabytes) while it reads the rest of its rows.
    void setScreenfulQuery(std::function<int()> query) { m_screenful = std::move(query); }
    // Whether building the view processes user input too, so that the user can scroll the folder
    // view meanwhile (commands still wait: canRunCommand() is false). Off at the start; the
    // window that turns it on keeps that input from everything but the folder view.
    void setInputWhileBuilding(bool allowed);
    // Replaces the thumbnail pipeline (tests give one with their own decoder).
    void setThumbnailPipeline(std::unique_ptr<ThumbnailPipeline> pipeline);

    // --- running commands ---
    // Whether a command may start now: a store is open and no folder is being opened (opening
    // one lets timers and repaints through, never a second command).
    bool canRunCommand() const { return m_store && !m_building; }
    // Runs `command` on this workspace when a command may start now; whether it ran. The one
    // way the window, its views and the viewer windows start a command.
    template <typename Command> bool run(Command&& command)
    {
        if (!canRunCommand())
            return false;
        struct Running
        {
            Workspace& workspace;
            explicit Running(Workspace& w)
                : workspace(w)
            {
                ++workspace.m_commands;
            }
            ~Running()
            {
                if (--workspace.m_commands == 0)
                    workspace.followChanges();
            }
            Running(const Running&) = delete;
            Running& operator=(const Running&) = delete;
        } running(*this);
        std::forward<Command>(command)(*this);
        return true;
    }
    // Takes in the changes other programs made to a shared store and, unless a command runs or a
    // folder is being opened, loads again what they changed. Called by itself when the store's
    // connection has news and after every command.
    void followChanges();

    // --- the folder view's selection ---
    // Rows of the selected pictures, in view order.
    QList<int> selectedRows() const;
    // Names of the selected pictures, in view order.
    QStringList selectedNames() const;
    void selectAll();
    // Selects exactly these rows.
    void selectRows(const QList<int>& rows);
    // Locates the first selected picture in `table1` and describes it in the view's hint.
    void ListView1Change();

    // Drops the cached thumbnails of the pictures of `folder` named in `names` (every picture of
    // it when empty), before they or the folder are deleted: a deleted picture leaves no
    // thumbnail behind. Never fails towards the caller.
    void forgetThumbnails(const QString& folder, const QStringList& names = {});

    // --- the picture clipboard ---
    PictureClipboard& clipboard() { return m_clipboard; }
    const PictureClipboard& clipboard() const { return m_clipboard; }

    // --- the status bar's progress, for commands that work through a list ---
    void startProgress(int steps) { Q_EMIT progressStarted(steps); }
    void advanceProgress() { Q_EMIT progressAdvanced(true); }
    void endProgress() { Q_EMIT progressEnded(); }

    // --- viewer windows: null until the program (or a test) provides them; not owned ---
    Viewers* viewers() const { return m_viewers; }
    void setViewers(Viewers* viewers) { m_viewers = viewers; }

Q_SIGNALS:
    // Panel 1 or 2 of the status bar shows `text`.
    void statusTextChanged(int panel, const QString& text);
    void progressStarted(int steps);
    // One step further; `paintNow` when no event loop will run before the next step.
    void progressAdvanced(bool paintNow);
    // Back to 0; the range stays.
    void progressEnded();
    // The folder view's hint: whether it shows, and its text.
    void hintChanged(bool enabled, const QString& text);
    void nodeExpanded(const QModelIndex& node, bool withDescendants);
    // Work that blocks the user runs (true) or has ended (false).
    void busyChanged(bool busy);
    // Building the folder view has ended.
    void folderBuilt();

private:
    struct Table1
    {
        bool open = false;
        QString table;
        QList<PictureRow> rows;
        std::optional<PictureRow> current;
    };

    // What an opening reads for its thumbnails, and the rows it started before reading the others.
    struct Opening;
    QList<PictureRow> readRows(const QString& table);
    void table1AfterOpen(Opening& opening);
    void table1AfterClose();
    void showStatus(qint64 total, const QString& counts);
    // Watches the store's notification socket (again, after the connection was made anew).
    void watchNotifications();
    void reloadTreeKeepingSelection();
    void reloadFolderKeepingSelection();

    Prompt& m_prompt;
    FolderTree& m_tree;
    QItemSelectionModel& m_treeSelection;
    ThumbnailModel& m_items;
    QItemSelectionModel& m_itemSelection;

    std::shared_ptr<StoreLock> m_lock; // kept after the store is closed, for the compaction
    std::unique_ptr<Store> m_store;
    Table1 m_table1;
    PictureClipboard m_clipboard;
    std::unique_ptr<ThumbnailPipeline> m_pipeline;
    bool m_treeLoaded = false; // no save before a load has succeeded
    qint64 m_treeVersion = 0; // the stored tree's version when it was loaded or saved
    bool m_treeStale = false; // another program changed the tree: load it again
    bool m_treeConflict = false; // ... and a save of ours was refused for it
    bool m_folderStale = false; // another program changed the open folder
    int m_commands = 0; // commands running (run() nests when a command starts another)
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_building = false;
    Viewers* m_viewers = nullptr;
    std::function<bool(const QModelIndex&)> m_isExpanded;
    std::function<std::pair<int, int>()> m_visibleItems;
    std::function<int()> m_screenful;
};

} // namespace zarvo
