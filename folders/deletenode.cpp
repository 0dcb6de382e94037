// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/deletenode.h"

#include "store/foldertree.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QCoreApplication>
#include <QSet>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(DeleteNode)
};

const char* const kDeleteFailed
    = QT_TRANSLATE_NOOP("DeleteNode", "文件夹删除时发生错误，没有能成功删除");

// Drops the folder table `name` in one transaction with the tree stored without the nodes
// `leaveOut` picks. The open folder is closed first when it shows that table.
bool dropFolder(Workspace& workspace, const QString& name, const NodePredicate& leaveOut)
{
    try {
        if (workspace.isFolderOpen() && workspace.openFolder() == name)
            workspace.closeFolderTable();
        // The cache keys thumbnails by content: forgetting needs the pictures, still there now.
        workspace.forgetThumbnails(name);
        Store::Transaction transaction(*workspace.store());
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
    if (!prompt.confirm(Texts::tr("真的要删除文件夹: %1 吗?").arg(name)))
        return;
    FolderTree& tree = workspace.tree();
    if (!node.isValid() || FolderTree::nodeText(tree.itemFromIndex(node)) != name)
        return; // the tree was loaded again while the question was open
    const bool shown = workspace.isFolderOpen() && workspace.openFolder() == name;
    QStandardItem* item = tree.itemFromIndex(node);
    // The nodes under the folder move up to its place, stored so with the drop: a folder kept
    // under it by an earlier deletion never loses its node.
    QStandardItem* parent = FolderTree::parentNode(item);
    const int lifted = item->rowCount();
    for (int i = 0; i < lifted; ++i)
        tree.moveNode(item->child(0), parent, item->row() + 1 + i);
    if (!dropFolder(workspace, name, [item](const QStandardItem* n) { return n == item; })) {
        for (int i = 0; i < lifted; ++i)
            tree.moveNode(FolderTree::ownerOf(item)->child(item->row() + 1), item);
        prompt.popup(PopupKind::Warning, Texts::tr(kDeleteFailed));
        if (shown)
            reopen(workspace, name);
        return;
    }
    tree.removeNode(item);
}

// Moves `node`, with everything under it, to the end of `rescue`'s children (the top level when
// it is invalid).
void keep(Workspace& workspace, QStandardItem* node, const QPersistentModelIndex& rescue)
{
    FolderTree& tree = workspace.tree();
    tree.moveNode(node, rescue.isValid() ? tree.itemFromIndex(rescue) : nullptr);
    if (rescue.isValid())
        workspace.expandNode(rescue, false);
}

// Asks about every folder under `group` in walk order.
void walkAndDrop(Workspace& workspace, const QPersistentModelIndex& group)
{
    FolderTree& tree = workspace.tree();
    Prompt& prompt = workspace.prompt();
    const int level = FolderTree::level(tree.itemFromIndex(group));
    // The node shown above the group when the deletion begins.
    const QPersistentModelIndex rescue(tree.indexOfNode(
        FolderTree::nodeAbove(tree.itemFromIndex(group), [&workspace](const QStandardItem* n) {
            return workspace.isNodeExpanded(n->index());
        })));
    // Nodes whose tables are gone: they stay on screen until the group goes, but the stored tree
    // never names them again.
    QSet<const QStandardItem*> dropped;
    const NodePredicate leaveOut
        = [&dropped](const QStandardItem* n) { return dropped.contains(n); };
    QPersistentModelIndex current = group;
    while (current.isValid()) {
        QStandardItem* node = tree.itemFromIndex(current);
        QStandardItem* next = FolderTree::nextInWalk(node);
        if (!FolderTree::isGroup(node)) {
            const QString name = FolderTree::nodeText(node);
            const bool yes = prompt.confirm(Texts::tr("真的要删除文件夹:%1吗?").arg(name));
            if (!current.isValid() || !group.isValid())
                return; // the tree was loaded again while the question was open
            node = tree.itemFromIndex(current);
            next = FolderTree::nextInWalk(node);
            bool keepIt = !yes;
            if (yes) {
                const bool shown = workspace.isFolderOpen() && workspace.openFolder() == name;
                dropped.insert(node);
                if (!dropFolder(workspace, name, leaveOut)) {
                    // Its table is still there: the folder is kept rather than lose its node.
                    dropped.remove(node);
                    prompt.popup(PopupKind::Warning, Texts::tr(kDeleteFailed));
                    if (shown)
                        reopen(workspace, name);
                    keepIt = true;
                }
            }
            if (keepIt) {
                const QPersistentModelIndex after(
                    tree.indexOfNode(FolderTree::nextInWalk(node, false)));
                keep(workspace, node, rescue);
                next = after.isValid() ? tree.itemFromIndex(after) : nullptr;
            }
        }
        if (!next || FolderTree::level(next) <= level)
            break;
        current = tree.indexOfNode(next);
    }
}

void deleteGroupNode(Workspace& workspace, const QPersistentModelIndex& group)
{
    FolderTree& tree = workspace.tree();
    if (!workspace.prompt().confirm(Texts::tr("真的要删除这个树结构吗?(其中可能有文件夹在里面)")))
        return;
    if (!group.isValid())
        return;
    if (tree.itemFromIndex(group)->rowCount() > 0) {
        try {
            walkAndDrop(workspace, group);
        } catch (const std::exception& e) {
            qCDebug(lcFolders) << "deleting a tree node stopped:" << e.what();
        }
    }
    if (group.isValid())
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
            workspace.prompt().popup(PopupKind::Tip, Texts::tr("请先选择你要删除的文件夹/树结构"));
            return;
        }
        const QString text = FolderTree::nodeText(item);
        const bool open = workspace.isFolderOpen() && text == workspace.openFolder();
        // A folder that is not open goes the same way.
        if (open || !FolderTree::isGroup(item))
            deleteFolderNode(workspace, node, text);
        else
            deleteGroupNode(workspace, node);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "deleting a tree node failed:" << e.what();
    }
}

} // namespace zarvo
