// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "giftool/gifdescription.h"

#include "imaging/gifanimation.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(GifDescription)
};

} // namespace

QStringList gifDescription(const QString& path, qint64 fileSize, const GifAnimation& animation)
{
    const QSize screen = animation.screenSize();
    return {
        Texts::tr("文件名：%1").arg(QFileInfo(path).fileName()),
        Texts::tr("来源: %1").arg(path),
        Texts::tr("文件大小: %1 Byte").arg(fileSize),
        Texts::tr("包含图片数: %n 张", nullptr, animation.frameCount()),
        Texts::tr("图片大小: %1*%2")
            .arg(QString::number(screen.width()), QString::number(screen.height())),
        Texts::tr("图片位数: %n 位", nullptr, animation.bitsPerPixel()),
        Texts::tr("播放速度: 100"),
    };
}

} // namespace zarvo
