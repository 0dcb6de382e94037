// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/webpdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/fitrect.h"
#include "imaging/orientation.h"
#include "imaging/pixelbuffer.h"
#include "imaging/whiteblend.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace zarvo {

namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
// Bytes B, G, R, A: QImage's 32-bit pixels on this machine.
constexpr WEBP_CSP_MODE kStraightMode = MODE_BGRA;
constexpr WEBP_CSP_MODE kPremultipliedMode = MODE_bgrA;
#else
constexpr WEBP_CSP_MODE kStraightMode = MODE_ARGB;
constexpr WEBP_CSP_MODE kPremultipliedMode = MODE_Argb;
#endif

struct DemuxDeleter
{
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};
using Demux = std::unique_ptr<WebPDemuxer, DemuxDeleter>;

struct AnimDecoderDeleter
{
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

WebPData dataOf(const QByteArray& bytes)
{
    return { reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()) };
}

QString statusText(VP8StatusCode status)
{
    switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
        return QStringLiteral("WebP: out of memory");
    case VP8_STATUS_INVALID_PARAM:
        return QStringLiteral("WebP: invalid parameter");
    case VP8_STATUS_BITSTREAM_ERROR:
        return QStringLiteral("WebP: damaged data");
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        return QStringLiteral("WebP: unsupported feature");
    case VP8_STATUS_NOT_ENOUGH_DATA:
        return QStringLiteral("WebP: file ends early");
    default:
        return QStringLiteral("WebP: decoding failed");
    }
}

// The Exif orientation of the file's EXIF chunk, 1 without one.
int orientationOf(const WebPDemuxer* demux)
{
    if (!(WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS) & EXIF_FLAG))
        return 1;
    WebPChunkIterator chunk;
    int orientation = 1;
    if (WebPDemuxGetChunk(demux, "EXIF", 1, &chunk)) {
        orientation = exifOrientation(QByteArrayView(
            reinterpret_cast<const char*>(chunk.chunk.bytes), qsizetype(chunk.chunk.size)));
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    return orientation;
}

// libwebp's own memory for decoding a bitstream besides the output: a lossless one holds its
// whole picture as 32-bit pixels (and a little more); a lossy one works on a few rows.
qint64 workBytes(const WebPBitstreamFeatures& features)
{
    const qint64 pixels = qint64(features.width) * features.height;
    return features.format == 1 ? 0 : pixels * 4 + pixels / 4;
}

qint64 pictureBytes(int width, int height)
{
    return qint64(width) * height * 4;
}

QString tooMuchMemory(qint64 bytes)
{
    return QStringLiteral("WebP: decoding would take %1 bytes, more than the decode budget")
        .arg(bytes);
}

} // namespace

WebpDecodeResult decodeWebp(const QByteArray& bytes, int box, PixelBuffer* reuse)
{
    WebpDecodeResult result;
    QString& error = result.picture.error;
    const WebPData data = dataOf(bytes);
    const Demux demux(data.size > 0 ? WebPDemux(&data) : nullptr);
    if (!demux) {
        error = QStringLiteral("WebP: not a WebP file, or damaged");
        return result;
    }
    const int canvasWidth = int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
    const int canvasHeight = int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
    if (exceedsPixelLimit(canvasWidth, canvasHeight)) {
        error = pixelLimitError("WebP", canvasWidth, canvasHeight);
        return result;
    }
    const bool animated = WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS) & ANIMATION_FLAG;
    WebPIterator frame;
    if (!WebPDemuxGetFrame(demux.get(), 1, &frame)) {
        error = QStringLiteral("WebP: no picture in the file");
        return result;
    }
    // The frame's data lies inside `bytes`: it stays valid after the iterator is released.
    const WebPData fragment = frame.fragment;
    const QPoint frameAt(frame.x_offset, frame.y_offset);
    WebPDemuxReleaseIterator(&frame);

    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) {
        error = QStringLiteral("WebP: library version mismatch");
        return result;
    }
    const VP8StatusCode headers = WebPGetFeatures(fragment.bytes, fragment.size, &config.input);
    if (headers != VP8_STATUS_OK) {
        error = statusText(headers);
        return result;
    }
    const QSize frameSize(config.input.width, config.input.height);
    if (exceedsPixelLimit(frameSize.width(), frameSize.height())) {
        error = pixelLimitError("WebP", frameSize.width(), frameSize.height());
        return result;
    }
    const QRect canvas(0, 0, canvasWidth, canvasHeight);
    const QRect part(frameAt, frameSize);
    if (!canvas.contains(part)) {
        error = QStringLiteral("WebP: the first frame lies outside the canvas");
        return result;
    }

    const int orientation = animated ? 1 : orientationOf(demux.get());
    const bool swaps = orientationSwapsSides(orientation);
    result.fullSize = swaps ? canvas.size().transposed() : canvas.size();

    // What is decoded, in the stored orientation: the frame at `outSize`, at `outAt` of a picture
    // of `pictureSize` (the canvas at full size; the frame alone, scaled, for a thumbnail).
    QSize outSize = frameSize;
    QSize pictureSize = canvas.size();
    QPoint outAt = frameAt;
    if (box > 0) {
        const DrawRect fit = FitRect(result.fullSize.width(), result.fullSize.height(), box, box);
        const int fitWidth = std::max(1, swaps ? fit.height() : fit.width());
        const int fitHeight = std::max(1, swaps ? fit.width() : fit.height());
        if (fitWidth < canvasWidth || fitHeight < canvasHeight) {
            const double sx = double(fitWidth) / canvasWidth;
            const double sy = double(fitHeight) / canvasHeight;
            outSize = QSize(std::max(1, int(std::lround(frameSize.width() * sx))),
                std::max(1, int(std::lround(frameSize.height() * sy))));
        }
        pictureSize = outSize;
        outAt = QPoint();
        if (part != canvas)
            result.part = part;
    }

    const qint64 outBytes = pictureBytes(pictureSize.width(), pictureSize.height());
    const qint64 needed = outBytes * (swaps ? 2 : 1) + workBytes(config.input);
    if (needed > DecodeBudget::shared().totalBytes()) {
        error = tooMuchMemory(needed);
        return result;
    }
    DecodeBudget::Reservation reservation = DecodeBudget::shared().acquire(needed);
    QImage image = allocatePicture(reuse, pictureSize.width(), pictureSize.height());
    if (image.isNull()) {
        error = QStringLiteral("WebP: out of memory");
        return result;
    }
    if (pictureSize != outSize)
        image.fill(0xffffffffu); // the canvas around an animation's first frame
    const qsizetype stride = image.bytesPerLine();
    config.output.colorspace = kStraightMode;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = image.bits() + outAt.y() * stride + qsizetype(outAt.x()) * 4;
    config.output.u.RGBA.stride = int(stride);
    config.output.u.RGBA.size
        = size_t(stride) * (outSize.height() - 1) + size_t(outSize.width()) * 4;
    if (outSize != frameSize) {
        config.options.use_scaling = 1;
        config.options.scaled_width = outSize.width();
        config.options.scaled_height = outSize.height();
    }
    const VP8StatusCode status = WebPDecode(fragment.bytes, fragment.size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) {
        error = statusText(status);
        return result;
    }
    if (config.input.has_alpha)
        blendOverWhite(image);
    image = applyOrientation(std::move(image), orientation);
    if (image.isNull()) {
        error = QStringLiteral("WebP: out of memory");
        return result;
    }
    result.picture.image = std::move(image);
    return result;
}

