// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// Writes the fuzz targets' seed corpora into OUT/<target>/: small pictures of every kind the
// decoders read, made by the tests' own encoders (TIFF and JPEG XL by Debian's tools), tree
// streams and paths. Nothing downloaded.
//   zarvo_fuzz_seeds OUT
#include "imaging/gifbuilder.h"
#include "support/heiftools.h"
#include "support/testpictures.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

using namespace zarvo::testpictures;

namespace {

bool write(const QString& dir, const char* target, int index, const QByteArray& bytes)
{
    const QString folder = dir + QLatin1Char('/') + QLatin1String(target);
    QFile file(folder + QStringLiteral("/seed%1").arg(index, 3, 10, QLatin1Char('0')));
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly)
        && file.write(bytes) == bytes.size() && file.flush();
}

QList<QByteArray> jpegs()
{
    return { encodeJpeg(photoLike(24, 16, 1), 75), encodeJpeg(photoLike(17, 9, 2), 90, true),
        encodeJpeg(blocks(16, 16, false), 80, false, JpegColor::Gray),
        encodeJpeg(blocks(16, 8, false), 80, false, JpegColor::Cmyk),
        encodeJpeg(photoLike(40, 24, 3), 50, true, JpegColor::Cmyk),
        encodeJpegManyScans(photoLike(8, 8, 4)),
        withApp1(encodeJpeg(photoLike(20, 12, 5), 75), exifWithOrientation(6, true)) };
}

QList<QByteArray> pngs()
{
    QList<QByteArray> out;
    const QImage picture = blocks(12, 10, true);
    for (PngKind kind :
        { PngKind::Rgb8, PngKind::Rgba8, PngKind::Rgb16, PngKind::Rgba16, PngKind::Gray8,
            PngKind::Gray16, PngKind::GrayAlpha8, PngKind::Gray1, PngKind::Palette8 })
        out.append(encodePng(picture, kind, kind == PngKind::Palette8 || kind == PngKind::Rgba8));
    return out;
}

QList<QByteArray> gifs()
{
    GifFrame first;
    first.width = 8;
    first.height = 6;
    for (int i = 0; i < 48; ++i)
        first.indices.append(char(i % 4));
    GifFrame second = first;
    second.left = 3;
    second.top = 2;
    second.transparentIndex = 1;
    second.interlaced = true;
    second.localColors = { qRgb(1, 2, 3), qRgb(200, 100, 0), qRgb(0, 0, 255), qRgb(9, 9, 9) };
    const QList<QRgb> colors
        = { qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 255, 0) };
    return { encodeGif(8, 6, colors, { first }), encodeGif(12, 9, colors, { first, second }),
        encodeGif(12, 9, {}, { second }) };
}

// Animations as the GIF tool's tests write them: every disposal, transparency, local tables,
// interlacing, frames beyond the screen, empty frames, with and without the loop extension.
QList<QByteArray> animations()
{
    using zarvo::test::buildGif;
    using zarvo::test::solidFrame;
    const QList<QRgb> colors
        = { qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255) };
    zarvo::test::BuiltFrame patterned = solidFrame(QRect(1, 1, 6, 4), 0);
    for (int i = 0; i < patterned.indices.size(); ++i)
        patterned.indices[i] = char(i % 4);
    patterned.interlaced = true;
    patterned.transparent = 2;
    patterned.localColors = { qRgb(9, 8, 7), qRgb(1, 2, 3) };
    return { buildGif(QSize(8, 6), colors,
                 { solidFrame(QRect(0, 0, 8, 6), 1), solidFrame(QRect(2, 2, 3, 3), 2, 2),
                     solidFrame(QRect(4, 1, 4, 4), 3, 3), patterned }),
        buildGif(QSize(4, 4), colors,
            { solidFrame(QRect(2, 2, 6, 6), 2, 1), solidFrame(QRect(0, 0, 0, 0), 0) }, -1),
        buildGif(QSize(0, 0), colors, { solidFrame(QRect(1, 2, 3, 2), 3) }, 3) };
}

