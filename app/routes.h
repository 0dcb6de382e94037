// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <span>

namespace zarvo {

class Workspace;

// Which command a control runs, on the workspace (through Workspace::run). The few commands
// that act on the window itself (help, minimise, exit, about) are the main window's own table.
struct Route
{
    using Command = void (*)(Workspace&);

    const char* name; // the objectName of the control
    Command command;
};

// The routes of the menu items, context-menu items and toolbar buttons, one per action or
// button name.
std::span<const Route> commandRoutes();

// The routes of the views: the folder tree "tree1" (a node clicked, or Enter on it) and the
// folder view "ListView1" (a picture double-clicked).
std::span<const Route> viewRoutes();

} // namespace zarvo
