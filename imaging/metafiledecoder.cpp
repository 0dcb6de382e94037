// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/metafiledecoder.h"

#include "imaging/decodelimits.h"
#include "imaging/sanitizer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/resource.h>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace zarvo {

namespace {

// libemf2svg trusts the header record's description, two strings of nDescription characters
// each where the header says (or up to a null character when nDescription is 0; the second
// starts after the first one's null character), and its pixel format: any of them running past
// the record makes it read beyond its buffer. A header record also lies within the file.
bool emfHeaderIsSound(const QByteArray& bytes)
{
    constexpr quint64 kBaseSize = 88; // up to and including szlMillimeters
    if (quint64(bytes.size()) < kBaseSize)
        return false;
    const auto field
        = [&](quint64 at) { return quint64(qFromLittleEndian<quint32>(bytes.data() + at)); };
    const quint64 recordSize = field(4);
    if (field(0) != 1 || recordSize < kBaseSize || recordSize > quint64(bytes.size()))
        return false;
    // The end of the UTF-16 string at `from` (after its null character), or 0.
    const auto stringEnd = [&](quint64 from) -> quint64 {
        for (quint64 at = from; at + 2 <= recordSize; at += 2) {
            if (bytes[qsizetype(at)] == 0 && bytes[qsizetype(at + 1)] == 0)
                return at + 2;
        }
        return 0;
    };
    const quint64 characters = field(60);
    const quint64 description = field(64);
    if (description != 0) {
        if (description < kBaseSize || description + 2 * characters > recordSize)
            return false;
        const quint64 second = stringEnd(description);
        if (second == 0
            || (characters > 0 ? second + 2 * characters > recordSize : stringEnd(second) == 0))
            return false;
    }
    const quint64 pixelFormatSize = recordSize >= 100 ? field(88) : 0;
    return pixelFormatSize == 0 || (field(92) >= 100 && field(92) + pixelFormatSize <= recordSize);
}

QByteArray emfToSvg(const QByteArray& bytes, QString* error)
{
    if (!emfHeaderIsSound(bytes)) {
        *error = QStringLiteral("EMF: not a readable metafile");
        return {};
    }
    generatorOptions options {};
    char nameSpace[] = "svg";
    options.nameSpace = nameSpace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* out = nullptr;
    size_t length = 0;
    QByteArray input = bytes; // the library takes a non-const buffer
    const int ok = emf2svg(input.data(), size_t(input.size()), &out, &length, &options);
    QByteArray svg;
    if (ok && out)
        svg = QByteArray(out, qsizetype(length));
    else
        *error = QStringLiteral("EMF: not a readable metafile");
    std::free(out);
    return svg;
}

QByteArray wmfToSvg(const QByteArray& bytes, QString* error)
{
    // libwmf keeps global font state while it starts: one conversion at a time.
    static std::mutex oneAtATime;
    const std::lock_guard<std::mutex> lock(oneAtATime);
    wmfAPI_Options options {};
    options.function = wmf_svg_function;
    wmfAPI* api = nullptr;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR;
    if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        *error = QStringLiteral("WMF: cannot start libwmf");
        return {};
    }
    QByteArray input = bytes;
    QByteArray svg;
    wmfD_Rect box {};
    unsigned int width = 0;
    unsigned int height = 0;
    if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(input.data()), long(input.size()))
            == wmf_E_None
        && wmf_scan(api, 0, &box) == wmf_E_None
        && wmf_display_size(api, &width, &height, 96, 96) == wmf_E_None && width > 0
        && height > 0) {
        wmf_svg_t* device = WMF_SVG_GetData(api);
        device->out = wmf_stream_create(api, nullptr);
        device->Description = nullptr;
        device->bbox = box;
        device->width = width;
        device->height = height;
        device->flags |= WMF_SVG_INLINE_IMAGES;
        const bool played = wmf_play(api, 0, &box) == wmf_E_None;
        char* out = nullptr;
        unsigned long length = 0;
        wmf_stream_destroy(api, device->out, &out, &length);
        if (played && out)
            svg = QByteArray(out, qsizetype(length));
        // The stream's buffer belongs to libwmf, which frees it with the API (std::free here
        // freed it twice).
        if (out)
            wmf_free(api, out);
    }
    wmf_api_destroy(api);
    // libwmf writes polylines without a fill, and SVG fills what has none in black: a line
    // drawn across a picture would cover it. Polylines are lines only.
    for (qsizetype at = svg.indexOf("<polyline"); at >= 0; at = svg.indexOf("<polyline", at + 1)) {
        const qsizetype style = svg.indexOf("style=\"", at);
        const qsizetype end = svg.indexOf('>', at);
        if (style > at && style < end)
            svg.insert(style + 7, "fill:none; ");
    }
    if (svg.isEmpty())
        *error = QStringLiteral("WMF: not a readable metafile");
    return svg;
}

} // namespace

