// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/treestream.h"

namespace zarvo {

class FolderTree;
class Popups;
class Store;

// Loads the folder tree from the first row of the tree table, creating the table when it is
// missing. On a damaged stream or a store error the warning "树结构读取失败！" goes to the popups
// and the tree keeps the nodes read so far. Returns whether the whole tree was read; `version`
// (when given) gets the version of the stored tree that was read.
bool OpenBlob(Store& store, FolderTree& tree, Popups& popups, qint64* version = nullptr);

// Writes the whole tree into the first row of the tree table. A failure shows the warning
// "树结构保存失败！" and returns false; the store then keeps the tree it had. Nodes `leaveOut`
// picks are not written (with everything under them). Inside a transaction of the caller's, the
// write becomes part of it.
bool SaveTree(
    Store& store, const FolderTree& tree, Popups& popups, const NodePredicate& leaveOut = {});

} // namespace zarvo
