// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/testpictures.h"

#include <QBuffer>
#include <QDebug>
#include <QFile>
#include <QHash>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>
#include <libexif/exif-data.h>
#include <png.h>

namespace zarvo::testpictures {

namespace {

quint32 nextRandom(quint32& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int clamp255(int v)
{
    return std::clamp(v, 0, 255);
}

} // namespace

QImage photoLike(int width, int height, quint32 seed, int grain)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = seed * 2654435761u + 1;
    nextRandom(state);

    // Separable smooth gradients per channel.
    const double phase[6] = { (nextRandom(state) % 628) / 100.0, (nextRandom(state) % 628) / 100.0,
        (nextRandom(state) % 628) / 100.0, (nextRandom(state) % 628) / 100.0,
        (nextRandom(state) % 628) / 100.0, (nextRandom(state) % 628) / 100.0 };
    std::vector<int> col(size_t(width) * 3), row(size_t(height) * 3);
    for (int x = 0; x < width; ++x) {
        for (int c = 0; c < 3; ++c)
            col[size_t(x) * 3 + c] = int(60 * std::sin(x * (2.0 + c) / width * 3.14159 + phase[c]));
    }
    for (int y = 0; y < height; ++y) {
        for (int c = 0; c < 3; ++c)
            row[size_t(y) * 3 + c]
                = int(60 * std::cos(y * (1.5 + c) / height * 3.14159 + phase[3 + c]));
    }
    // A soft texture: random values on a coarse grid, interpolated.
    constexpr int kCell = 12;
    const int gridW = width / kCell + 2;
    const int gridH = height / kCell + 2;
    std::vector<int> grid(size_t(gridW) * gridH);
    for (int& g : grid)
        g = int(nextRandom(state) % 41) - 20;

    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int gy = y / kCell;
        const int fy = y % kCell;
        const int* g0 = grid.data() + size_t(gy) * gridW;
        const int* g1 = g0 + gridW;
        for (int x = 0; x < width; ++x) {
            const int gx = x / kCell;
            const int fx = x % kCell;
            const int top = g0[gx] * (kCell - fx) + g0[gx + 1] * fx;
            const int bottom = g1[gx] * (kCell - fx) + g1[gx + 1] * fx;
            const int texture = (top * (kCell - fy) + bottom * fy) / (kCell * kCell);
            const int noise
                = grain > 0 ? int(nextRandom(state) % quint32(2 * grain + 1)) - grain : 0;
            const int shade = texture + noise;
            out[x] = qRgb(clamp255(128 + col[size_t(x) * 3] + row[size_t(y) * 3] + shade),
                clamp255(128 + col[size_t(x) * 3 + 1] + row[size_t(y) * 3 + 1] + shade),
                clamp255(128 + col[size_t(x) * 3 + 2] + row[size_t(y) * 3 + 2] + shade));
        }
    }
    return image;
}

QImage blocks(int width, int height, bool withAlpha)
{
    QImage image(width, height, withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool lower = y >= height / 2;
            QRgb c = !lower ? (right ? qRgb(0, 200, 0) : qRgb(200, 0, 0))
                            : (right ? qRgb(230, 230, 0) : qRgb(0, 0, 200));
            if (withAlpha) {
                if (x < width / 4 && y < height / 4)
                    c = qRgba(10, 20, 30, 0);
                else if (y >= height * 3 / 8 && y < height * 5 / 8)
                    c = qRgba(qRed(c), qGreen(c), qBlue(c), 128);
            }
            out[x] = c;
        }
    }
    return image;
}

