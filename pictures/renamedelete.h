// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

namespace zarvo {

class Workspace;

// Renames the one selected picture of the open folder, asking for the new name in the rename
// dialog; a name the folder already has (in any letter case, the picture's own included) is
// refused.
void btn_editfileClick(Workspace& workspace);

// Deletes the selected pictures of the open folder after asking; a picture that cannot be
// deleted is reported and the others still go.
void btn_delfileClick(Workspace& workspace);

// Deletes every picture of the open folder: asks, selects them all, then deletes the selection
// (which asks again).
void menu_delallClick(Workspace& workspace);

} // namespace zarvo
