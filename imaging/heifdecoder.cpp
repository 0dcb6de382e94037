// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/heifdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/whiteblend.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace zarvo {

namespace {

struct ContextFree
{
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease
{
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease
{
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsFree
{
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleRelease>;
using Image = std::unique_ptr<heif_image, ImageRelease>;
using Options = std::unique_ptr<heif_decoding_options, OptionsFree>;

QString heifError(const heif_error& error)
{
    return QStringLiteral("HEIF: ") + QString::fromUtf8(error.message ? error.message : "error");
}

// A handle's sizes as stored (ispe) and as shown (after clap, irot, imir), checked against the
// pixel limit. The stored size is what the codec decodes into.
QString refusal(const heif_image_handle* handle)
{
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    const int storedWidth = heif_image_handle_get_ispe_width(handle);
    const int storedHeight = heif_image_handle_get_ispe_height(handle);
    if (exceedsPixelLimit(width, height))
        return pixelLimitError("HEIF", width, height);
    // Some writers leave out ispe (0 here); libheif then takes the codec's size.
    if ((storedWidth > 0 || storedHeight > 0) && exceedsPixelLimit(storedWidth, storedHeight))
        return pixelLimitError("HEIF", storedWidth, storedHeight);
    return {};
}

// What a decode of the handle takes at most while it runs: the codec's planes (three full planes
// and alpha, two bytes a sample above 8 bits, and the 16-bit RGB libheif goes through when it
// reduces those to 8), the interleaved RGBA picture, and its turned copy when irot applies.
qint64 decodeBytes(const heif_image_handle* handle)
{
    const qint64 pixels = std::max(saturatingProduct(heif_image_handle_get_width(handle),
                                       heif_image_handle_get_height(handle)),
        saturatingProduct(
            heif_image_handle_get_ispe_width(handle), heif_image_handle_get_ispe_height(handle)));
    const int bits = heif_image_handle_get_luma_bits_per_pixel(handle);
    const qint64 sample = bits > 8 ? 2 : 1;
    const qint64 perPixel = 3 * sample + (heif_image_handle_has_alpha_channel(handle) ? sample : 0)
        + (sample > 1 ? 8 : 0) + 4 + 4;
    return saturatingProduct(pixels, perPixel);
}

// Whether a thumbnail of tw x th has the shape of a picture of w x h, to the pixel its sides were
// rounded to.
bool sameShape(qint64 tw, qint64 th, qint64 w, qint64 h)
{
    return std::llabs(tw * h - th * w) <= (w + h) / 2 + 1;
}

// The smallest stored thumbnail that covers a box x box fit of the primary picture, or null.
Handle thumbnailFor(const heif_image_handle* primary, int box)
{
    const int width = heif_image_handle_get_width(primary);
    const int height = heif_image_handle_get_height(primary);
    if (std::max(width, height) <= box)
        return {};
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0)
        return {};
    std::unique_ptr<heif_item_id[]> ids(new heif_item_id[size_t(count)]);
    const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.get(), count);
    Handle best;
    for (int i = 0; i < listed; ++i) {
        heif_image_handle* raw = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[i], &raw).code != heif_error_Ok || !raw)
            continue;
        Handle thumbnail(raw);
        const int tw = heif_image_handle_get_width(raw);
        const int th = heif_image_handle_get_height(raw);
        if (std::max(tw, th) < box || !sameShape(tw, th, width, height) || !refusal(raw).isEmpty())
            continue;
        if (!best
            || qint64(tw) * th < qint64(heif_image_handle_get_width(best.get()))
                    * heif_image_handle_get_height(best.get()))
            best = std::move(thumbnail);
    }
    return best;
}

void releaseImage(void* image)
{
    heif_image_release(static_cast<heif_image*>(image));
}

// The interleaved RGBA picture made a Format_RGB32 QImage in place: bytes R, G, B, A become the
// 32-bit pixel 0xAARRGGBB, drawn over white where there is alpha. The QImage owns the libheif
// picture from then on.
QImage toRgb32(Image image, bool alpha, bool premultiplied)
{
    int stride = 0;
    uint8_t* data = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (!data || width <= 0 || height <= 0 || stride < width * 4)
        return {};
    for (int y = 0; y < height; ++y) {
        uint8_t* p = data + qsizetype(y) * stride;
        auto* out = reinterpret_cast<QRgb*>(p);
        for (int x = 0; x < width; ++x, p += 4) {
            const uint r = p[0], g = p[1], b = p[2], a = alpha ? p[3] : 255;
            if (a == 255)
                out[x] = 0xff000000u | (r << 16) | (g << 8) | b;
            else if (premultiplied)
                out[x] = qRgb(int(std::min(255u, r + 255 - a)), int(std::min(255u, g + 255 - a)),
                    int(std::min(255u, b + 255 - a)));
            else
                out[x] = blendOverWhite((a << 24) | (r << 16) | (g << 8) | b);
        }
    }
    heif_image* owned = image.release();
    QImage picture(data, width, height, stride, QImage::Format_RGB32, releaseImage, owned);
    if (picture.isNull())
        heif_image_release(owned);
    return picture;
}

} // namespace

