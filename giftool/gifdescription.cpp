// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "giftool/gifdescription.h"

#include "imaging/gifanimation.h"

#include <QFileInfo>

namespace zarvo {

QStringList gifDescription(const QString& path, qint64 fileSize, const GifAnimation& animation)
{
    const QSize screen = animation.screenSize();
    return {
        QStringLiteral("文件名：") + QFileInfo(path).fileName(),
        QStringLiteral("来源: ") + path,
        QStringLiteral("文件大小: ") + QString::number(fileSize) + QStringLiteral(" Byte"),
        QStringLiteral("包含图片数: ") + QString::number(animation.frameCount())
            + QStringLiteral(" 张"),
        QStringLiteral("图片大小: ") + QString::number(screen.width()) + QStringLiteral("*")
            + QString::number(screen.height()),
        QStringLiteral("图片位数: ") + QString::number(animation.bitsPerPixel())
            + QStringLiteral(" 位"),
        QStringLiteral("播放速度: 100"),
    };
}

} // namespace zarvo
