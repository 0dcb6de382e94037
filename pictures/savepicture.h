// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/picturekind.h"

#include <QByteArray>
#include <QString>

namespace zarvo {

class Workspace;

// The picture kind code of a stored picture, from the extension of its source path `Come`
// (PictureKind::ofCome): ".jpg" 1, ".jpeg" 2, ".bmp" 3, ".ico" 4, ".png" 5, ".gif" 6, ".emf" 7
// ... ".jxl" 15; 6 for an unknown extension or none.
int pictureKindCode(const QString& come);

// The extension a picture kind code appends (".jpg" ... ".jxl"); ".gif" for a code naming none.
// A kind's extension is the lower-cased extension of every `Come` of that kind.
QString kindExtension(int kind);

// Saves the picture `name` of folder table `table`, stored as `storedKind`, to a file the user
// picks in the save dialog (saveFilterFor: the six conversion targets and, for a stored kind
// after them, a seventh type for it; the stored kind preselected, the name proposed). The chosen
// type's extension is always appended; an existing file (or any symlink, which is replaced
// itself) is replaced only after the user agreed. The stored kind writes the stored bytes
// unchanged (a failure warns "文件 <path> 保存失败"); another kind converts them (metafiles drawn
// as the viewer draws them), with the success or the failure popup. Every file is written under a
// temporary name in the target directory and renamed when complete.
//
// `viewerBytes`: the stored bytes a viewer window kept. When the picture has left the store
// meanwhile (renamed, deleted, its folder gone), they are written unchanged, whatever type was
// chosen, with the tip that the file may not be right. Without them that case ends silently.
void SavePicture(Workspace& workspace, const QString& table, const QString& name, int storedKind,
    const QByteArray& viewerBytes = QByteArray());

// The folder view's "保存图片(&S)...": saves the first selected picture of the open folder.
void pop_saveClick(Workspace& workspace);

} // namespace zarvo
