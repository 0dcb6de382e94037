// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <variant>

namespace zarvo {

class Form1;
class Workspace;

// Which command a menu item, context-menu item or toolbar button runs. Commands on the store and
// the pictures take the workspace; the few that act on the window itself (help, minimise, exit,
// about) are the main window's own.
struct Route
{
    using WorkspaceCommand = void (*)(Workspace&);
    using WindowCommand = void (Form1::*)();

    const char* name; // the objectName of the action or button
    std::variant<WorkspaceCommand, WindowCommand> handler;
};

// Every route of the program, one per action or button name.
std::span<const Route> commandRoutes();

} // namespace zarvo