HeifDecodeResult decodeHeif(const QByteArray& bytes, int box)
{
    HeifDecodeResult result;
    DecodedPicture& picture = result.picture;
    if (bytes.isEmpty()) {
        picture.error = QStringLiteral("HEIF: no data");
        return result;
    }
    Context context(heif_context_alloc());
    if (!context) {
        picture.error = QStringLiteral("HEIF: out of memory");
        return result;
    }
    heif_error error = heif_context_read_from_memory_without_copy(
        context.get(), bytes.constData(), size_t(bytes.size()), nullptr);
    if (error.code != heif_error_Ok) {
        // libheif's own refusal of sizes beyond its limits, before it allocates anything.
        picture.error = error.subcode == heif_suberror_Security_limit_exceeded
            ? QStringLiteral("HEIF: picture too large (%1)").arg(QString::fromUtf8(error.message))
            : heifError(error);
        return result;
    }
    heif_image_handle* rawPrimary = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawPrimary);
    if (error.code != heif_error_Ok || !rawPrimary) {
        picture.error = heifError(error);
        return result;
    }
    const Handle primary(rawPrimary);
    picture.error = refusal(primary.get());
    if (!picture.error.isEmpty())
        return result;
    result.fullSize = QSize(
        heif_image_handle_get_width(primary.get()), heif_image_handle_get_height(primary.get()));

    const Handle thumbnail = box > 0 ? thumbnailFor(primary.get(), box) : Handle();
    const heif_image_handle* handle = thumbnail ? thumbnail.get() : primary.get();
    const qint64 needed = decodeBytes(handle);
    if (needed > DecodeBudget::shared().totalBytes()) {
        picture.error = QStringLiteral("HEIF: picture needs too much memory (%1 MB to decode %2 x "
                                       "%3 pixels)")
                            .arg(needed >> 20)
                            .arg(result.fullSize.width())
                            .arg(result.fullSize.height());
        return result;
    }
    DecodeBudget::Reservation reservation = DecodeBudget::shared().acquire(needed);

    const Options options(heif_decoding_options_alloc());
    if (!options) {
        picture.error = QStringLiteral("HEIF: out of memory");
        return result;
    }
    options->convert_hdr_to_8bit = 1;
    heif_image* rawImage = nullptr;
    error = heif_decode_image(
        handle, &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, options.get());
    Image image(rawImage);
    if (error.code != heif_error_Ok || !image) {
        picture.error = heifError(error);
        return result;
    }
    picture.image = toRgb32(std::move(image), heif_image_handle_has_alpha_channel(handle) != 0,
        heif_image_handle_is_premultiplied_alpha(handle) != 0);
    if (picture.image.isNull())
        picture.error = QStringLiteral("HEIF: the decoder gave no picture");
    else if (!thumbnail)
        result.fullSize = picture.image.size();
    return result;
}

} // namespace zarvo
