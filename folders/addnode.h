// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/nodeplacement.h"

#include <QModelIndex>

namespace zarvo {

class Workspace;

// The add command: asks for a new tree node's name and placement in the add dialog and adds it
// next to or under the selected node.
void btn_addfolderClick(Workspace& workspace);

// Adds the node the add dialog asked for next to or under `selected` (invalid in an empty tree;
// Cancel adds nothing). Group nodes: a sibling goes before the selected node (the first
// top-level node when there is none), a child becomes the last child. Folders likewise; a folder
// gets its table (a name any table has, in any letter case, is refused), is selected and opened;
// a folder whose table cannot be made is taken out again. The tree is saved in every case.
void AddTreeNode(Workspace& workspace, const NewNode& node, const QModelIndex& selected);

} // namespace zarvo
