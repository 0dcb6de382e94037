// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Writes the benchmark corpus: photograph-like pictures of the sizes people store, one
// directory per set. Usage: zarvo_bench_corpus OUTDIR [SET...]
//   jpeg12mp         200 JPEGs 4000 x 3000, quality 90 (about 2 MB each)
//   jpeg2mp          200 JPEGs 1728 x 1152, quality 90
//   jpegprogressive   30 progressive JPEGs 4000 x 3000, quality 90
//   webp12mp          60 WebPs 4000 x 3000: the first 60 of jpeg12mp's JPEGs made WebP by
//                     cwebp -q 90 (Debian's package webp; about 1 MB each)
//   png               40 PNGs 1600 x 1200 with an alpha channel
//   gif               40 animated GIFs 480 x 360, 8 frames, 64 colours
//   bmp               10 bitmaps 1600 x 1200, 24 bits
//   ico               20 icons: 16, 32 and 48 pixel bitmaps and a 256 pixel PNG
//   heic12mp          10 HEICs 4000 x 3000 (heif-enc, quality 80) with a 320 px thumbnail, as
//                     phones store them
//   avif12mp          10 AVIFs 4000 x 3000 (avifenc, quantizers 15 to 25, 4:2:0, its fastest speed)
//   tiff12mp          20 TIFFs 4000 x 3000, 8-bit RGB, deflate (ImageMagick)
//   jxl12mp           20 JPEG XLs 4000 x 3000, distance 1 (cjxl, effort 3)
//   many2mp       10 000 JPEGs 1728 x 1152, quality 75 (about 0.3 MB each): a big folder; not
//                     made unless named
// A set whose directory holds a ".complete" file is left as it is.

#include "support/heiftools.h"
#include "support/testpictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

using namespace zarvo::testpictures;

namespace {

struct Set
{
    const char* name;
    int count;
    const char* extension;
    std::function<QByteArray(int)> make;
};

QImage withVignetteAlpha(const QImage& photo)
{
    QImage image = photo.convertToFormat(QImage::Format_ARGB32);
    const double cx = image.width() / 2.0, cy = image.height() / 2.0;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double dx = (x - cx) / cx, dy = (y - cy) / cy;
            const double d = std::min(1.0, dx * dx + dy * dy);
            row[x] = (row[x] & 0x00ffffffu) | (quint32(255 * (1.0 - d)) << 24);
        }
    }
    return image;
}

QByteArray animatedGif(int seed)
{
    constexpr int kWidth = 480, kHeight = 360, kFrames = 8;
    QList<QRgb> palette;
    for (int r = 0; r < 4; ++r)
        for (int g = 0; g < 4; ++g)
            for (int b = 0; b < 4; ++b)
                palette.append(qRgb(r * 85, g * 85, b * 85));
    QList<GifFrame> frames;
    for (int f = 0; f < kFrames; ++f) {
        const QImage photo = photoLike(kWidth, kHeight, quint32(seed * 100 + f), 6);
        GifFrame frame;
        frame.width = kWidth;
        frame.height = kHeight;
        frame.indices.reserve(kWidth * kHeight);
        for (int y = 0; y < kHeight; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(photo.constScanLine(y));
            for (int x = 0; x < kWidth; ++x)
                frame.indices.append(char(
                    (qRed(row[x]) / 64) * 16 + (qGreen(row[x]) / 64) * 4 + qBlue(row[x]) / 64));
        }
        frames.append(frame);
    }
    return encodeGif(kWidth, kHeight, palette, frames);
}

// The 12 MP photo turned by one of Debian's tools (its last word names the file it makes).
QByteArray photoByTool(int seed, const char* command)
{
    const QStringList words = QString::fromLatin1(command).split(u' ');
    const QList<QByteArray> files
        = runTools(encodePng(photoLike(4000, 3000, quint32(seed), 5), PngKind::Rgb8),
            QStringLiteral("in.png"), { words }, { words.last() });
    return files.value(0);
}