bool isAnimatedWebp(const QByteArray& bytes)
{
    WebPBitstreamFeatures features;
    return !bytes.isEmpty()
        && WebPGetFeatures(
               reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), &features)
        == VP8_STATUS_OK
        && features.has_animation;
}

GifAnimation decodeWebpAnimation(const QByteArray& bytes, qint64 maxFrameBytes)
{
    using Status = GifAnimation::Status;
    const auto failed = [](const QString& why) {
        return GifAnimation::ofComposedFrames({}, {}, -1, Status::Failed, why);
    };
    const WebPData data = dataOf(bytes);
    WebPBitstreamFeatures features;
    if (data.size == 0 || WebPGetFeatures(data.bytes, data.size, &features) != VP8_STATUS_OK)
        return failed(QStringLiteral("WebP: not a WebP file, or damaged"));
    if (exceedsPixelLimit(features.width, features.height))
        return failed(pixelLimitError("WebP", features.width, features.height));
    // libwebp's canvas and the one before its frame was drawn, and the frame being copied out.
    const qint64 canvasBytes = pictureBytes(features.width, features.height);
    if (canvasBytes * 3 > DecodeBudget::shared().totalBytes())
        return failed(tooMuchMemory(canvasBytes * 3));
    const DecodeBudget::Reservation reservation = DecodeBudget::shared().acquire(canvasBytes * 3);

    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        return failed(QStringLiteral("WebP: library version mismatch"));
    options.color_mode = kPremultipliedMode;
    options.use_threads = 0;
    const std::unique_ptr<WebPAnimDecoder, AnimDecoderDeleter> decoder(
        WebPAnimDecoderNew(&data, &options));
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info))
        return failed(QStringLiteral("WebP: not a WebP file, or damaged"));
    const QSize screen(int(info.canvas_width), int(info.canvas_height));
    if (exceedsPixelLimit(screen.width(), screen.height()))
        return failed(pixelLimitError("WebP", screen.width(), screen.height()));

    QList<GifFrame> frames;
    Status status = Status::Complete;
    QString why;
    qint64 kept = 0;
    int previousEnd = 0;
    const qint64 cost
        = pictureBytes(screen.width(), screen.height()) + GifAnimation::kFrameOverheadBytes;
    while (WebPAnimDecoderHasMoreFrames(decoder.get())) {
        if (kept + cost > maxFrameBytes) {
            status = Status::Truncated;
            why = QStringLiteral("WebP: frames beyond %1 bytes left out").arg(maxFrameBytes);
            break;
        }
        uint8_t* pixels = nullptr;
        int end = 0;
        if (!WebPAnimDecoderGetNext(decoder.get(), &pixels, &end)) {
            status = Status::Damaged;
            why = QStringLiteral("WebP: damaged frame");
            break;
        }
        QImage image(screen, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            status = Status::Truncated;
            why = QStringLiteral("WebP: out of memory");
            break;
        }
        const size_t rowBytes = size_t(screen.width()) * 4;
        for (int y = 0; y < screen.height(); ++y)
            std::memcpy(image.scanLine(y), pixels + rowBytes * size_t(y), rowBytes);
        GifFrame frame;
        frame.rect = QRect(QPoint(), screen);
        frame.image = std::move(image);
        frame.delayCentiseconds = std::max(0, (end - previousEnd + 5) / 10);
        previousEnd = end;
        frames.append(std::move(frame));
        kept += cost;
    }
    if (frames.isEmpty())
        return failed(why.isEmpty() ? QStringLiteral("WebP: no frame") : why);
    // WebP counts plays (0: endless), GIF repeats after the first (none: play once).
    const int loopCount = info.loop_count == 0 ? 0
        : info.loop_count == 1                 ? -1
                               : int(std::min<uint32_t>(info.loop_count, 65536)) - 1;
    return GifAnimation::ofComposedFrames(screen, std::move(frames), loopCount, status, why);
}

} // namespace zarvo
