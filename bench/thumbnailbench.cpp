// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Thumbnails per second of Thumbnailer over corpus sets, with 1 and with 2 worker threads
// (each with its own Thumbnailer, taking the next file in turn, as the folder view will).
// Files are read into memory first, so only decoding and scaling are timed; each figure is
// the best of --repeat runs. Besides the wall-clock figures it prints the CPU time one thread
// spends per picture, which a busy shared machine does not distort. Usage:
//   zarvo_bench_thumbnails [--repeat N] CORPUSDIR SET...
// For TIFF and JPEG XL it also times the floor: each kind's own library turning the same bytes
// in memory into a 150 px picture the fastest way it offers (its smallest decode, here the whole
// first page or frame on one thread, then the same fit), as "floor 1 thread" and "floor CPU
// per picture".
// Prints one line per figure: RESULT <tab> set <tab> column <tab> ms per picture <tab> pictures.

#include "imaging/fitrect.h"
#include "imaging/picturekind.h"
#include "imaging/thumbnailer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

#include <jxl/decode.h>
#include <tiffio.h>

using namespace zarvo;

namespace {

struct Picture
{
    PictureFormat format;
    QByteArray bytes;
};

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Timing
{
    double wall = 0; // seconds
    double cpu = 0; // seconds of CPU used by the workers together
};

QImage fitted(const QImage& picture)
{
    const DrawRect r
        = FitRect(picture.width(), picture.height(), Thumbnailer::kSize, Thumbnailer::kSize);
    return picture.scaled(r.width(), r.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

struct MemoryFile
{
    const QByteArray* bytes;
    toff_t position;
};

QImage tiffFloor(const QByteArray& bytes)
{
    MemoryFile file { &bytes, 0 };
    const auto read = [](thandle_t h, void* buffer, tmsize_t n) -> tmsize_t {
        auto* f = static_cast<MemoryFile*>(h);
        const toff_t count = std::min<toff_t>(toff_t(n), toff_t(f->bytes->size()) - f->position);
        std::memcpy(buffer, f->bytes->constData() + f->position, size_t(count));
        f->position += count;
        return tmsize_t(count);
    };
    const auto write = [](thandle_t, void*, tmsize_t) -> tmsize_t { return -1; };
    const auto seek = [](thandle_t h, toff_t offset, int whence) -> toff_t {
        auto* f = static_cast<MemoryFile*>(h);
        f->position = offset
            + (whence == SEEK_CUR        ? f->position
                    : whence == SEEK_END ? f->bytes->size()
                                         : 0);
        return f->position;
    };
    const auto close = [](thandle_t) { return 0; };
    const auto size
        = [](thandle_t h) { return toff_t(static_cast<MemoryFile*>(h)->bytes->size()); };
    const auto map = [](thandle_t h, void** base, toff_t* length) {
        auto* f = static_cast<MemoryFile*>(h);
        *base = const_cast<char*>(f->bytes->constData());
        *length = toff_t(f->bytes->size());
        return 1;
    };
    const auto unmap = [](thandle_t, void*, toff_t) {};
    TIFF* tif = TIFFClientOpen("floor", "r", &file, read, write, seek, close, size, map, unmap);
    if (!tif)
        return {};
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    QImage picture(int(w), int(h), QImage::Format_RGBA8888);
    const bool ok = TIFFReadRGBAImageOriented(
        tif, w, h, reinterpret_cast<uint32_t*>(picture.bits()), ORIENTATION_TOPLEFT, 1);
    TIFFClose(tif);
    return ok ? fitted(picture) : QImage();
}

QImage jxlFloor(const QByteArray& bytes)
{
    JxlDecoder* dec = JxlDecoderCreate(nullptr);
    JxlDecoderSubscribeEvents(dec, JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE);
    JxlDecoderSetInput(dec, reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size());
    JxlDecoderCloseInput(dec);
    const JxlPixelFormat format = { 4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0 };
    JxlBasicInfo info {};
    QImage picture;
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(dec);
        if (status == JXL_DEC_BASIC_INFO) {
            JxlDecoderGetBasicInfo(dec, &info);
        } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            picture = QImage(int(info.xsize), int(info.ysize), QImage::Format_RGBA8888);
            JxlDecoderSetImageOutBuffer(
                dec, &format, picture.bits(), size_t(picture.sizeInBytes()));
        } else if (status == JXL_DEC_FULL_IMAGE) {
            break;
        } else {
            picture = QImage();
            break;
        }
    }
    JxlDecoderDestroy(dec);
    return picture.isNull() ? QImage() : fitted(picture);
}

// The floor of a picture, or null when its kind has none here.
QImage floorThumbnail(const Picture& picture)
{
    switch (picture.format) {
    case PictureFormat::Tiff:
        return tiffFloor(picture.bytes);
    case PictureFormat::Jxl:
        return jxlFloor(picture.bytes);
    default:
        return {};
    }
}

// Times all pictures with `threads` workers; counts failed decodes.
Timing runOnce(const std::vector<Picture>& pictures, int threads, int* failures)
{
    std::atomic<size_t> next { 0 };
    std::atomic<int> failed { 0 };
    std::atomic<long long> cpuNanoseconds { 0 };
    const auto start = std::chrono::steady_clock::now();
    const auto work = [&] {
        const double cpuStart = threadCpuSeconds();
        Thumbnailer thumbnailer;
        for (size_t i = next++; i < pictures.size(); i = next++) {
            if (!thumbnailer.makeThumbnail(pictures[i].format, pictures[i].bytes).ok())
                ++failed;
        }
        cpuNanoseconds += static_cast<long long>((threadCpuSeconds() - cpuStart) * 1e9);
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    *failures = failed;
    return { elapsed.count(), double(cpuNanoseconds) / 1e9 };
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int repeat = 2;
    if (args.size() >= 2 && args.first() == QStringLiteral("--repeat")) {
        repeat = std::max(1, args.at(1).toInt());
        args = args.mid(2);
    }
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zarvo_bench_thumbnails [--repeat N] CORPUSDIR SET...\n");
        return 2;
    }
    const QDir corpus(args.first());
    for (const QString& set : args.mid(1)) {
        const QDir dir(corpus.filePath(set));
        std::vector<Picture> pictures;
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            PictureFormat format = formatOfCome(name);
            // Until the kinds table names them.
            if (format == PictureFormat::Other && name.endsWith(QLatin1String(".tif")))
                format = PictureFormat::Tiff;
            if (format == PictureFormat::Other && name.endsWith(QLatin1String(".jxl")))
                format = PictureFormat::Jxl;
            if (format == PictureFormat::Other)
                continue;
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
                return 1;
            }
            pictures.push_back({ format, file.readAll() });
        }
        if (pictures.empty()) {
            std::fprintf(stderr, "set %s has no pictures\n", qPrintable(set));
            return 1;
        }
        int failures = 0;
        // Warm up caches, plugins and the allocator.
        runOnce(std::vector<Picture>(
                    pictures.begin(), pictures.begin() + std::min<size_t>(3, pictures.size())),
            1, &failures);
        const double count = double(pictures.size());
        for (int threads : { 1, 2 }) {
            Timing best { 1e30, 1e30 };
            for (int r = 0; r < repeat; ++r) {
                const Timing t = runOnce(pictures, threads, &failures);
                best.wall = std::min(best.wall, t.wall);
                best.cpu = std::min(best.cpu, t.cpu);
            }
            if (failures)
                std::fprintf(
                    stderr, "%s: %d pictures failed to decode\n", qPrintable(set), failures);
            std::printf("RESULT\t%s\tours %d thread%s\t%.3f\t%zu\n", qPrintable(set), threads,
                threads == 1 ? "" : "s", best.wall * 1000.0 / count, pictures.size());
            // CPU time per picture does not depend on what else the machine runs.
            if (threads == 1)
                std::printf("RESULT\t%s\tours CPU per picture\t%.3f\t%zu\n", qPrintable(set),
                    best.cpu * 1000.0 / count, pictures.size());
            std::fflush(stdout);
        }
        if (floorThumbnail(pictures.front()).isNull())
            continue;
        double floorBest = 1e30;
        double floorCpu = 1e30;
        for (int r = 0; r < repeat; ++r) {
            const double cpuStart = threadCpuSeconds();
            const auto start = std::chrono::steady_clock::now();
            for (const Picture& picture : pictures) {
                if (floorThumbnail(picture).isNull())
                    std::fprintf(stderr, "%s: the floor failed on a picture\n", qPrintable(set));
            }
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            floorBest = std::min(floorBest, elapsed.count());
            floorCpu = std::min(floorCpu, threadCpuSeconds() - cpuStart);
        }
        std::printf("RESULT\t%s\tfloor 1 thread\t%.3f\t%zu\n", qPrintable(set),
            floorBest * 1000.0 / count, pictures.size());
        std::printf("RESULT\t%s\tfloor CPU per picture\t%.3f\t%zu\n", qPrintable(set),
            floorCpu * 1000.0 / count, pictures.size());
        std::fflush(stdout);
    }
    return 0;
}
