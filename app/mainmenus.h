// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

class QMainWindow;
class QMenu;
class QWidget;

namespace zarvo {

class ClickSounds;

// The main window's controls that start commands, each with its name, caption, picture and
// shortcut: the toolbar buttons, the main menu and the folder view's context menu. Every action
// is a child of the window. What they run is connected through the route table.

// The toolbar buttons on `panel`; hovering one plays the toolbar sound.
void buildToolbar(QWidget* panel, ClickSounds* sounds);
// The main menu of `window`; opening a menu plays the menu sound.
void buildMenus(QMainWindow& window, ClickSounds* sounds);
// The context menu `PopupMenu1` of the folder view, owned by `window`.
QMenu* buildPopupMenu(QWidget& window);

} // namespace zarvo
