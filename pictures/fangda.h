// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>
#include <QStringList>

namespace zarvo {

class Workspace;
struct ViewedPicture;

// Opens a viewer window for each of `names` (pictures of the open folder, whole names, A-Z case
// ignored), in order, through the workspace's viewers: centred on the screen and cascaded 20 px
// right and down per window of the run. A name the folder no longer has warns "文件在数据库不存在";
// a picture that cannot be decoded warns "文件：" + `Come` + " 在读取时发生错误！"; both times the
// run goes on with the next name. Nothing happens without an open folder or viewers.
void FangDa(Workspace& workspace, const QStringList& names);

// Decodes stored bytes for viewing by their extension (".gif" with two or more frames as an
// animation; a still GIF as what its first image covers of its white screen). False when there is
// no decoder for the extension or the bytes are not a picture.
//
// With a `shownFirst` size (the screen's), a JPEG larger than it in either direction comes with
// only the top left corner that size shows decoded (the rows it shows from the top, for a file
// whose corner cannot be decoded alone), and the picture's `rest` to decode the others, whose
// first rows are being decoded meanwhile (`restStarted`); when it is stored upright, others are
// decoded whole.
bool decodeForViewing(ViewedPicture& picture, QSize shownFirst = QSize());

// The folder view's "放大图片(&F)..." (and Enter): every selected picture, in view order.
void pop_fangdaClick(Workspace& workspace);
// A double click in the folder view: the first selected picture only.
void ListView1DblClick(Workspace& workspace);
// "全部打开(&O)": asks, then opens every picture of the open folder in stored order.
void menu_openallClick(Workspace& workspace);

} // namespace zarvo
