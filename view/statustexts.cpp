// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/statustexts.h"

namespace zarvo {

QString totalText(qint64 rowCount)
{
    return QStringLiteral("总文件数为: ") + QString::number(rowCount) + QStringLiteral(" 个");
}

void FormatCounters::count(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Gif:
        ++gif;
        break;
    case PictureFormat::Ico:
        ++ico;
        break;
    case PictureFormat::Bmp:
        ++bmp;
        break;
    case PictureFormat::Png:
        ++png;
        break;
    case PictureFormat::Jpeg:
        ++jpeg;
        break;
    case PictureFormat::Other:
        break;
    }
}

QString FormatCounters::countText() const
{
    return QStringLiteral("GIF文件有:") + QString::number(gif) + QStringLiteral("个 | ")
        + QStringLiteral("ICO文件有:") + QString::number(ico) + QStringLiteral("个 | ")
        + QStringLiteral("BMP文件有:") + QString::number(bmp) + QStringLiteral("个 | ")
        + QStringLiteral("PNG文件有:") + QString::number(png) + QStringLiteral("个 | ")
        + QStringLiteral("JPG/JPEG文件有:") + QString::number(jpeg) + QStringLiteral("个");
}

QString pictureHint(const QString& name, const QString& come, qint64 size)
{
    const QString lineBreak = QStringLiteral("\n\r");
    return QStringLiteral("文件名:") + name + lineBreak + QStringLiteral("来源:") + come + lineBreak
        + QStringLiteral("大小:") + QString::number(size) + QStringLiteral(" Byte (约为:")
        + QString::number(size / 1024) + QStringLiteral(" KB)");
}

} // namespace zarvo
