// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QStandardItem;

namespace zarvo {

class FolderTree;
class Store;
class Workspace;

// Whether a file of that name is a picture an import takes: its extension is one of the store's
// picture kinds (the extensions a drop accepts) or .emf or .wmf, A-Z case ignored.
bool isImportablePicture(const QString& fileName);

// The node a path of display names separated by "/" leads to from the top level ("家/2024": the
// node 2024 under the top-level node 家), the first match at each level; null when none does.
QStandardItem* nodeAtPath(const FolderTree& tree, const QString& path);

struct ImportOptions
{
    bool keepDuplicates = false; // add files whose bytes are stored elsewhere all the same
    bool dryRun = false; // change nothing; count what would be done
};

struct ImportResult
{
    int added = 0; // pictures stored (dry run: that would be)
    int duplicates = 0; // picture files skipped because their bytes are stored
    int skipped = 0; // files that are no pictures, symbolic links, empty directories
    int failed = 0; // picture files not stored for an error, names that are not UTF-8 included
    QStringList failures; // each failure in words, in order
    qint64 bytes = 0; // bytes of the pictures added
    bool cancelled = false;
};

struct ImportHooks
{
    // Called once the directory has been read, with done 0, and after every picture file;
    // returning false cancels the import (what was committed stays).
    std::function<bool(qint64 done, qint64 total, qint64 bytes)> progress;
    // A picture is committed into `folder` as `name`.
    std::function<void(const QString& path, const QString& folder, const QString& name)> added;
    // A failure, in words, as it happens.
    std::function<void(const QString& failure)> failed;
    // Saves the tree into the store (inside the caller's transaction when one is open); false
    // when it could not. Without it nothing can be imported.
    std::function<bool()> saveTree;
};

// Imports the directory tree `dir` into the store, as a new node under `under` (null: the top
// level, at the end).
//
// A directory holding picture files (isImportablePicture) becomes a folder holding them; one
// holding only directories a group node; one holding both a group node whose first child is a
// folder of its own pictures, named after the directory. Directories without any picture below
// them, other files and symbolic links (never followed) are skipped and counted. A directory's
// name becomes a node name by the new-folder rules: spaces (and the characters no name may hold)
// become "_", a longer name is cut to 19 bytes at a character boundary, and a name any node of
// the tree (or, for a folder, any table) already has gets the first free suffix "(n)" that still
// fits. A file or directory whose name is not valid UTF-8 is not imported and counts as a failure.
// Picture names are formed as the add command forms them (a taken name is renamed
// automatically).
//
// Every node is made before any picture is added: all of them, tables and the saved tree, in one
// transaction (one at a time, each committed with its table, when that fails), so an interrupted
// import never leaves a table without its node; an interrupted import can leave folders still
// empty, which the next run fills. The pictures are committed together across folders (a few
// commits for thousands of small files), each reported once committed. Running the same import
// again reuses the nodes it made (same name, same kind, same place) and adds only what is missing:
// a file whose bytes are stored anywhere is skipped as a duplicate (with `keepDuplicates`, only
// when its folder holds them). The store must have its fingerprints (Store::buildFingerprints).
ImportResult importDirectory(Store& store, FolderTree& tree, QStandardItem* under,
    const QString& dir, const ImportOptions& options, const ImportHooks& hooks);

// The import command: asks for a directory and imports it under the selected group node (the top
// level when no group node is selected) in the wait window, which can cancel it. Ends with one
// popup of kind 222: pictures added, duplicates skipped, other files skipped, failures, and the
// first few failures.
void menu_importClick(Workspace& workspace);

} // namespace zarvo
