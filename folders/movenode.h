// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QModelIndex>

namespace zarvo {

class Workspace;

// Moves `node` of the workspace's tree by the drop rules; only the tree changes, never a folder
// table, and nothing is saved here.
//  - No target (a drop on empty space): the node becomes the last sibling of `topItem`, the node
//    in the top row of the tree's visible area (invalid: the first top-level node, as in a tree
//    that is not scrolled). When the node is the top item itself, nothing moves.
//  - A folder node as target, the node's own parent, or the node itself: nothing moves.
//  - Otherwise the node becomes the last child of the target, which is then expanded with all
//    its descendants.
// A node never goes under itself or one of its descendants: such a move leaves the tree as it
// was (a target below the node is still expanded). A moved node keeps its text, kind and
// children, so a folder node keeps its folder table; it stays selected, and its new parent is
// expanded. An invalid node moves nothing.
void MoveTreeNode(Workspace& workspace, const QModelIndex& node, const QModelIndex& target,
    const QModelIndex& topItem = QModelIndex());

// A drop of a tree node on the tree: moves the selected node onto `target` (invalid: the empty
// part of the tree, see MoveTreeNode) and saves the tree, whether anything moved or not. Errors
// are swallowed.
void tree1DragDrop(Workspace& workspace, const QModelIndex& target, const QModelIndex& topItem);

} // namespace zarvo
