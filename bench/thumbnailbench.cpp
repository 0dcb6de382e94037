// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Thumbnails per second of Thumbnailer over corpus sets, with 1 and with 2 worker threads
// (each with its own Thumbnailer, taking the next file in turn, as the folder view will).
// Files are read into memory first, so only decoding and scaling are timed; each figure is
// the best of --repeat runs. Besides the wall-clock figures it prints the CPU time one thread
// spends per picture, which a busy shared machine does not distort. Usage:
//   zarvo_bench_thumbnails [--repeat N] CORPUSDIR SET...
// Prints one line per figure: RESULT <tab> set <tab> column <tab> ms per picture <tab> pictures.
// For a set of WebPs it also times the floor ("floor 1 thread"): libwebp's own fastest way from
// the same bytes in memory to a 150 px picture, its scaled decode straight to the fitted size
// copied onto a white 150 x 150 picture, on one thread.

#include "imaging/fitrect.h"
#include "imaging/picturekind.h"
#include "imaging/thumbnailer.h"

#include <webp/decode.h>

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

// The floor of one WebP thumbnail (see above); false when libwebp fails.
bool webpFloor(const QByteArray& bytes, std::vector<uint8_t>& pixels, QImage& thumbnail)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)
        || WebPGetFeatures(data, size_t(bytes.size()), &config.input) != VP8_STATUS_OK)
        return false;
    const DrawRect r = FitRect(config.input.width, config.input.height, 150, 150);
    if (r.isEmpty())
        return false;
    const size_t stride = size_t(r.width()) * 4;
    pixels.resize(stride * size_t(r.height()));
    config.options.use_scaling = 1;
    config.options.scaled_width = r.width();
    config.options.scaled_height = r.height();
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = pixels.data();
    config.output.u.RGBA.stride = int(stride);
    config.output.u.RGBA.size = pixels.size();
    if (WebPDecode(data, size_t(bytes.size()), &config) != VP8_STATUS_OK)
        return false;
    thumbnail.fill(0xffffffffu);
    for (int y = 0; y < r.height(); ++y)
        std::memcpy(
            thumbnail.scanLine(r.top + y) + r.left * 4, pixels.data() + stride * size_t(y), stride);
    return true;
}

// Times the floor over the WebPs among the pictures, in seconds of wall clock and of this
// thread's CPU (each the best of `repeat`); zero when there are none.
Timing timeWebpFloor(const std::vector<Picture>& pictures, int repeat, int* failures)
{
    std::vector<uint8_t> pixels;
    QImage thumbnail(150, 150, QImage::Format_RGB32);
    Timing best { 1e30, 1e30 };
    size_t webps = 0;
    for (int r = 0; r < repeat; ++r) {
        *failures = 0;
        webps = 0;
        const double cpuStart = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        for (const Picture& picture : pictures) {
            if (picture.format != PictureFormat::Webp)
                continue;
            ++webps;
            if (!webpFloor(picture.bytes, pixels, thumbnail))
                ++*failures;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best.wall = std::min(best.wall, elapsed.count());
        best.cpu = std::min(best.cpu, threadCpuSeconds() - cpuStart);
    }
    return webps ? best : Timing {};
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
            const PictureFormat format = formatOfCome(name);
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
        const Timing floor = timeWebpFloor(pictures, repeat, &failures);
        if (failures)
            std::fprintf(
                stderr, "%s: the floor failed on %d pictures\n", qPrintable(set), failures);
        if (floor.wall > 0) {
            std::printf("RESULT\t%s\tfloor 1 thread\t%.3f\t%zu\n", qPrintable(set),
                floor.wall * 1000.0 / count, pictures.size());
            std::printf("RESULT\t%s\tfloor CPU per picture\t%.3f\t%zu\n", qPrintable(set),
                floor.cpu * 1000.0 / count, pictures.size());
            std::fflush(stdout);
        }
    }
    return 0;
}