QByteArray icon(int seed)
{
    const QImage photo = withVignetteAlpha(photoLike(256, 256, quint32(seed), 4));
    return encodeIco({ { photo.scaled(16, 16), false, 32 }, { photo.scaled(32, 32), false, 32 },
        { photo.scaled(48, 48), false, 32 }, { photo, true, 32 } });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: zarvo_bench_corpus OUTDIR [SET...]\n");
        return 2;
    }
    const QDir out(args.first());
    const QStringList wanted = args.mid(1);

    const std::vector<Set> sets = {
        { "jpeg12mp", 200, "jpg",
            [](int i) { return encodeJpeg(photoLike(4000, 3000, quint32(i), 5), 90); } },
        { "jpeg2mp", 200, "jpg",
            [](int i) { return encodeJpeg(photoLike(1728, 1152, quint32(1000 + i), 5), 90); } },
        { "jpegprogressive", 30, "jpg",
            [](int i) {
                return encodeJpeg(photoLike(4000, 3000, quint32(2000 + i), 5), 90, true);
            } },
        { "webp12mp", 60, "webp",
            [](int i) {
                return encodeWebpFromFile(encodeJpeg(photoLike(4000, 3000, quint32(i), 5), 90), 90);
            } },
        { "png", 40, "png",
            [](int i) {
                return encodePng(
                    withVignetteAlpha(photoLike(1600, 1200, quint32(3000 + i), 3)), PngKind::Rgba8);
            } },
        { "gif", 40, "gif", [](int i) { return animatedGif(4000 + i); } },
        { "bmp", 10, "bmp",
            [](int i) {
                return encodeWithQt(photoLike(1600, 1200, quint32(5000 + i), 5), "BMP");
            } },
        { "ico", 20, "ico", [](int i) { return icon(6000 + i); } },
        { "heic12mp", 10, "heic",
            [](int i) {
                return encodeHeic(photoLike(4000, 3000, quint32(7000 + i), 5), 80, 320);
            } },
        { "avif12mp", 10, "avif",
            [](int i) {
                return encodeAvif(photoLike(4000, 3000, quint32(8000 + i), 5),
                    { QStringLiteral("--min"), QStringLiteral("15"), QStringLiteral("--max"),
                        QStringLiteral("25"), QStringLiteral("--yuv"), QStringLiteral("420") });
            } },
        { "tiff12mp", 20, "tif",
            [](int i) {
                return photoByTool(7000 + i, "convert in.png -depth 8 -compress zip x.tif");
            } },
        { "jxl12mp", 20, "jxl",
            [](int i) { return photoByTool(8000 + i, "cjxl -d 1 -e 3 in.png x.jxl"); } },
        { "many2mp", 10000, "jpg",
            [](int i) { return encodeJpeg(photoLike(1728, 1152, quint32(10000 + i), 5), 75); } },
    };

    for (const Set& set : sets) {
        if (wanted.isEmpty() ? set.count > 1000 : !wanted.contains(QLatin1String(set.name)))
            continue;
        const QString dirPath = out.filePath(QLatin1String(set.name));
        if (QFile::exists(dirPath + QStringLiteral("/.complete")))
            continue;
        if (!QDir().mkpath(dirPath)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(dirPath));
            return 1;
        }
        std::atomic<int> next { 0 };
        std::atomic<bool> failed { false };
        const auto work = [&] {
            for (int i = next++; i < set.count && !failed; i = next++) {
                const QByteArray bytes = set.make(i);
                QFile file(QStringLiteral("%1/%2.%3")
                               .arg(dirPath)
                               .arg(i, set.count > 1000 ? 5 : 3, 10, QLatin1Char('0'))
                               .arg(QLatin1String(set.extension)));
                if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly)
                    || file.write(bytes) != bytes.size())
                    failed = true;
            }
        };
        std::thread helper(work);
        work();
        helper.join();
        if (failed) {
            std::fprintf(stderr, "writing set %s failed\n", set.name);
            return 1;
        }
        QFile complete(dirPath + QStringLiteral("/.complete"));
        complete.open(QIODevice::WriteOnly);
        std::printf("made %s: %d files\n", set.name, set.count);
        std::fflush(stdout);
    }
    return 0;
}
