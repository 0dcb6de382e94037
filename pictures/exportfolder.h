// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zarvo {

class Workspace;

// Exports every picture of the open folder, its stored bytes unchanged, into a directory chosen
// in the directory chooser: one file per picture, named by exportFileName(). An existing file is
// replaced only after the user agreed. Each file is written under a temporary name beside its
// target and renamed when complete, so an interruption never leaves a half file under a picture's
// name nor destroys the file it was to replace. A picture whose name is no safe file name, or
// that cannot be written, is skipped and counted; the export ends with the warning
// "有 N 个文件导出失败" when any was, with the success popup otherwise.
void menu_importallClick(Workspace& workspace);

// The export itself, into `directory`: returns how many pictures could not be written (declined
// overwrites are not counted). Throws when the folder cannot be read.
int exportFolder(Workspace& workspace, const QString& folder, const QString& directory);

} // namespace zarvo
