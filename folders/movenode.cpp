// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/movenode.h"

#include "store/foldertree.h"
#include "store/logging.h"
#include "view/workspace.h"

namespace zarvo {

namespace {

// Makes `node` the last child of `parent` (null: the top level), unless that puts it under itself.
// Returns whether it moved.
bool moveToEnd(Workspace& workspace, QStandardItem* node, QStandardItem* parent)
{
    if (!workspace.tree().moveNode(node, parent))
        return false;
    workspace.selectNode(node->index());
    return true;
}

} // namespace

void MoveTreeNode(Workspace& workspace, const QModelIndex& nodeIndex,
    const QModelIndex& targetIndex, const QModelIndex& topIndex)
{
    FolderTree& tree = workspace.tree();
    QStandardItem* node = nodeIndex.isValid() ? tree.itemFromIndex(nodeIndex) : nullptr;
    if (!node)
        return;
    if (!targetIndex.isValid()) {
        QStandardItem* top = topIndex.isValid() ? tree.itemFromIndex(topIndex) : tree.item(0);
        if (!top || top == node)
            return;
        QStandardItem* parent = FolderTree::parentNode(top);
        if (moveToEnd(workspace, node, parent) && parent)
            workspace.expandNode(parent->index(), false);
        return;
    }
    QStandardItem* target = tree.itemFromIndex(targetIndex);
    if (!FolderTree::isGroup(target) || target == node || target == FolderTree::parentNode(node))
        return;
    // The index may belong to the row that is about to move; take it again afterwards.
    const QPersistentModelIndex targetKept(targetIndex);
    moveToEnd(workspace, node, target);
    workspace.expandNode(targetKept, true);
}

void tree1DragDrop(Workspace& workspace, const QModelIndex& target, const QModelIndex& topItem)
{
    try {
        MoveTreeNode(workspace, workspace.selectedNode(), target, topItem);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "moving a tree node failed:" << e.what();
    }
    try {
        workspace.saveTree();
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "saving the tree after a drop failed:" << e.what();
    }
}

} // namespace zarvo