QList<QByteArray> emfs()
{
    return { encodeEmf(QSize(40, 30), QRect(5, 5, 20, 10), qRgb(200, 0, 0)),
        encodeEmf(QSize(16, 64), QRect(0, 0, 16, 32), qRgb(0, 0, 255), QStringLiteral("Ab")) };
}

QList<QByteArray> wmfs()
{
    return { encodeWmf(QSize(40, 30), QRect(5, 5, 20, 10), qRgb(200, 0, 0)),
        encodeWmf(QSize(16, 64), QRect(0, 0, 16, 32), qRgb(0, 0, 255), QStringLiteral("Ab")) };
}

QList<QByteArray> icos()
{
    return { encodeIco({ { blocks(8, 8, true), false, 32 } }),
        encodeIco({ { blocks(8, 8, true), false, 24 } }),
        encodeIco({ { blocks(8, 8, true), false, 8 }, { blocks(4, 4, true), false, 4 } }),
        encodeIco({ { blocks(16, 16, true), false, 1 } }),
        encodeIco({ { blocks(10, 10, true), true, 32 } }) };
}

QList<QByteArray> bmps()
{
    QList<QByteArray> out;
    for (QImage::Format format : { QImage::Format_RGB32, QImage::Format_ARGB32,
             QImage::Format_RGB888, QImage::Format_Indexed8, QImage::Format_Mono })
        out.append(encodeWithQt(
            blocks(9, 7, format == QImage::Format_ARGB32).convertToFormat(format), "BMP"));
    return out;
}

// A seed an outside encoder made; ends the program when the encoder failed.
QList<QByteArray> made(const char* target, const QList<QByteArray>& seeds)
{
    for (const QByteArray& seed : seeds) {
        if (seed.isEmpty()) {
            std::fprintf(
                stderr, "the %s seeds could not be made (is its encoder installed?)\n", target);
            std::exit(1);
        }
    }
    return seeds;
}

// Made by heif-enc and avifenc (libheif-examples, libavif-bin): small, with alpha, with a stored
// thumbnail, with rotation and mirroring boxes.
QList<QByteArray> heifs()
{
    return made("heif",
        { encodeHeic(photoLike(24, 16, 1), 50), encodeHeic(blocks(17, 9, true), 60),
            encodeHeic(photoLike(64, 40, 2), 40, 32) });
}

QList<QByteArray> avifs()
{
    return made("avif",
        { encodeAvif(photoLike(24, 16, 3)),
            encodeAvif(blocks(17, 9, true), { QStringLiteral("--yuv"), QStringLiteral("420") }),
            encodeAvif(photoLike(20, 12, 4),
                { QStringLiteral("-d"), QStringLiteral("10"), QStringLiteral("--irot"),
                    QStringLiteral("1"), QStringLiteral("--imir"), QStringLiteral("0"),
                    QStringLiteral("--crop"), QStringLiteral("2,2,16,8") }) });
}

// Files of the formats this program only reads, made by Debian's tools from a small picture
// (each entry: the commands, the last word of the last naming the file made).
QList<QByteArray> madeByTools(const QImage& picture, const QList<QList<const char*>>& recipes)
{
    QList<QByteArray> out;
    for (const QList<const char*>& recipe : recipes) {
        QList<QStringList> commands;
        for (const char* line : recipe)
            commands.append(QString::fromLatin1(line).split(u' '));
        const QList<QByteArray> files = runTools(encodePng(picture, PngKind::Rgba8),
            QStringLiteral("in.png"), commands, { commands.last().last() });
        if (files.isEmpty())
            std::fprintf(stderr, "cannot make the seed of: %s\n", recipe.last());
        out += files;
    }
    return out;
}

QList<QByteArray> tiffs()
{
    return madeByTools(blocks(12, 10, true),
        { { "convert in.png -alpha off -depth 8 -compress zip x.tif" },
            { "convert in.png -depth 16 -compress lzw x.tif" },
            { "convert in.png -colorspace Gray -depth 8 x.tif" },
            { "convert in.png -alpha off -type Palette -depth 8 x.tif" },
            { "convert in.png -alpha off -depth 8 -compress none x.tif",
                "tiffcp -c jpeg -t -w 16 -l 16 x.tif y.tif" },
            { "convert in.png -alpha off -depth 8 -compress none x.tif",
                "tiffcp -p separate -c packbits x.tif y.tif" },
            { "convert in.png -alpha off -depth 8 x.tif", "tiffset -s 274 6 x.tif" },
            { "convert in.png -resize 6x5 half.png", "convert in.png half.png -depth 8 x.tif",
                "tiffset -d 1 -s 254 1 x.tif" } });
}

