// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

namespace zarvo {

class Workspace;

// The commands of the picture clipboard (the workspace's PictureClipboard). Copy and cut keep the
// names of the selected pictures and their folder; paste copies those pictures, as they are then,
// into the open folder, asking before it gives a taken name an automatic one; after a cut, the
// pasted pictures leave their old folder and the clipboard is empty again.
void pop_copyClick(Workspace& workspace);
void pop_cutClick(Workspace& workspace);
void pop_pasteClick(Workspace& workspace);
// Selects every picture of the open folder.
void A2Click(Workspace& workspace);

} // namespace zarvo
