// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Thumbnails per second of Thumbnailer over corpus sets, with 1 and with 2 worker threads
// (each with its own Thumbnailer, taking the next file in turn, as the folder view will).
// Files are read into memory first, so only decoding and scaling are timed; each figure is
// the best of --repeat runs. Besides the wall-clock figures it prints the CPU time one thread
// spends per picture, which a busy shared machine does not distort. Usage:
//   zarvo_bench_thumbnails [--repeat N] CORPUSDIR SET...
// For HEIF, AVIF, TIFF and JPEG XL it also times the floor: each kind's own library turning the
// same bytes in memory into a 150 px picture the fastest way it offers (its smallest decode, then
// the same fit), on one thread, as "floor CPU per picture", and ours over it.
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

#include <avif/avif.h>
#include <jxl/decode.h>
#include <libheif/heif.h>
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

// The fit every thumbnail ends with: the picture scaled smoothly into its FitRect.
QImage fit(const QImage& picture, QSize full)
{
    const DrawRect rect = FitRect(full.width(), full.height(), 150, 150);
    return picture.scaled(
        rect.width(), rect.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage heifFloor(const QByteArray& bytes)
{
    heif_context* context = heif_context_alloc();
    heif_image_handle* primary = nullptr;
    QImage out;
    if (heif_context_read_from_memory_without_copy(
            context, bytes.constData(), size_t(bytes.size()), nullptr)
                .code
            == heif_error_Ok
        && heif_context_get_primary_image_handle(context, &primary).code == heif_error_Ok) {
        const QSize full(
            heif_image_handle_get_width(primary), heif_image_handle_get_height(primary));
        heif_image_handle* smallest = primary;
        heif_item_id ids[8];
        const int count = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids, 8);
        for (int i = 0; i < count; ++i) {
            heif_image_handle* thumbnail = nullptr;
            if (heif_image_handle_get_thumbnail(primary, ids[i], &thumbnail).code != heif_error_Ok)
                continue;
            if (std::max(
                    heif_image_handle_get_width(thumbnail), heif_image_handle_get_height(thumbnail))
                    >= 150
                && heif_image_handle_get_width(thumbnail) < heif_image_handle_get_width(smallest)) {
                if (smallest != primary)
                    heif_image_handle_release(smallest);
                smallest = thumbnail;
            } else {
                heif_image_handle_release(thumbnail);
            }
        }
        heif_image* image = nullptr;
        if (heif_decode_image(
                smallest, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr)
                .code
            == heif_error_Ok) {
            int stride = 0;
            const uint8_t* data
                = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
            out = fit(QImage(data, heif_image_get_width(image, heif_channel_interleaved),
                          heif_image_get_height(image, heif_channel_interleaved), stride,
                          QImage::Format_RGB888),
                full);
            heif_image_release(image);
        }
        if (smallest != primary)
            heif_image_handle_release(smallest);
        heif_image_handle_release(primary);
    }
    heif_context_free(context);
    return out;
}

QImage avifFloor(const QByteArray& bytes)
{
    avifDecoder* decoder = avifDecoderCreate();
    decoder->maxThreads = 1;
    decoder->ignoreExif = decoder->ignoreXMP = AVIF_TRUE;
    QImage out;
    if (avifDecoderSetIOMemory(
            decoder, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()))
            == AVIF_RESULT_OK
        && avifDecoderParse(decoder) == AVIF_RESULT_OK
        && avifDecoderNextImage(decoder) == AVIF_RESULT_OK) {
        avifRGBImage rgb;
        avifRGBImageSetDefaults(&rgb, decoder->image);
        rgb.depth = 8;
        rgb.format = AVIF_RGB_FORMAT_BGRA;
        rgb.chromaUpsampling = AVIF_CHROMA_UPSAMPLING_FASTEST;
        QImage picture(int(rgb.width), int(rgb.height), QImage::Format_RGB32);
        rgb.pixels = picture.bits();
        rgb.rowBytes = uint32_t(picture.bytesPerLine());
        if (avifImageYUVToRGB(decoder->image, &rgb) == AVIF_RESULT_OK)
            out = fit(picture, picture.size());
    }
    avifDecoderDestroy(decoder);
    return out;
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

// The floor of a picture, or null when its kind has none here.
QImage floorThumbnail(const Picture& picture)
{
    switch (picture.format) {
    case PictureFormat::Webp: {
        std::vector<uint8_t> pixels;
        QImage thumbnail(150, 150, QImage::Format_RGB32);
        return webpFloor(picture.bytes, pixels, thumbnail) ? thumbnail : QImage();
    }
    case PictureFormat::Heif:
        return heifFloor(picture.bytes);
    case PictureFormat::Avif:
        return avifFloor(picture.bytes);
    case PictureFormat::Tiff:
        return tiffFloor(picture.bytes);
    case PictureFormat::Jxl:
        return jxlFloor(picture.bytes);
    default:
        return {};
    }
}

// The floor of one format over all pictures on one thread: CPU seconds, or 0 when there is none.
double floorCpuSeconds(const std::vector<Picture>& pictures, int* failures)
{
    if (pictures.empty() || floorThumbnail(pictures.front()).isNull())
        return 0;
    const double start = threadCpuSeconds();
    for (const Picture& picture : pictures) {
        if (floorThumbnail(picture).isNull())
            ++*failures;
    }
    return threadCpuSeconds() - start;
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
        // The floor, on one thread, timed as CPU like "ours CPU per picture", after ours and
        // before ours again so that neither side alone meets a quieter machine.
        double floorBest = 1e30;
        double oursBest = 1e30;
        for (int r = 0; r < repeat; ++r) {
            int floorFailures = 0;
            const double floorCpu = floorCpuSeconds(pictures, &floorFailures);
            if (floorCpu <= 0)
                break;
            if (floorFailures)
                std::fprintf(stderr, "%s: the floor failed on %d pictures\n", qPrintable(set),
                    floorFailures);
            floorBest = std::min(floorBest, floorCpu);
            oursBest = std::min(oursBest, runOnce(pictures, 1, &failures).cpu);
        }
        if (floorBest < 1e30) {
            std::printf("RESULT\t%s\tfloor CPU per picture\t%.3f\t%zu\n", qPrintable(set),
                floorBest * 1000.0 / count, pictures.size());
            std::printf("RESULT\t%s\tours CPU / floor\t%.3f\t%zu\n", qPrintable(set),
                oursBest / floorBest, pictures.size());
            std::fflush(stdout);
        }
    }
    return 0;
}
