// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/deletenode.h"

#include "store/foldertree.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <SQLiteCpp/Transaction.h>

#include <QSet>

namespace zarvo {

namespace {

const char* const kDeleteFailed = "文件夹删除时发生错误，没有能成功删除";

QStandardItem* ownerOf(QStandardItem* node)
{
    return node->parent() ? node->parent() : node->model()->invisibleRootItem();
}

// The node after `node` in walk order; with `intoChildren` false, the first one after
// everything under it.
QStandardItem* nextInWalk(QStandardItem* node, bool intoChildren)
{
    if (intoChildren && node->rowCount() > 0)
        return node->child(0);
    for (QStandardItem* n = node; n; n = n->parent()) {
        QStandardItem* owner = ownerOf(n);
        if (n->row() + 1 < owner->rowCount())
            return owner->child(n->row() + 1);
    }
    return nullptr;
}

// The node the tree shows right above `group`: the deepest last descendant of its previous
// sibling that is shown expanded, else its parent; none for the first top-level node.
QStandardItem* rescueNode(const Workspace& workspace, QStandardItem* group)
{
    if (group->row() == 0)
        return group->parent();
    QStandardItem* node = ownerOf(group)->child(group->row() - 1);
    while (node->rowCount() > 0 && workspace.isNodeExpanded(node->index()))
        node = node->child(node->rowCount() - 1);
    return node;
}

// Drops the folder table `name` in one transaction with the tree stored without the nodes
// `leaveOut` picks. The open folder is closed first when it shows that table.
bool dropFolder(Workspace& workspace, const QString& name, const NodePredicate& leaveOut)
{
    try {
        if (workspace.isFolderOpen() && workspace.openFolder() == name)
            workspace.closeFolderTable();
        // The cache keys thumbnails by content: forgetting needs the pictures, still there now.
        workspace.forgetThumbnails(name);
        SQLite::Transaction transaction(workspace.store()->database());
        workspace.store()->dropTable(name);
        if (!workspace.saveTree(leaveOut))
            return false;
        transaction.commit();
        return true;
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "dropping folder" << name << "failed:" << e.what();
        return false;
    }
}

void reopen(Workspace& workspace, const QString& name)
{
    try {
        workspace.openFolderTable(name);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "reopening folder" << name << "failed:" << e.what();
    }
}

void deleteFolderNode(Workspace& workspace, const QPersistentModelIndex& node, const QString& name)
{
    Prompt& prompt = workspace.prompt();
    if (!prompt.confirm(QStringLiteral("真的要删除文件夹: ") + name + QStringLiteral(" 吗?")))
        return;
    FolderTree& tree = workspace.tree();
    if (!node.isValid() || FolderTree::nodeText(tree.itemFromIndex(node)) != name)
        return; // the tree was loaded again while the question was open
    const bool shown = workspace.isFolderOpen() && workspace.openFolder() == name;
    const QStandardItem* item = tree.itemFromIndex(node);
    if (!dropFolder(workspace, name, [item](const QStandardItem* n) { return n == item; })) {
        prompt.popup(PopupKind::Warning, QString::fromUtf8(kDeleteFailed));
        if (shown)
            reopen(workspace, name);
        return;
    }
    tree.removeNode(tree.itemFromIndex(node));
}

// Moves `node`, with everything under it, to the end of `rescue`'s children (the top level when
// it is invalid).
void keep(Workspace& workspace, QStandardItem* node, const QPersistentModelIndex& rescue)
{
    FolderTree& tree = workspace.tree();
    const QList<QStandardItem*> row = ownerOf(node)->takeRow(node->row());
    QStandardItem* target
        = rescue.isValid() ? tree.itemFromIndex(rescue) : tree.invisibleRootItem();
    target->appendRow(row);
    if (rescue.isValid())
        workspace.expandNode(rescue, false);
}

// Asks about every folder under `group` (the group included, should it be a folder) in walk
// order. Returns false when the group itself was kept.
bool walkAndDrop(Workspace& workspace, const QPersistentModelIndex& group)
{
    FolderTree& tree = workspace.tree();
    Prompt& prompt = workspace.prompt();
    const int level = FolderTree::level(tree.itemFromIndex(group));
    const QPersistentModelIndex rescue(
        tree.indexOfNode(rescueNode(workspace, tree.itemFromIndex(group))));
    // Nodes whose tables are gone: they stay on screen until the group goes, but the stored tree
    // never names them again.
    QSet<const QStandardItem*> dropped;
    const NodePredicate leaveOut
        = [&dropped](const QStandardItem* n) { return dropped.contains(n); };
    QPersistentModelIndex current = group;
    while (current.isValid()) {
        QStandardItem* node = tree.itemFromIndex(current);
        QStandardItem* next = nextInWalk(node, true);
        if (!FolderTree::isGroup(node)) {
            const QString name = FolderTree::nodeText(node);
            const bool yes = prompt.confirm(
                QStringLiteral("真的要删除文件夹:") + name + QStringLiteral("吗?"));
            if (!current.isValid() || !group.isValid())
                return true; // the tree was loaded again while the question was open
            node = tree.itemFromIndex(current);
            next = nextInWalk(node, true);
            bool keepIt = !yes;
            if (yes) {
                const bool shown = workspace.isFolderOpen() && workspace.openFolder() == name;
                dropped.insert(node);
                if (!dropFolder(workspace, name, leaveOut)) {
                    // Its table is still there: the folder is kept rather than lose its node.
                    dropped.remove(node);
                    prompt.popup(PopupKind::Warning, QString::fromUtf8(kDeleteFailed));
                    if (shown)
                        reopen(workspace, name);
                    keepIt = true;
                }
            }
            if (keepIt) {
                const QPersistentModelIndex after(tree.indexOfNode(nextInWalk(node, false)));
                const bool groupKept = current == group;
                keep(workspace, node, rescue);
                if (groupKept)
                    return false;
                next = after.isValid() ? tree.itemFromIndex(after) : nullptr;
            }
        }
        if (!next || FolderTree::level(next) <= level)
            break;
        current = tree.indexOfNode(next);
    }
    return true;
}

void deleteGroupNode(Workspace& workspace, const QPersistentModelIndex& group)
{
    FolderTree& tree = workspace.tree();
    if (!workspace.prompt().confirm(
            QStringLiteral("真的要删除这个树结构吗?(其中可能有文件夹在里面)")))
        return;
    if (!group.isValid())
        return;
    bool removeGroup = true;
    if (tree.itemFromIndex(group)->rowCount() > 0) {
        try {
            removeGroup = walkAndDrop(workspace, group);
        } catch (const std::exception& e) {
            qCDebug(lcFolders) << "deleting a tree node stopped:" << e.what();
        }
    }
    if (removeGroup && group.isValid())
        tree.removeNode(tree.itemFromIndex(group));
    workspace.saveTree();
}

} // namespace

void btn_delfolderClick(Workspace& workspace)
{
    try {
        if (!workspace.store())
            return;
        FolderTree& tree = workspace.tree();
        const QPersistentModelIndex node = workspace.selectedNode();
        QStandardItem* item = node.isValid() ? tree.itemFromIndex(node) : nullptr;
        if (!item) {
            workspace.prompt().popup(
                PopupKind::Tip, QStringLiteral("请先选择你要删除的文件夹/树结构"));
            return;
        }
        const QString text = FolderTree::nodeText(item);
        const bool open = workspace.isFolderOpen() && text == workspace.openFolder();
        // A folder that is not open goes the same way; only a folder node given children by
        // hand in the stream is walked like a group.
        if (open || (!FolderTree::isGroup(item) && item->rowCount() == 0))
            deleteFolderNode(workspace, node, text);
        else
            deleteGroupNode(workspace, node);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "deleting a tree node failed:" << e.what();
    }
}

} // namespace zarvo
