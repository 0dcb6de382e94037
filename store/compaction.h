// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>

namespace zarvo {

class StoreLock;

// Compacts and checks the store file at storePath, the way the program does on every exit.
//  1. Hold the store exclusively (SQLite's exclusive lock), so that nobody can commit meanwhile.
//  2. When the free pages are less than a tenth of the file, there is nothing worth reclaiming:
//     only check the store (PRAGMA quick_check) and leave the file untouched.
//  3. Otherwise compact it (VACUUM INTO) into a new, uniquely named "~ACP" file in the directory
//     of the store's real file (a symlinked store is followed), give the copy the store's owner,
//     mode and extended attributes, check it (PRAGMA integrity_check) and sync it, and rename()
//     it over the real file, then sync the directory. The copy's write-back to disk starts while
//     it is being written, and its fsync() runs on a thread of its own while it is checked; the
//     rename waits for both. A crash at any moment leaves the old or the new store under the
//     name; nothing writes into the new file after the rename.
//  4. Where a rename would lose something (the store has several hard links, an owner the
//     process cannot give, an attribute that cannot be copied, or rename() itself fails), copy
//     the checked file back into the store file through SQLite's backup API instead: journaled,
//     so a crash mid-copy leaves the old store, and the file keeps its inode.
//  5. Delete the "~ACP" file. "~ACP" files that an earlier, killed compaction left beside the
//     store are deleted at the start (a running compaction keeps a lock on its own).
// Returns true when the store is healthy and compacted (or had nothing to reclaim). On any
// failure the store file is left as it was, no "~ACP" file stays behind, and the result is false.
//
// `lock` is the caller's lock on the store when it holds one (the program keeps its lock from
// start-up to after the compaction); without it the compaction takes the lock itself, holds it
// until it returns and fails when another program holds it. The lock stays on the old file
// after a rename: the new file under the name is complete by then, and the caller is exiting.
// Every connection of the caller to the store must be closed. The password is kept for the
// caller's sake; stores have none and it must be empty. Safe to call from a worker thread.
bool CompactStore(const QString& storePath, const QString& password,
    std::shared_ptr<StoreLock> lock = nullptr, QString* error = nullptr);

// Points in a compaction at which tests stop the process, to see that the store survives.
enum class CompactionStep {
    Copied, // the "~ACP" file is written, not yet checked
    Checked, // the "~ACP" file is checked, owned, synced: next comes the rename
    Replaced, // renamed over the store, the directory not yet synced
    CopyingBack, // the backup-API copy has written part of the store file
};
// For tests: a function called at each step (from the compacting thread); null to stop.
void SetCompactionStepHook(void (*hook)(CompactionStep));

} // namespace zarvo
