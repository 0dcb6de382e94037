// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zarvo {

// Rules for names the user gives: tree nodes (group nodes and folders) and pictures.
namespace NameRules {

// Bytes a typed name may hold (GB18030 bytes, a Chinese character counting two).
constexpr int kMaxTypedBytes = 19;
// Bytes kept of a picture name made from a file name.
constexpr int kMaxPictureNameBytes = 20;

bool hasGroupMarker(const QString& name);
bool hasSpace(const QString& name);
// Line breaks and TABs cannot be typed into a name box, and would break the tree stream.
bool hasLineBreakOrTab(const QString& name);

// Why `name` cannot name a new folder (empty, too long, space, group marker, line break or TAB),
// in words for the user; empty when it can. Whether a table of that name exists is not checked.
QString folderNameProblem(const QString& name);

} // namespace NameRules

} // namespace zarvo
