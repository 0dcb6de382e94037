// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

namespace zarvo {

class Prompt;
class Store;

struct AddedPicture
{
    QString path;
    QString name;
    qint64 rowid = 0;
    bool copy = false; // the same bytes were already stored (in any folder)
    QString folder;
    qint64 bytes = 0;
};

struct AddFilesResult
{
    QList<AddedPicture> added; // committed, in order
    int skipped = 0; // the user kept a taken name: not added
    int failed = 0; // missing, unreadable or refused by the store
    int duplicates = 0; // not added: the same bytes are stored (SameBytes::Skip...)
    int copies() const; // added pictures whose bytes were already stored
};

// What AddFiles does with a file whose bytes the store already holds (a fingerprint match
// confirmed byte for byte; a store without fingerprints holds none).
enum class SameBytes {
    Add, // add it all the same (marked as a copy)
    SkipAnywhere, // skip it when any folder holds those bytes
    SkipInFolder, // skip it when the target folder holds those bytes
};

// How AddFiles groups records into transactions. Each commit costs the store four fsyncs (journal,
// its header, directory, store), each a flush of the disk's cache, so records are committed
// together: a transaction ends once it
// holds `pictures` records or `bytes` of them, or was begun `time` ago, and before every
// question to the user (no store lock is held while the user thinks).
struct AddBatching
{
    int pictures = 256;
    qint64 bytes = qint64(128) << 20;
    std::chrono::milliseconds time { 2000 };
};

// Adds picture files to a folder table, one record per file, in order: `Name` from the file name,
// `Come` from the path, `Blob` the whole content. A record is in the folder table (uncommitted,
// in the same connection) before the next file is examined, so a later file of the same run with
// the same name counts as taken.
//
// A taken name leads to the question whether to rename automatically: Yes stores the picture
// under AutoRename's name, No skips the file. A missing file shows "文件 <path> 不存在,不能添加到
// 文件夹中"; a file that cannot be read or that the store refuses shows "文件 <path> 添加失败";
// the run goes on with the next file either way, and what was stored stays. When a transaction
// fails (a full disk, an I/O error), its records are tried again one per transaction, so each
// file is either committed or warned about.
//
// With a skipping `sameBytes`, each file is read and compared before its name is looked at, and
// a file whose bytes are stored is counted in `duplicates`, neither asked about nor added (a file
// added earlier in the same run counts as stored).
//
// `advance` is called once per path, whatever became of it. `committed` is called for each
// picture once the transaction holding it has committed (never before: a picture reported there
// survives a crash of the process), in order.
// The tip after adding `copies` pictures whose bytes the store already held.
QString sameBytesTip(int copies);

AddFilesResult AddFiles(Store& store, const QString& folder, const QStringList& paths,
    Prompt& prompt, const std::function<void()>& advance = {},
    const std::function<void(const AddedPicture&)>& committed = {},
    const AddBatching& batching = {}, SameBytes sameBytes = SameBytes::Add);

// A file and the folder table it goes into.
struct FileToAdd
{
    QString path;
    QString folder;
};

// AddFiles of files into several folders, in order, their records committed together across
// folders by the same limits. `advance` returning false stops the run after that file (what was
// added is committed).
AddFilesResult AddFilesToFolders(Store& store, const QList<FileToAdd>& files, Prompt& prompt,
    const std::function<bool()>& advance, const std::function<void(const AddedPicture&)>& committed,
    const AddBatching& batching, SameBytes sameBytes);

} // namespace zarvo
