// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QStandardItem;

namespace zarvo {

class Form1;

// The add command: asks for a new tree node's name and placement in the add dialog and adds it
// next to or under the selected node.
void btn_addfolderClick(Form1& form);

// Adds the node the add dialog asked for (code 1 to 4; 5 adds nothing) next to or under
// `selected` (null in an empty tree). Group nodes: 1 inserts before the selected node (the first
// top-level node when there is none), 2 appends a last child. Folders: 3 before, 4 last child;
// a folder gets its table (a name any table has, in any letter case, is refused), is selected and
// opened; a folder whose table cannot be made is taken out again. The tree is saved in every case.
void AddTreeNode(Form1& form, const QString& name, int code, QStandardItem* selected);

} // namespace zarvo
