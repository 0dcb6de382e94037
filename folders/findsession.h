// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/foldertree.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QStringList>

namespace zarvo {

class Prompt;
class Store;
class Workspace;

// What a search looks for: pictures by name in every table (0), or tree nodes by name (1).
enum class SearchKind {
    Files = 0,
    Nodes = 1,
};

// Whether `candidate` holds `text` anywhere, only the letters A-Z folded.
bool searchMatches(const QString& text, const QString& candidate);

// The result lines of a file search: for each table in order and each of its rows in order whose
// `Name` matches, "文件夹: " + table + "  -> 文件名:" + name. Reads names only, from the tables'
// name indexes, never the pictures' bytes, every table's together (on a server a query per
// table would cost a round trip each); a table that cannot be read is skipped.
QStringList FindFiles(Store& store, const QStringList& tables, const QString& text);

// One use of the search window: the tables of the store (read once, in the store's order), a copy
// of the folder tree with its own selection, the kind, the visible result pane and the result
// lines. It holds no widget: the search window shows it and follows its signals. Searching never
// changes the main window, the workspace's tree or the store's folders and pictures (a table of an
// older store gets its name index on the first search). User-interface thread only.
class FindSession : public QObject
{
    Q_OBJECT
public:
    // Reads the table list and copies the workspace's tree: every node collapsed, none selected.
    // The workspace must have its store open and outlive the session.
    FindSession(Workspace& workspace, SearchKind kind);

    SearchKind kind() const { return m_kind; }
    // Choosing a kind shows its pane: the result list for files, the tree copy for nodes.
    void setKind(SearchKind kind);
    // The pane shown: SearchKind::Files for the result list, SearchKind::Nodes for the tree copy.
    SearchKind pane() const { return m_pane; }

    const QStringList& tables() const { return m_tables; }
    const QStringList& results() const { return m_results; }
    FolderTree& treeCopy() { return m_treeCopy; }
    QItemSelectionModel& treeSelection() { return m_treeSelection; }

    // The search button. Refuses a text with the character of code 1, then one with a space (both
    // warnings), then an empty one (a tip, and the name box asks for the focus); otherwise runs
    // the search of the current kind.
    void search(const QString& text);

Q_SIGNALS:
    void paneChanged(SearchKind pane);
    void resultsChanged();
    // The name box should take the keyboard focus.
    void editFocusRequested();
    // A node of the tree copy was found and selected: its parent (if any) is to be expanded with
    // all its descendants, and the tree copy takes the focus.
    void nodeFound(const QModelIndex& node);

private:
    void findFiles(const QString& text);
    void findNode(const QString& text);
    void showPane(SearchKind pane);

    Prompt& m_prompt;
    Store& m_store;
    SearchKind m_kind;
    SearchKind m_pane;
    QStringList m_tables;
    QStringList m_results;
    FolderTree m_treeCopy;
    QItemSelectionModel m_treeSelection { &m_treeCopy };
};

// Opens the search window "查询" on a new session of the given kind and keeps nothing of it once
// the window is closed. Errors are swallowed.
void OpenSearchWindow(Workspace& workspace, SearchKind kind);
// The file search command (kind 0) and the node search command (kind 1).
void menu_findfileClick(Workspace& workspace);
void btn_findfolderClick(Workspace& workspace);

} // namespace zarvo
