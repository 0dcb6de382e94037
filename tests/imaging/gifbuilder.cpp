// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/gifbuilder.h"

#include "support/testpictures.h"

namespace zarvo::test {

BuiltFrame solidFrame(QRect rect, int index, int disposal)
{
    BuiltFrame frame;
    frame.rect = rect;
    frame.indices = QByteArray(qsizetype(rect.width()) * rect.height(), char(index));
    frame.disposal = disposal;
    return frame;
}

QByteArray buildGif(
    QSize screen, const QList<QRgb>& globalColors, const QList<BuiltFrame>& frames, int loopCount)
{
    QList<testpictures::GifFrame> written;
    for (const BuiltFrame& frame : frames) {
        testpictures::GifFrame f;
        f.left = frame.rect.x();
        f.top = frame.rect.y();
        f.width = frame.rect.width();
        f.height = frame.rect.height();
        f.indices = frame.indices;
        f.localColors = frame.localColors;
        f.transparentIndex = frame.transparent;
        f.interlaced = frame.interlaced;
        f.delayCentiseconds = frame.delay;
        f.disposal = frame.disposal;
        written.append(f);
    }
    return testpictures::encodeGif(
        screen.width(), screen.height(), globalColors, written, loopCount, true);
}

} // namespace zarvo::test
