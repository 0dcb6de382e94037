// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>

namespace zarvo {

class StoreLock;

// Compacts and checks the store file at storePath, the way the program does on every exit:
//  1. hold the store exclusively, so that nobody can commit meanwhile;
//  2. compact it (VACUUM INTO) into a new, uniquely named "~ACP" file beside it;
//  3. check the copy (PRAGMA integrity_check);
//  4. copy it back into the store file through SQLite's backup API, which is journaled (a crash
//     mid-copy leaves the old store) and keeps the store file's inode, mode, owner and links;
//  5. delete the "~ACP" file.
// Returns true when the compacted copy has replaced the store's content. On any failure the store
// file is left as it was, no "~ACP" file stays behind, and the result is false.
//
// `lock` is the caller's lock on the store when it holds one (the program keeps its lock from
// start-up to after the compaction); without it the compaction takes the lock itself and fails
// when another program holds it. Every connection of the caller to the store must be closed.
// The password is kept for the caller's sake; stores have none and it must be empty.
// Safe to call from a worker thread.
bool CompactStore(const QString& storePath, const QString& password,
    std::shared_ptr<StoreLock> lock = nullptr, QString* error = nullptr);

} // namespace zarvo