namespace {

QByteArray encodeJpegWith(
    const QImage& source, int quality, bool progressive, JpegColor color, bool manyScans)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    switch (color) {
    case JpegColor::Rgb:
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        break;
    case JpegColor::Gray:
        cinfo.input_components = 1;
        cinfo.in_color_space = JCS_GRAYSCALE;
        break;
    case JpegColor::Cmyk:
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
        break;
    }
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    // Every AC coefficient of every component in a band of its own, each refined twice.
    std::vector<jpeg_scan_info> scans;
    if (manyScans) {
        scans.push_back(jpeg_scan_info { cinfo.num_components, { 0, 1, 2, 3 }, 0, 0, 0, 0 });
        for (int c = 0; c < cinfo.num_components; ++c) {
            for (int k = 1; k < 64; ++k) {
                scans.push_back(jpeg_scan_info { 1, { c, 0, 0, 0 }, k, k, 0, 2 });
                scans.push_back(jpeg_scan_info { 1, { c, 0, 0, 0 }, k, k, 2, 1 });
                scans.push_back(jpeg_scan_info { 1, { c, 0, 0, 0 }, k, k, 1, 0 });
            }
        }
        cinfo.scan_info = scans.data();
        cinfo.num_scans = int(scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(size_t(image.width()) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        const auto* in
            = reinterpret_cast<const QRgb*>(image.constScanLine(int(cinfo.next_scanline)));
        for (int x = 0; x < image.width(); ++x) {
            const int r = qRed(in[x]), g = qGreen(in[x]), b = qBlue(in[x]);
            if (color == JpegColor::Rgb) {
                row[size_t(x) * 3] = JSAMPLE(r);
                row[size_t(x) * 3 + 1] = JSAMPLE(g);
                row[size_t(x) * 3 + 2] = JSAMPLE(b);
            } else if (color == JpegColor::Gray) {
                row[size_t(x)] = JSAMPLE(g);
            } else {
                // Adobe stores inverted values: C' = 255 - C; R = C' * K' / 255.
                const int m = std::max({ r, g, b });
                const auto inverted
                    = [m](int v) { return m ? JSAMPLE((v * 255 + m / 2) / m) : JSAMPLE(0); };
                row[size_t(x) * 4] = inverted(r);
                row[size_t(x) * 4 + 1] = inverted(g);
                row[size_t(x) * 4 + 2] = inverted(b);
                row[size_t(x) * 4 + 3] = JSAMPLE(m);
            }
        }
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

} // namespace

QByteArray exifWithOrientation(int orientation, bool bigEndian)
{
    ExifData* data = exif_data_new();
    const ExifByteOrder order = bigEndian ? EXIF_BYTE_ORDER_MOTOROLA : EXIF_BYTE_ORDER_INTEL;
    exif_data_set_byte_order(data, order);
    ExifEntry* entry = exif_entry_new();
    exif_content_add_entry(data->ifd[EXIF_IFD_0], entry);
    exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
    exif_set_short(entry->data, order, ExifShort(orientation));
    exif_entry_unref(entry);
    unsigned char* buffer = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data, &buffer, &size);
    exif_data_unref(data);
    const QByteArray payload(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return payload;
}

QByteArray withApp1(const QByteArray& jpeg, const QByteArray& payload)
{
    const qsizetype length = payload.size() + 2;
    QByteArray segment("\xff\xe1", 2);
    segment.append(char(length >> 8)).append(char(length & 0xff)).append(payload);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray encodeJpeg(const QImage& image, int quality, bool progressive, JpegColor color)
{
    return encodeJpegWith(image, quality, progressive, color, false);
}

QByteArray encodeJpegManyScans(const QImage& image)
{
    return encodeJpegWith(image, 90, false, JpegColor::Rgb, true);
}

namespace {

struct PngWriteJob
{
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colorType = 0;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    std::vector<std::vector<png_byte>> rows;
    QByteArray out;
};

void pngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* job = static_cast<PngWriteJob*>(png_get_io_ptr(png));
    job->out.append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void pngFlush(png_structp) { }

bool writePng(PngWriteJob* job)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, job, pngWrite, pngFlush);
    png_set_IHDR(png, info, png_uint_32(job->width), png_uint_32(job->height), job->bitDepth,
        job->colorType, job->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!job->palette.empty())
        png_set_PLTE(png, info, job->palette.data(), int(job->palette.size()));
    if (!job->paletteAlpha.empty())
        png_set_tRNS(png, info, job->paletteAlpha.data(), int(job->paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (auto& row : job->rows)
            png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

QByteArray encodePng(const QImage& source, PngKind kind, bool interlaced)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    PngWriteJob job;
    job.width = image.width();
    job.height = image.height();
    job.interlaced = interlaced;
    int channels = 0;
    switch (kind) {
    case PngKind::Rgb8:
        job.colorType = PNG_COLOR_TYPE_RGB;
        channels = 3;
        break;
    case PngKind::Rgba8:
        job.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        channels = 4;
        break;
    case PngKind::Rgb16:
        job.colorType = PNG_COLOR_TYPE_RGB;
        channels = 3;
        job.bitDepth = 16;
        break;
    case PngKind::Rgba16:
        job.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        channels = 4;
        job.bitDepth = 16;
        break;
    case PngKind::Gray8:
        job.colorType = PNG_COLOR_TYPE_GRAY;
        channels = 1;
        break;
    case PngKind::Gray16:
        job.colorType = PNG_COLOR_TYPE_GRAY;
        channels = 1;
        job.bitDepth = 16;
        break;
    case PngKind::GrayAlpha8:
        job.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
        channels = 2;
        break;
    case PngKind::Gray1:
        job.colorType = PNG_COLOR_TYPE_GRAY;
        channels = 1;
        job.bitDepth = 1;
        break;
    case PngKind::Palette8:
        job.colorType = PNG_COLOR_TYPE_PALETTE;
        channels = 1;
        break;
    }
    QHash<QRgb, int> paletteIndex;
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::vector<png_byte> row;
        row.reserve(size_t(image.width()) * channels * 2);
        const auto put = [&](int v) {
            if (job.bitDepth == 16) {
                row.push_back(png_byte(v));
                row.push_back(png_byte(v));
            } else {
                row.push_back(png_byte(v));
            }
        };
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = in[x];
            switch (kind) {
            case PngKind::Rgb8:
            case PngKind::Rgb16:
                put(qRed(p));
                put(qGreen(p));
                put(qBlue(p));
                break;
            case PngKind::Rgba8:
            case PngKind::Rgba16:
                put(qRed(p));
                put(qGreen(p));
                put(qBlue(p));
                put(qAlpha(p));
                break;
            case PngKind::Gray8:
            case PngKind::Gray16:
                put(qGreen(p));
                break;
            case PngKind::GrayAlpha8:
                put(qGreen(p));
                put(qAlpha(p));
                break;
            case PngKind::Gray1:
                if (x % 8 == 0)
                    row.push_back(0);
                if (qGreen(p) >= 128)
                    row.back() = png_byte(row.back() | (0x80 >> (x % 8)));
                break;
            case PngKind::Palette8: {
                auto it = paletteIndex.find(p);
                if (it == paletteIndex.end()) {
                    it = paletteIndex.insert(p, int(job.palette.size()));
                    job.palette.push_back(
                        png_color { png_byte(qRed(p)), png_byte(qGreen(p)), png_byte(qBlue(p)) });
                    job.paletteAlpha.push_back(png_byte(qAlpha(p)));
                }
                row.push_back(png_byte(it.value()));
                break;
            }
            }
        }
        job.rows.push_back(std::move(row));
    }
    if (job.palette.size() > 256)
        return {};
    if (kind == PngKind::Palette8
        && std::all_of(
            job.paletteAlpha.begin(), job.paletteAlpha.end(), [](png_byte a) { return a == 255; }))
        job.paletteAlpha.clear();
    if (!writePng(&job))
        return {};
    return job.out;
}

namespace {

int writeToByteArray(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

ColorMapObject* makeColorMap(const QList<QRgb>& colors)
{
    if (colors.isEmpty())
        return nullptr;
    int count = 2;
    while (count < colors.size())
        count *= 2;
    std::vector<GifColorType> entries(size_t(count), GifColorType { 0, 0, 0 });
    for (qsizetype i = 0; i < colors.size(); ++i)
        entries[size_t(i)] = GifColorType { GifByteType(qRed(colors[i])),
            GifByteType(qGreen(colors[i])), GifByteType(qBlue(colors[i])) };
    return GifMakeMapObject(count, entries.data());
}

} // namespace

QByteArray encodeGif(int screenWidth, int screenHeight, const QList<QRgb>& globalColors,
    const QList<GifFrame>& frames)
{
    return encodeGif(
        screenWidth, screenHeight, globalColors, frames, frames.size() > 1 ? 0 : -1, false);
}

QByteArray encodeGif(int screenWidth, int screenHeight, const QList<QRgb>& globalColors,
    const QList<GifFrame>& frames, int loopCount, bool controlEveryFrame)
{
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToByteArray, &error);
    if (!gif)
        return {};
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = makeColorMap(globalColors);
    EGifPutScreenDesc(gif, screenWidth, screenHeight, 8, 0, global);
    GifFreeMapObject(global);
    if (loopCount >= 0) {
        const GifByteType loop[]
            = { 1, GifByteType(loopCount & 0xff), GifByteType(loopCount >> 8) };
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const GifFrame& frame : frames) {
        if (controlEveryFrame || frame.transparentIndex >= 0 || frames.size() > 1) {
            GraphicsControlBlock gcb {};
            gcb.DisposalMode = frame.disposal;
            gcb.DelayTime = frame.delayCentiseconds;
            gcb.TransparentColor
                = frame.transparentIndex >= 0 ? frame.transparentIndex : NO_TRANSPARENT_COLOR;
            GifByteType extension[4];
            const size_t length = EGifGCBToExtension(&gcb, extension);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension);
        }
        ColorMapObject* local = makeColorMap(frame.localColors);
        EGifPutImageDesc(
            gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced, local);
        GifFreeMapObject(local);
        std::vector<GifPixelType> line(size_t(frame.width));
        const auto putRow = [&](int y) {
            for (int x = 0; x < frame.width; ++x)
                line[size_t(x)] = GifPixelType(frame.indices.at(qsizetype(y) * frame.width + x));
            EGifPutLine(gif, line.data(), frame.width);
        };
        if (frame.interlaced) {
            static constexpr int kStart[] = { 0, 4, 2, 1 };
            static constexpr int kStep[] = { 8, 8, 4, 2 };
            for (int pass = 0; pass < 4; ++pass) {
                for (int y = kStart[pass]; y < frame.height; y += kStep[pass])
                    putRow(y);
            }
        } else {
            for (int y = 0; y < frame.height; ++y)
                putRow(y);
        }
    }
    EGifCloseFile(gif, &error);
    return out;
}

namespace {

void putLe16(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void putLe32(QByteArray& out, quint32 v)
{
    putLe16(out, int(v & 0xffff));
    putLe16(out, int(v >> 16));
}

QByteArray iconBitmap(const QImage& image, int bits)
{
    const int w = image.width();
    const int h = image.height();
    QList<QRgb> palette;
    if (bits <= 8) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const QRgb c = image.pixel(x, y) | 0xff000000u;
                if (qAlpha(image.pixel(x, y)) >= 128 && !palette.contains(c))
                    palette.append(c);
            }
        }
        if (palette.isEmpty())
            palette.append(0xff000000u);
        palette.resize(1 << bits, 0xff000000u);
    }
    QByteArray out;
    putLe32(out, 40);
    putLe32(out, quint32(w));
    putLe32(out, quint32(h * 2));
    putLe16(out, 1);
    putLe16(out, bits);
    putLe32(out, 0);
    putLe32(out, 0);
    putLe32(out, 0);
    putLe32(out, 0);
    putLe32(out, 0);
    putLe32(out, 0);
    for (QRgb c : palette) {
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append(char(0));
    }
    const int colorStride = (w * bits + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(colorStride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb p = image.pixel(x, y);
            const int index = bits <= 8 ? std::max(0, int(palette.indexOf(p | 0xff000000u))) : 0;
            switch (bits) {
            case 1:
                row[x / 8] = char(row[x / 8] | (index << (7 - x % 8)));
                break;
            case 4:
                row[x / 2] = char(row[x / 2] | (index << (x % 2 ? 0 : 4)));
                break;
            case 8:
                row[x] = char(index);
                break;
            case 24:
                row[x * 3] = char(qBlue(p));
                row[x * 3 + 1] = char(qGreen(p));
                row[x * 3 + 2] = char(qRed(p));
                break;
            default:
                row[x * 4] = char(qBlue(p));
                row[x * 4 + 1] = char(qGreen(p));
                row[x * 4 + 2] = char(qRed(p));
                row[x * 4 + 3] = char(qAlpha(p));
                break;
            }
        }
        out.append(row);
    }
    const int maskStride = (w + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(image.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (1 << (7 - x % 8)));
        }
        out.append(row);
    }
    return out;
}

} // namespace