QByteArray metafileToSvg(MetafileKind kind, const QByteArray& bytes, QString* error)
{
    if (bytes.isEmpty()) {
        *error = QStringLiteral("metafile: empty");
        return {};
    }
    return kind == MetafileKind::Emf ? emfToSvg(bytes, error) : wmfToSvg(bytes, error);
}

DecodedPicture renderMetafileSvg(const QByteArray& svg)
{
    DecodedPicture result;
    QSvgRenderer renderer(svg);
    QSize size = renderer.defaultSize();
    if (!renderer.isValid() || size.isEmpty()) {
        result.error = QStringLiteral("metafile: no drawing or no size");
        return result;
    }
    if (size.width() > kMaxMetafileSide || size.height() > kMaxMetafileSide)
        size.scale(kMaxMetafileSide, kMaxMetafileSide, Qt::KeepAspectRatio);
    if (exceedsPixelLimit(size.width(), size.height())) {
        result.error = pixelLimitError("metafile", size.width(), size.height());
        return result;
    }
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        result.error = QStringLiteral("metafile: out of memory");
        return result;
    }
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    result.image = std::move(image);
    return result;
}

QString metafileHelperPath()
{
    const QString set = qEnvironmentVariable("ZARVO_METAFILE_HELPER");
    if (!set.isEmpty())
        return set;
    const QString bin = QCoreApplication::applicationDirPath();
    const QString beside = bin + QStringLiteral("/zarvo-metafile");
    const QString installed = bin + QStringLiteral("/../libexec/zarvo/zarvo-metafile");
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
}

DecodedPicture decodeMetafile(MetafileKind kind, const QByteArray& bytes)
{
    DecodedPicture result;
    if (bytes.isEmpty()) {
        result.error = QStringLiteral("metafile: empty");
        return result;
    }
    QProcess helper;
    helper.setProgram(metafileHelperPath());
    helper.setArguments(
        { kind == MetafileKind::Emf ? QStringLiteral("emf") : QStringLiteral("wmf") });
    helper.setProcessChannelMode(QProcess::SeparateChannels);
    helper.setStandardErrorFile(QProcess::nullDevice());
    helper.setChildProcessModifier([] {
        // In the child before exec: only calls that are safe there.
        const rlimit cpu { kMetafileHelperCpuSeconds, kMetafileHelperCpuSeconds + 1 };
        ::setrlimit(RLIMIT_CPU, &cpu);
        // AddressSanitizer reserves terabytes of address space for its shadow: no RLIMIT_AS then.
#ifndef ZARVO_ADDRESS_SANITIZER
        const rlimit memory { rlim_t(kMetafileHelperMemory), rlim_t(kMetafileHelperMemory) };
        ::setrlimit(RLIMIT_AS, &memory);
#endif
    });
    helper.start(QIODevice::ReadWrite);
    if (!helper.waitForStarted()) {
        result.error = QStringLiteral("metafile: cannot run %1: %2")
                           .arg(helper.program(), helper.errorString());
        return result;
    }
    helper.write(bytes);
    helper.closeWriteChannel();
    QByteArray svg;
    bool tooLong = false;
    // Reads as it comes, so that the helper never blocks on a full pipe.
    QDeadlineTimer deadline(kMetafileHelperWaitMs);
    while (helper.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        helper.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
        svg += helper.readAllStandardOutput();
        if (svg.size() > kMaxMetafileSvgBytes) {
            tooLong = true;
            break;
        }
    }
    if (helper.state() != QProcess::NotRunning) {
        helper.kill();
        helper.waitForFinished(-1);
        result.error = tooLong ? QStringLiteral("metafile: drawing too large")
                               : QStringLiteral("metafile: the helper took too long");
        return result;
    }
    svg += helper.readAllStandardOutput();
    if (helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0 || svg.isEmpty()
        || svg.size() > kMaxMetafileSvgBytes) {
        result.error = kind == MetafileKind::Emf ? QStringLiteral("EMF: not a readable metafile")
                                                 : QStringLiteral("WMF: not a readable metafile");
        return result;
    }
    return renderMetafileSvg(svg);
}

int metafileHelperMain(int argc, char** argv)
{
    if (argc != 2 || (std::strcmp(argv[1], "emf") != 0 && std::strcmp(argv[1], "wmf") != 0)) {
        std::fprintf(stderr, "usage: zarvo-metafile emf|wmf < METAFILE > SVG\n");
        return 2;
    }
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = in.readAll();
    QString error;
    const QByteArray svg = metafileToSvg(
        std::strcmp(argv[1], "emf") == 0 ? MetafileKind::Emf : MetafileKind::Wmf, bytes, &error);
    if (svg.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(svg) != svg.size() || !out.flush())
        return 1;
    return 0;
}

} // namespace zarvo
