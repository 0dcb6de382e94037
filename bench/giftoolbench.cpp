// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// The GIF tool opening a long animation: a GIF of N frames (default 500) of 800 x 450 is
// written with giflib, then, best of --repeat runs each:
//   baseline  giflib alone (DGifSlurp of every frame) plus the 150 x 150 fit of every frame's
//             raster (frameThumbnail), on one thread, nothing else;
//   tool      TFgi::openFile until the window has every thumbnail and its description, with the
//             window shown (offscreen) and its event loop running; also the longest time the
//             event loop was kept from running meanwhile (how long painting could stall).
// It also prints what the decoded frames keep in memory. Usage:
//   zarvo_bench_giftool [--repeat N] [--frames N] WORKDIR
// Prints RESULT <tab> gif <tab> column <tab> value <tab> unit.

#include "giftool/framefile.h"
#include "giftool/tfgi.h"
#include "imaging/gifanimation.h"
#include "imaging/gifbuilder.h"
#include "view/consoleprompt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QTimer>

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace zarvo;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 450;

// Frames like a screen recording: a soft diagonal gradient that drifts, and a moving block.
QByteArray makeGif(int frames)
{
    QList<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.append(qRgb(i, (i * 3) % 256, 255 - i));
    QList<test::BuiltFrame> list;
    for (int f = 0; f < frames; ++f) {
        test::BuiltFrame frame;
        frame.rect = QRect(0, 0, kWidth, kHeight);
        frame.indices.resize(qsizetype(kWidth) * kHeight);
        char* p = frame.indices.data();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool block = std::abs(x - (f * 7) % kWidth) < 60 && std::abs(y - 200) < 60;
                *p++ = char(block ? 255 : ((x + y) / 8 + f) % 200);
            }
        frame.delay = 4;
        list.append(std::move(frame));
    }
    return test::buildGif(QSize(kWidth, kHeight), palette, list, 0);
}

int readFromMemory(GifFileType* gif, GifByteType* out, int length)
{
    auto* source = static_cast<QByteArray*>(gif->UserData);
    const int count = std::min<int>(length, int(source->size()));
    std::memcpy(out, source->constData(), size_t(count));
    source->remove(0, count);
    return count;
}

// giflib's own whole-file decode plus the fits; returns the number of frames.
int baseline(const QByteArray& bytes)
{
    QByteArray source = bytes;
    int error = 0;
    GifFileType* gif = DGifOpen(&source, readFromMemory, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK)
        return -1;
    int made = 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const ColorMapObject* colors
            = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        QImage raster(image.RasterBits, image.ImageDesc.Width, image.ImageDesc.Height,
            image.ImageDesc.Width, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (int c = 0; c < colors->ColorCount; ++c)
            table.append(
                qRgb(colors->Colors[c].Red, colors->Colors[c].Green, colors->Colors[c].Blue));
        raster.setColorTable(table);
        made += frameThumbnail(raster).isNull() ? 0 : 1;
    }
    DGifCloseFile(gif, &error);
    return made;
}

double bestOf(int repeat, const std::function<double()>& run)
{
    double best = 1e30;
    for (int i = 0; i < repeat; ++i)
        best = std::min(best, run());
    return best;
}

void result(const char* column, double value, const char* unit)
{
    std::printf("RESULT\tgif\t%s\t%.1f\t%s\n", column, value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int repeat = 3;
    int frames = 500;
    while (args.size() >= 2 && args.first().startsWith(QStringLiteral("--"))) {
        (args.first() == QStringLiteral("--frames") ? frames : repeat)
            = std::max(1, args.at(1).toInt());
        args = args.mid(2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: zarvo_bench_giftool [--repeat N] [--frames N] WORKDIR\n");
        return 2;
    }
    const QString path = args.first() + QStringLiteral("/animation.gif");
    const QByteArray bytes = makeGif(frames);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    file.close();

    const double base = bestOf(repeat, [&] {
        QElapsedTimer clock;
        clock.start();
        if (baseline(bytes) != frames)
            std::fprintf(stderr, "baseline decoded the wrong number of frames\n");
        return double(clock.nsecsElapsed()) / 1e6;
    });

    ConsolePrompt prompt(false, nullptr);
    TFgi window(prompt);
    window.resize(1280, 800);
    window.show();
    auto* list = window.findChild<QListWidget*>(QStringLiteral("ListView1"));
    double longestStall = 0;
    const double tool = bestOf(repeat, [&] {
        QEventLoop loop;
        QObject::connect(&window, &TFgi::loaded, &loop, &QEventLoop::quit);
        // A 10 ms timer: the longest gap between two of its runs is about how long the window
        // could not repaint (a zero timer would spin a core the decoder needs).
        QElapsedTimer sinceTick;
        double stall = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            stall = std::max(stall, double(sinceTick.nsecsElapsed()) / 1e6);
            sinceTick.restart();
        });
        QElapsedTimer clock;
        clock.start();
        sinceTick.start();
        tick.start(10);
        window.openFile(path);
        loop.exec();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (list->count() != frames)
            std::fprintf(stderr, "the tool listed %d of %d frames\n", int(list->count()), frames);
        longestStall = std::max(longestStall, stall);
        return ms;
    });

    const GifAnimation decoded = GifAnimation::decode(bytes);
    qint64 kept = 0;
    for (const GifFrame& frame : decoded.frames())
        kept += frame.image.sizeInBytes();
    std::printf("# %d frames of %dx%d, file %.1f MB\n", frames, kWidth, kHeight,
        double(bytes.size()) / 1e6);
    result("giflib + fits", base, "ms");
    result("tool open", tool, "ms");
    result("tool / baseline", tool / base, "ratio");
    result("longest event-loop stall", longestStall, "ms");
    result("frames kept (indexed)", double(kept) / 1e6, "MB");
    result("same as 32-bit screens", double(qint64(frames) * kWidth * kHeight * 4) / 1e6, "MB");
    return 0;
}
