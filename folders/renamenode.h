// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

namespace zarvo {

class Workspace;

// Renames the selected tree node, asking for the new name in the rename dialog.
//
// A group node only changes its text (its name may repeat) and the tree is saved. A folder
// renames its table in place, in one transaction together with the tree stream holding the
// node's new name: afterwards the table has every picture under the new name and the node shows
// it, or nothing changed. A name any table has, in any letter case, is refused; so is a name no
// table can have (the empty one), with the creation warning. After a rename the renamed folder
// is open; after a failure the folder that was open is open again.
void btn_editfolderClick(Workspace& workspace);

} // namespace zarvo