QByteArray encodeIco(const QList<IcoImage>& images)
{
    QList<QByteArray> payloads;
    for (const IcoImage& icon : images) {
        const QImage argb = icon.image.convertToFormat(QImage::Format_ARGB32);
        payloads.append(icon.png ? encodePng(argb, PngKind::Rgba8) : iconBitmap(argb, icon.bits));
    }
    QByteArray out;
    putLe16(out, 0);
    putLe16(out, 1);
    putLe16(out, int(images.size()));
    quint32 offset = quint32(6 + 16 * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage& image = images[i].image;
        out.append(char(image.width() >= 256 ? 0 : image.width()));
        out.append(char(image.height() >= 256 ? 0 : image.height()));
        out.append(char(!images[i].png && images[i].bits < 8 ? 1 << images[i].bits : 0));
        out.append(char(0));
        putLe16(out, 1);
        putLe16(out, images[i].png ? 32 : images[i].bits);
        putLe32(out, quint32(payloads[i].size()));
        putLe32(out, offset);
        offset += quint32(payloads[i].size());
    }
    for (const QByteArray& payload : payloads)
        out.append(payload);
    return out;
}

bool runTool(
    const QString& program, const QStringList& arguments, QString* error, const QString& directory)
{
    QProcess process;
    if (!directory.isEmpty())
        process.setWorkingDirectory(directory);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    if (ok)
        return true;
    const QString said = program + QStringLiteral(": ") + process.errorString() + QLatin1Char(' ')
        + QString::fromLocal8Bit(process.readAll());
    if (error)
        *error = said;
    else
        qWarning().noquote() << said;
    return false;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<QByteArray> runTools(const QByteArray& input, const QString& inputName,
    const QList<QStringList>& commands, const QStringList& results)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !writeFile(dir.filePath(inputName), input))
        return {};
    for (const QStringList& command : commands) {
        if (!runTool(command.first(), command.mid(1), nullptr, dir.path()))
            return {};
    }
    QList<QByteArray> files;
    for (const QString& result : results) {
        QFile file(dir.filePath(result));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        files.append(file.readAll());
    }
    return files;
}

