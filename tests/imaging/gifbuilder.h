// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

// Animated GIFs written with giflib's encoder, for the tests of the GIF decoder and tool.

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QRgb>
#include <QSize>

namespace zarvo::test {

struct BuiltFrame
{
    QRect rect;
    QByteArray indices; // rect.width() * rect.height() colour indices, row by row
    QList<QRgb> localColors; // empty: the global table
    int transparent = -1;
    int disposal = 0; // 0 to 3 as stored
    int delay = 10; // centiseconds
    bool interlaced = false;
};

// A frame of one colour index.
BuiltFrame solidFrame(QRect rect, int index, int disposal = 0);

// loopCount -1 writes no NETSCAPE2.0 extension. Every frame gets a graphics control extension.
QByteArray buildGif(QSize screen, const QList<QRgb>& globalColors, const QList<BuiltFrame>& frames,
    int loopCount = 0);

} // namespace zarvo::test
