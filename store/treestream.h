// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <functional>

class QStandardItem;

namespace zarvo {

class FolderTree;

// Picks nodes of the tree: true for the nodes meant.
using NodePredicate = std::function<bool(const QStandardItem*)>;

// The tree stream: the folder tree as UTF-8 text, one line per node in pre-order, indented by
// one TAB per level and ended by CR LF (also after the last line). An empty tree is an empty
// stream.
QByteArray EncodeTreeStream(const FolderTree& tree);
// The same without the nodes `leaveOut` picks, each with everything under it.
QByteArray EncodeTreeStream(const FolderTree& tree, const NodePredicate& leaveOut);

// Replaces the tree's nodes with those of the stream. Lines end at CR, LF or CR LF, a NUL byte
// ends the text, and a last line without a line end counts. A line's level is the number of its
// leading TABs and spaces. Each node is placed relative to the one before it: at the same level
// as its sibling, one level deeper as its last child, shallower under the matching ancestor's
// parent. A line two or more levels deeper than the node before it makes the decoding fail; the
// nodes placed before it stay. Returns false on that failure.
bool DecodeTreeStream(const QByteArray& bytes, FolderTree& tree);

} // namespace zarvo
