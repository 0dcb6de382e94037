// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

namespace zarvo {

class PgStore;
class Store;

// Copying a whole store between a store file and a server: every folder table with its rows in
// order and their bytes unchanged, then the tree stream, byte for byte.
//
// The target carries a mark while a copy is unfinished: a table "transfer mark" (a name no
// folder can have, it holds a space) naming the source and, per folder, the rows copied so far.
// The rows are copied a batch per transaction together with the mark's count, so a copy that is
// stopped at any point and run again resumes where the last committed batch ended. The mark
// goes with the tree, in the copy's last transaction. A target that holds tables and no mark
// is refused unless `merge`: then the source's folders are added to it (pictures whose names
// are taken there are renamed "name(1)", "name(2)", ...), and the source's folders missing
// from the target's tree are appended at its top level.
struct TransferOutcome
{
    enum class Result {
        Done,
        NotEmpty, // the target holds tables, no mark, and merge was not asked for
        OtherMark, // the target's mark names another source
        Failed, // an error of either store; `detail` says which
    };
    Result result = Result::Failed;
    QString detail;
    int folders = 0;
    qint64 pictures = 0; // copied by this run
};

// Called after each committed batch: the folder and how many of its rows are in the target.
using TransferProgress = std::function<void(const QString& folder, qint64 rows)>;

TransferOutcome pushStore(Store& from, const QString& source, PgStore& to, bool merge,
    const TransferProgress& progress = {});
TransferOutcome pullStore(PgStore& from, const QString& source, Store& to, bool merge,
    const TransferProgress& progress = {});

} // namespace zarvo
