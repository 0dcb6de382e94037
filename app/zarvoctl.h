// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

#include <cstdio>

namespace zarvo {

// zarvoctl: maintenance of a store from a shell (init, add, list, export, compact, import,
// duplicates). Results go
// to `out`, messages to `err`. Returns the exit status: 0 on success, 1 when the work failed
// in part or whole, 2 on a usage error. A store held by a running Zarvo is refused.
int runZarvoctl(const QStringList& arguments, std::FILE* out = stdout, std::FILE* err = stderr);

} // namespace zarvo
