// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/pictureformat.h"

#include <QString>
#include <QtGlobal>

namespace zarvo {

// The texts the main window shows about the open folder: the two status-bar panels and the
// folder view's tooltip. Pure functions; numbers are decimal without grouping.

// Panel 1: "总文件数为: N 个", N being the folder's row count.
QString totalText(qint64 rowCount);

// The records of a folder counted by picture format while its view is built. A record
// counts as soon as its format is known, whether or not it decodes; Other counts nowhere.
struct FormatCounters
{
    qint64 gif = 0;
    qint64 ico = 0;
    qint64 bmp = 0;
    qint64 png = 0;
    qint64 jpeg = 0;

    void count(PictureFormat format);
    // Panel 2: "GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:0个 |
    // JPG/JPEG文件有:0个".
    QString countText() const;
};

// The folder view's tooltip for one picture: three lines joined by LF CR (the view shows
// them as lines): "文件名:" name, "来源:" come, "大小:" S " Byte (约为:" S/1024 " KB)".
QString pictureHint(const QString& name, const QString& come, qint64 size);

} // namespace zarvo
