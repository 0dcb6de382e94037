// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace zarvo {

class Workspace;

// The filter of the open-picture dialog, as the user reads it.
extern const char* const kOpenPictureFilter;

// The add command: pictures chosen in the open-picture dialog go into the open folder.
void btn_addfileClick(Workspace& workspace);

// Files dropped onto the main window go into the open folder: those whose extension, in lower
// case, is .png, .gif, .ico, .jpg, .jpeg, .bmp, .webp, .heic, .heif, .avif, .tif, .tiff or .jxl
// (the kinds the folder view shows; PictureKind::isShownExtension), in the order they were
// dropped; others (.emf and .wmf among them) are left out without a message.
void wmdropfiles(Workspace& workspace, const QStringList& paths);

// Adds the files to the open folder with the progress bar running from 0 to their number, then
// reloads the folder once and puts the progress bar back to 0. When some of them held bytes the
// store already had, a tip says how many.
void addFilesToOpenFolder(Workspace& workspace, const QStringList& paths);

} // namespace zarvo