namespace {

// cwebp of the picture into `out`.
bool cwebp(const QImage& image, int quality, const QString& png, const QString& out)
{
    if (!image.save(png, "PNG"))
        return false;
    QStringList arguments { QStringLiteral("-quiet") };
    if (quality < 0)
        arguments << QStringLiteral("-lossless") << QStringLiteral("-exact");
    else
        arguments << QStringLiteral("-q") << QString::number(quality);
    return runTool(QStringLiteral("cwebp"), arguments << png << QStringLiteral("-o") << out);
}

} // namespace

QByteArray encodeWebp(const QImage& image, int quality, int orientation)
{
    QTemporaryDir dir;
    const QString webp = dir.filePath(QStringLiteral("p.webp"));
    if (!cwebp(image, quality, dir.filePath(QStringLiteral("p.png")), webp))
        return {};
    if (orientation <= 0)
        return readFile(webp);
    const QString exif = dir.filePath(QStringLiteral("exif"));
    const QString tagged = dir.filePath(QStringLiteral("tagged.webp"));
    // The chunk holds the TIFF structure without the "Exif\0\0" of a JPEG's APP1.
    if (!writeFile(exif, exifWithOrientation(orientation, false).mid(6))
        || !runTool(QStringLiteral("webpmux"),
            { QStringLiteral("-set"), QStringLiteral("exif"), exif, webp, QStringLiteral("-o"),
                tagged }))
        return {};
    return readFile(tagged);
}

