// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zarvo {

class Prompt;
class Store;

struct AddedPicture
{
    QString path;
    QString name;
    qint64 rowid = 0;
};

struct AddFilesResult
{
    QList<AddedPicture> added;
    int skipped = 0; // the user kept a taken name: not added
    int failed = 0; // missing, unreadable or refused by the store
};

// Adds picture files to a folder table, one record per file, in order: `Name` from the file name,
// `Come` from the path, `Blob` the whole content. Each record is stored (and committed) before the
// next file is examined, so a later file of the same run with the same name counts as taken.
//
// A taken name leads to the question whether to rename automatically: Yes stores the picture
// under AutoRename's name, No skips the file. A missing file shows "文件 <path> 不存在,不能添加到
// 文件夹中"; a file that cannot be read or that the store refuses shows "文件 <path> 添加失败";
// the run goes on with the next file either way, and what was stored stays.
//
// `advance` is called once per path, whatever became of it.
AddFilesResult AddFiles(Store& store, const QString& folder, const QStringList& paths,
    Prompt& prompt, const std::function<void()>& advance = {});

} // namespace zarvo
