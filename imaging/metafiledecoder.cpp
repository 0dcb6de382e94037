// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/metafiledecoder.h"

#include "imaging/decodelimits.h"

#include <QPainter>
#include <QSvgRenderer>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace zarvo {

namespace {

QByteArray emfToSvg(const QByteArray& bytes, QString* error)
{
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
        std::free(out);
    }
    wmf_api_destroy(api);
    if (svg.isEmpty())
        *error = QStringLiteral("WMF: not a readable metafile");
    return svg;
}

} // namespace

DecodedPicture decodeMetafile(MetafileKind kind, const QByteArray& bytes)
{
    DecodedPicture result;
    if (bytes.isEmpty()) {
        result.error = QStringLiteral("metafile: empty");
        return result;
    }
    const QByteArray svg = kind == MetafileKind::Emf ? emfToSvg(bytes, &result.error)
                                                     : wmfToSvg(bytes, &result.error);
    if (svg.isEmpty())
        return result;
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

} // namespace zarvo
