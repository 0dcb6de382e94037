// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zarvo {

// What the tree offers a new node: an empty tree takes only a group node at the top level, a
// selected group node takes every placement, a selected folder only a sibling folder.
enum class NodeSituation {
    EmptyTree = 0,
    GroupSelected = 1,
    FolderSelected = 2,
};

// Where a new tree node goes, relative to the selected node. The numbers are the add dialog's
// placement codes.
enum class NodePlacement {
    SiblingGroup = 1,
    ChildGroup = 2,
    SiblingFolder = 3,
    ChildFolder = 4,
    Cancel = 5,
};

// The answer of the add dialog: the placement and the typed name (whatever was typed, also on
// Cancel).
struct NewNode
{
    NodePlacement placement = NodePlacement::Cancel;
    QString name;
};

inline bool isFolderPlacement(NodePlacement placement)
{
    return placement == NodePlacement::SiblingFolder || placement == NodePlacement::ChildFolder;
}

inline bool isSiblingPlacement(NodePlacement placement)
{
    return placement == NodePlacement::SiblingGroup || placement == NodePlacement::SiblingFolder;
}

} // namespace zarvo
