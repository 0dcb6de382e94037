// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

namespace zarvo {

class Workspace;

// A click (or Enter) on the selected tree node: a folder node opens its folder in the folder
// view, unless it is already open; a group node does nothing. A folder node whose table is
// missing asks whether to create it: Yes creates the table, announces it and opens it; No
// removes the node. The tree is saved after either answer.
void tree1Click(Workspace& workspace);

} // namespace zarvo
