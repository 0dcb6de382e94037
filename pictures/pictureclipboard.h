// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

namespace zarvo {

class Form1;

// The program's own picture clipboard (the main window's copylist, copyfolder and cutflag);
// the system clipboard is never used. Copy and cut keep the names of the selected pictures and
// their folder; paste copies those pictures, as they are then, into the open folder, asking
// before it gives a taken name an automatic one; after a cut, the pasted pictures leave their
// old folder and the clipboard is empty again.
void pop_copyClick(Form1& form);
void pop_cutClick(Form1& form);
void pop_pasteClick(Form1& form);
// Selects every picture of the open folder.
void A2Click(Form1& form);

} // namespace zarvo
