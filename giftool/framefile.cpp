// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "giftool/framefile.h"

#include "imaging/fitrect.h"
#include "store/wholefile.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

namespace zarvo {

QImage frameOnWhite(const QImage& frame)
{
    if (frame.isNull())
        return {};
    QImage out(frame.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, frame);
    return out;
}

QImage frameThumbnail(const QImage& frame)
{
    constexpr int kSide = 150;
    QImage out(kSide, kSide, QImage::Format_RGB32);
    out.fill(Qt::white);
    if (frame.isNull())
        return out;
    const DrawRect r = FitRect(frame.width(), frame.height(), kSide, kSide);
    if (r.isEmpty())
        return out;
    QPainter painter(&out);
    if (r.width() == frame.width() && r.height() == frame.height()) {
        painter.drawImage(r.left, r.top, frame);
    } else {
        // Area-averaging scale: QPainter's transformed drawing samples bilinearly and
        // aliases on large reductions.
        const QImage scaled
            = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                  .scaled(r.width(), r.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(r.left, r.top, scaled);
    }
    return out;
}

bool saveFrameBitmap(const QImage& picture, const QString& path)
{
    if (picture.isNull())
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    return writer.write(picture) && writeWholeFile(path, bytes);
}

} // namespace zarvo
