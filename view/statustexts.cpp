// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/statustexts.h"

#include <QCoreApplication>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(StatusTexts)
};

} // namespace

QString totalText(qint64 rowCount)
{
    return Texts::tr("总文件数为: %n 个", nullptr, int(rowCount));
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
    case PictureFormat::Webp:
    case PictureFormat::Heif:
    case PictureFormat::Avif:
    case PictureFormat::Tiff:
    case PictureFormat::Jxl:
    case PictureFormat::Other:
        break;
    }
}

QString FormatCounters::countText() const
{
    return Texts::tr("GIF文件有:%1个 | ICO文件有:%2个 | BMP文件有:%3个 | PNG文件有:%4个 | "
                     "JPG/JPEG文件有:%5个")
        .arg(QString::number(gif), QString::number(ico), QString::number(bmp), QString::number(png),
            QString::number(jpeg));
}

QString pictureHint(const QString& name, const QString& come, qint64 size)
{
    const QString lineBreak = QStringLiteral("\n\r");
    return Texts::tr("文件名:%1").arg(name) + lineBreak + Texts::tr("来源:%1").arg(come) + lineBreak
        + Texts::tr("大小:%n Byte (约为:%1 KB)", nullptr, int(size)).arg(size / 1024);
}

} // namespace zarvo