QList<QByteArray> jxls()
{
    return madeByTools(blocks(12, 10, true),
        { { "cjxl -q 80 in.png x.jxl" }, { "cjxl -d 0 in.png x.jxl" },
            { "cjxl -d 0 --container=1 in.png x.jxl" },
            { "convert in.png -alpha off in.jpg", "cjxl in.jpg x.jxl" } });
}

// Made by Debian's WebP tools (cwebp, webpmux) when they are installed; none otherwise.
QList<QByteArray> webps()
{
    QList<QByteArray> out { encodeWebp(photoLike(24, 16, 3), 75),
        encodeWebp(blocks(12, 9, true), 90), encodeWebp(blocks(10, 7, true), -1),
        encodeWebp(photoLike(16, 12, 5), 80, 6) };
    out.removeAll(QByteArray());
    return out;
}

QList<QByteArray> webpAnimations()
{
    QList<QByteArray> out { encodeAnimatedWebp({ { blocks(12, 8, true), QPoint(0, 0), 50 },
                                                   { blocks(6, 4, false), QPoint(2, 2), 0 } },
                                0),
        encodeAnimatedWebp(
            { { photoLike(8, 8, 1), QPoint(4, 0), 100 }, { blocks(8, 8, true), QPoint(0, 2), 30 },
                { photoLike(4, 4, 2), QPoint(0, 0), 20 } },
            2) };
    out.removeAll(QByteArray());
    return out;
}

QList<QByteArray> treeStreams()
{
    return { QByteArray(),
        QByteArray("\x01"
                   "A\r\n\tB\r\n\t\tC\r\nD\r\n"),
        QByteArray("a\nb\r  c\r\n d\0x\n\t\te"),
        QByteArray("\t\x01"
                   "Group\r\n\t\t猫\r\n\t\x01"
                   "g2\r\n\t\t\t狗\r\n\t\tcats"),
        QByteArray("one\r\ntwo\r\n\r\n\tthree") };
}

QList<QByteArray> paths()
{
    return { QByteArray("/home/user/Pictures/cat.jpg"), QByteArray("/tmp/a.b.PNG"),
        QByteArray("noextension"), QByteArray("/照片/小猫在窗台上晒太阳的样子真可爱极了.jpeg"),
        QByteArray("C:\\dir\\x.Gif"),
        QByteArray("/dir.d/file") + QByteArray(1, '\0') + QByteArray("../x"),
        QByteArray("/") + QByteArray(200, 'p') + QByteArray(".bmp"), QByteArray("/a/.ico"),
        QByteArray("/DCIM/IMG_0001.HEIC"), QByteArray("x.tiff") };
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarvo_fuzz_seeds OUT\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const struct
    {
        const char* target;
        QList<QByteArray> seeds;
    } sets[] = { { "jpeg", jpegs() }, { "png", pngs() }, { "gif", gifs() },
        { "gifanim", animations() }, { "emf", emfs() }, { "wmf", wmfs() }, { "ico", icos() },
        { "bmp", bmps() }, { "heif", heifs() }, { "avif", avifs() }, { "tiff", tiffs() },
        { "jxl", jxls() }, { "treestream", treeStreams() }, { "names", paths() },
        { "webp", webps() + webpAnimations() }, { "webpanim", webpAnimations() + webps() } };
    int count = 0;
    for (const auto& set : sets) {
        for (int i = 0; i < set.seeds.size(); ++i) {
            if (!write(out, set.target, i, set.seeds[i])) {
                std::fprintf(stderr, "cannot write the seeds into %s\n", argv[1]);
                return 1;
            }
            ++count;
        }
    }
    std::printf("%d seeds written\n", count);
    return 0;
}
