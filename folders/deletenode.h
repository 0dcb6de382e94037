// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

namespace zarvo {

class Workspace;

// Deletes the selected tree node after asking.
//
// A folder node (open or not) is one question; its table is dropped in one transaction together
// with the tree stream written without its node, and the node goes. The nodes under it (folders
// kept there by an earlier deletion, or given to it by hand) move up to its place: no folder
// table is left without its node. On failure nothing changes and the folder shows again if it
// was open.
//
// A group node is one question for the whole node, then a walk through everything under it that
// asks about each folder in walk order: a folder confirmed is dropped at once, in one transaction
// with the stored tree written without the folders dropped so far; a folder kept (or one that
// could not be dropped) moves, with everything under it, to the end of the children of the node
// shown above the group (the top level when there is none). The group goes at the end with what
// is still under it and the tree is saved, also when the walk stopped early. No popup announces
// a success.
void btn_delfolderClick(Workspace& workspace);

} // namespace zarvo