QByteArray encodeWebpFromFile(const QByteArray& file, int quality)
{
    QTemporaryDir dir;
    // cwebp tells the input's kind by its bytes, not its name.
    const QString in = dir.filePath(QStringLiteral("in"));
    const QString out = dir.filePath(QStringLiteral("out.webp"));
    if (!writeFile(in, file)
        || !runTool(QStringLiteral("cwebp"),
            { QStringLiteral("-quiet"), QStringLiteral("-q"), QString::number(quality), in,
                QStringLiteral("-o"), out }))
        return {};
    return readFile(out);
}

QByteArray encodeAnimatedWebp(const QList<WebpFrame>& frames, int plays)
{
    QTemporaryDir dir;
    QStringList arguments;
    for (int i = 0; i < frames.size(); ++i) {
        const WebpFrame& frame = frames[i];
        const QString webp = dir.filePath(QStringLiteral("f%1.webp").arg(i));
        if (!cwebp(frame.image, -1, dir.filePath(QStringLiteral("f%1.png").arg(i)), webp))
            return {};
        arguments << QStringLiteral("-frame") << webp
                  << QStringLiteral("+%1+%2+%3+0+b")
                         .arg(frame.durationMs)
                         .arg(frame.at.x())
                         .arg(frame.at.y());
    }
    const QString out = dir.filePath(QStringLiteral("a.webp"));
    arguments << QStringLiteral("-loop") << QString::number(plays) << QStringLiteral("-o") << out;
    return runTool(QStringLiteral("webpmux"), arguments) ? readFile(out) : QByteArray();
}

