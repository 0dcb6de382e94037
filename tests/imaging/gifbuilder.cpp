// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/gifbuilder.h"

#include <gif_lib.h>

#include <vector>

namespace zarvo::test {

namespace {

int writeToByteArray(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

ColorMapObject* colorMap(const QList<QRgb>& colors)
{
    if (colors.isEmpty())
        return nullptr;
    int size = 2;
    while (size < colors.size())
        size *= 2;
    std::vector<GifColorType> entries(size_t(size), GifColorType { 0, 0, 0 });
    for (qsizetype i = 0; i < colors.size(); ++i)
        entries[size_t(i)] = { GifByteType(qRed(colors[i])), GifByteType(qGreen(colors[i])),
            GifByteType(qBlue(colors[i])) };
    return GifMakeMapObject(size, entries.data());
}

} // namespace

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
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToByteArray, &error);
    if (!gif)
        return {};
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = colorMap(globalColors);
    EGifPutScreenDesc(gif, screen.width(), screen.height(), 8, 0, global);
    GifFreeMapObject(global);
    if (loopCount >= 0) {
        const GifByteType loop[]
            = { 1, GifByteType(loopCount & 0xff), GifByteType(loopCount >> 8) };
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const BuiltFrame& frame : frames) {
        GraphicsControlBlock gcb {};
        gcb.DisposalMode = frame.disposal;
        gcb.DelayTime = frame.delay;
        gcb.TransparentColor = frame.transparent;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&gcb, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension);
        ColorMapObject* local = colorMap(frame.localColors);
        const int w = frame.rect.width();
        const int h = frame.rect.height();
        EGifPutImageDesc(gif, frame.rect.x(), frame.rect.y(), w, h, frame.interlaced, local);
        GifFreeMapObject(local);
        std::vector<GifPixelType> line(static_cast<size_t>(w));
        const auto putRow = [&](int y) {
            for (int x = 0; x < w; ++x)
                line[size_t(x)] = GifPixelType(frame.indices.at(qsizetype(y) * w + x));
            EGifPutLine(gif, line.data(), w);
        };
        if (frame.interlaced) {
            static constexpr int kStart[] = { 0, 4, 2, 1 };
            static constexpr int kStep[] = { 8, 8, 4, 2 };
            for (int pass = 0; pass < 4; ++pass)
                for (int y = kStart[pass]; y < h; y += kStep[pass])
                    putRow(y);
        } else {
            for (int y = 0; y < h; ++y)
                putRow(y);
        }
    }
    EGifCloseFile(gif, &error);
    return out;
}

} // namespace zarvo::test
