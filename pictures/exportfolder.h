// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

namespace zarvo {

class Prompt;
class Store;
class Workspace;

// What became of one picture of an export.
struct ExportedPicture
{
    enum class Outcome {
        Written,
        Declined, // a file was at its path and the user kept it
        NoFileName, // its name is no safe file name: nothing was written
        Failed, // it could not be read or written
    };
    QString name; // the picture's name
    QString path; // the file it was to be written to (empty for NoFileName)
    Outcome outcome = Outcome::Failed;
    QString error; // why it failed
};

struct ExportResult
{
    int written = 0;
    int declined = 0;
    int failed = 0; // NoFileName and Failed
};

// Exports every picture of a folder table, its stored bytes unchanged, into `directory`: one
// file per picture, in row order, named by exportFileName(). The one export of the program, used
// by the export command and by zarvoctl. When anything is at a picture's path (a file, or a
// symlink, even one pointing nowhere), `prompt` is asked whether to replace it; No keeps it.
// Each file is written by writeWholeFile(): an interruption never leaves a half file under a
// picture's name nor destroys the file it was to replace, and a symlink is replaced itself, never
// the file it points to. A picture whose name is no safe file name, or that cannot be read or
// written, is skipped and counted. `done` is called once per picture, in order. Throws when the
// folder cannot be read.
ExportResult exportFolder(Store& store, const QString& folder, const QString& directory,
    Prompt& prompt, const std::function<void(const ExportedPicture&)>& done = {});

// The export command: exports the open folder into a directory chosen in the directory chooser,
// asking before replacing a file. The export ends with the warning "有 N 个文件导出失败" when any
// picture could not be written (a declined overwrite is no failure), with the success popup
// otherwise.
void menu_importallClick(Workspace& workspace);

} // namespace zarvo