QByteArray withWebpCanvas(QByteArray webp, int width, int height)
{
    if (webp.mid(12, 4) != QByteArray("VP8X"))
        return {};
    // After "RIFF", its size, "WEBP", "VP8X", its size and the flags: each side less one, in 24
    // bits, little-endian.
    for (const auto& [at, side] : { std::pair { 24, width }, std::pair { 27, height } })
        for (int i = 0; i < 3; ++i)
            webp[at + i] = char(((side - 1) >> (8 * i)) & 0xff);
    return webp;
}

QImage decodeWithDwebp(const QByteArray& webp)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.webp"));
    const QString png = dir.filePath(QStringLiteral("out.png"));
    if (!writeFile(in, webp)
        || !runTool(
            QStringLiteral("dwebp"), { QStringLiteral("-quiet"), in, QStringLiteral("-o"), png }))
        return {};
    return QImage(png).convertToFormat(QImage::Format_ARGB32);
}

QByteArray encodeWithQt(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        return {};
    return bytes;
}

QImage overWhite(const QImage& source)
{
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double a = qAlpha(in[x]) / 255.0;
            const auto over = [a](int c) { return int(std::lround(c * a + 255.0 * (1.0 - a))); };
            o[x] = qRgb(over(qRed(in[x])), over(qGreen(in[x])), over(qBlue(in[x])));
        }
    }
    return out;
}

double meanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 1e9;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int r = 0; r < x.height(); ++r) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(r));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(r));
        for (int c = 0; c < x.width(); ++c) {
            sum += std::abs(qRed(p[c]) - qRed(q[c])) + std::abs(qGreen(p[c]) - qGreen(q[c]))
                + std::abs(qBlue(p[c]) - qBlue(q[c]));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

namespace {

// Little-endian record writing for the metafiles.
struct LittleEndian
{
    QByteArray bytes;
    void u16(int v) { bytes.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); }
    void u32(quint32 v)
    {
        u16(int(v & 0xffff));
        u16(int(v >> 16));
    }
    void rect(QRect r) // RECTL, inclusive
    {
        for (int v : { r.left(), r.top(), r.right(), r.bottom() })
            u32(quint32(v));
    }
};

quint32 colorRef(QRgb c)
{
    return quint32(qRed(c)) | quint32(qGreen(c)) << 8 | quint32(qBlue(c)) << 16;
}

} // namespace

QByteArray encodeEmf(QSize size, QRect filled, QRgb fill, const QString& text)
{
    LittleEndian body;
    int records = 0;
    const auto record = [&](quint32 type, const QByteArray& params) {
        body.u32(type);
        body.u32(quint32(8 + params.size()));
        body.bytes.append(params);
        ++records;
    };
    LittleEndian p;
    p.u32(1); // EMR_CREATEBRUSHINDIRECT into handle 1: solid
    p.u32(0);
    p.u32(colorRef(fill));
    p.u32(0);
    record(39, p.bytes);
    p = {};
    p.u32(2); // EMR_CREATEPEN into handle 2: solid, 1 wide, black
    p.u32(0);
    p.u32(1);
    p.u32(0);
    p.u32(0);
    record(38, p.bytes);
    for (quint32 handle : { 1u, 2u }) { // EMR_SELECTOBJECT
        p = {};
        p.u32(handle);
        record(37, p.bytes);
    }
    p = {};
    p.rect(filled);
    record(43, p.bytes); // EMR_RECTANGLE
    p = {};
    p.rect(QRect(0, 0, size.width() / 4, size.height() / 4));
    record(42, p.bytes); // EMR_ELLIPSE
    p = {};
    const QList<QPoint> points { { 1, size.height() - 2 }, { size.width() / 2, 1 },
        { size.width() - 2, size.height() - 2 } };
    p.rect(QRect(0, 0, size.width(), size.height()));
    p.u32(quint32(points.size()));
    for (const QPoint& point : points) {
        p.u16(point.x());
        p.u16(point.y());
    }
    record(87, p.bytes); // EMR_POLYLINE16
    if (!text.isEmpty()) {
        p = {};
        p.rect(QRect(0, 0, size.width(), size.height())); // bounds
        p.u32(1); // GM_COMPATIBLE
        p.u32(0); // exScale, eyScale (floats 0)
        p.u32(0);
        p.u32(2); // reference point
        p.u32(quint32(size.height() / 2));
        p.u32(quint32(text.size())); // chars
        p.u32(76); // offString: from the record's start (8 + 68)
        p.u32(0); // options
        p.rect(QRect()); // rectangle (unused)
        p.u32(0); // offDx: none
        for (const QChar c : text)
            p.u16(c.unicode());
        while (p.bytes.size() % 4)
            p.bytes.append('\0');
        record(84, p.bytes); // EMR_EXTTEXTOUTW
    }
    p = {};
    p.u32(1);
    record(40, p.bytes); // EMR_DELETEOBJECT
    p = {};
    p.u32(0);
    p.u32(16);
    p.u32(20);
    record(14, p.bytes); // EMR_EOF

    LittleEndian out;
    out.u32(1); // EMR_HEADER
    out.u32(88);
    out.rect(QRect(0, 0, size.width(), size.height())); // bounds, device pixels
    // frame in 0.01 mm at 96 dpi: 2540 / 96 per pixel
    out.rect(QRect(0, 0, size.width() * 2540 / 96, size.height() * 2540 / 96));
    out.u32(0x464D4520); // " EMF"
    out.u32(0x10000);
    out.u32(quint32(88 + body.bytes.size()));
    out.u32(quint32(records + 1));
    out.u16(3); // handles, 0 included
    out.u16(0);
    out.u32(0); // no description
    out.u32(0);
    out.u32(0); // no palette
    out.u32(1024); // reference device: 1024 x 768 pixels, 270.93 x 203.2 mm (96 dpi)
    out.u32(768);
    out.u32(271);
    out.u32(203);
    return out.bytes + body.bytes;
}

QByteArray encodeWmf(QSize size, QRect filled, QRgb fill, const QString& text)
{
    LittleEndian body;
    int largest = 0;
    const auto record = [&](int function, const QList<int>& words) {
        body.u32(quint32(3 + words.size()));
        body.u16(function);
        for (int w : words)
            body.u16(w);
        largest = std::max(largest, 3 + int(words.size()));
    };
    record(0x020B, { 0, 0 }); // META_SETWINDOWORG y, x
    record(0x020C, { size.height(), size.width() }); // META_SETWINDOWEXT y, x
    const quint32 fillRef = colorRef(fill);
    record(0x02FC, { 0, int(fillRef & 0xffff), int(fillRef >> 16), 0 }); // CREATEBRUSHINDIRECT
    record(0x02FA, { 0, 1, 0, 0, 0 }); // META_CREATEPENINDIRECT: solid, 1 wide, black
    record(0x012D, { 0 }); // META_SELECTOBJECT brush
    record(0x012D, { 1 }); // pen
    // META_RECTANGLE and META_ELLIPSE: bottom, right, top, left (exclusive)
    record(0x041B, { filled.bottom() + 1, filled.right() + 1, filled.top(), filled.left() });
    record(0x0418, { size.height() / 4, size.width() / 4, 0, 0 });
    record(0x0325,
        { 3, 1, size.height() - 2, size.width() / 2, 1, size.width() - 2,
            size.height() - 2 }); // META_POLYLINE
    if (!text.isEmpty()) {
        const QByteArray latin = text.toLatin1();
        QList<int> words { int(latin.size()) };
        for (qsizetype i = 0; i < latin.size(); i += 2)
            words.append(uchar(latin[i]) | (i + 1 < latin.size() ? uchar(latin[i + 1]) << 8 : 0));
        words.append(size.height() / 2); // y, x
        words.append(2);
        record(0x0521, words); // META_TEXTOUT
    }
    record(0x01F0, { 0 }); // META_DELETEOBJECT
    record(0x0000, {}); // META_EOF

    LittleEndian out;
    out.u32(0x9AC6CDD7); // placeable header: 96 units an inch
    out.u16(0);
    for (int v : { 0, 0, size.width(), size.height() })
        out.u16(v);
    out.u16(96);
    out.u32(0);
    int checksum = 0;
    for (qsizetype i = 0; i < out.bytes.size(); i += 2)
        checksum ^= uchar(out.bytes[i]) | uchar(out.bytes[i + 1]) << 8;
    out.u16(checksum);
    out.u16(1); // META_HEADER: in memory, 9 words, version 3
    out.u16(9);
    out.u16(0x0300);
    out.u32(quint32(9 + body.bytes.size() / 2));
    out.u16(2); // objects
    out.u32(quint32(largest));
    out.u16(0);
    return out.bytes + body.bytes;
}

} // namespace zarvo::testpictures
