// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/avifdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/orientation.h"
#include "imaging/pixelbuffer.h"
#include "imaging/whiteblend.h"

#include <QThread>

#include <avif/avif.h>

#include <algorithm>
#include <memory>

namespace zarvo {

namespace {

struct DecoderDestroy
{
    void operator()(avifDecoder* decoder) const { avifDecoderDestroy(decoder); }
};
struct ImageDestroy
{
    void operator()(avifImage* image) const { avifImageDestroy(image); }
};

QString avifError(avifResult code, const avifDiagnostics& diag)
{
    QString text = QStringLiteral("AVIF: ") + QString::fromUtf8(avifResultToString(code));
    if (diag.error[0] != '\0')
        text += QStringLiteral(" (") + QString::fromUtf8(diag.error) + QLatin1Char(')');
    return text;
}

// Memory a decode takes at most while it runs: dav1d's frame (three planes, two bytes a sample
// above 8 bits) and alpha, the RGB32 picture, and its turned copy.
qint64 decodeBytes(qint64 width, qint64 height, int depth, bool alpha, bool turned)
{
    const qint64 pixels = saturatingProduct(width, height);
    const qint64 sample = depth > 8 ? 2 : 1;
    return saturatingProduct(pixels, 3 * sample + (alpha ? sample : 0) + 4 + (turned ? 4 : 0));
}

} // namespace

int orientationOfRotationAndMirror(int angle, int mirror)
{
    // Rows: quarter turns anticlockwise; columns: no mirroring, top-bottom, left-right.
    static constexpr int kOrientation[4][3]
        = { { 1, 4, 2 }, { 8, 5, 7 }, { 3, 2, 4 }, { 6, 7, 5 } };
    return kOrientation[angle & 3][mirror == 0 ? 1 : mirror == 1 ? 2 : 0];
}

AvifDecodeResult decodeAvif(const QByteArray& bytes, int box, PixelBuffer* reuse)
{
    AvifDecodeResult result;
    DecodedPicture& picture = result.picture;
    if (bytes.isEmpty()) {
        picture.error = QStringLiteral("AVIF: no data");
        return result;
    }
    const std::unique_ptr<avifDecoder, DecoderDestroy> decoder(avifDecoderCreate());
    if (!decoder) {
        picture.error = QStringLiteral("AVIF: out of memory");
        return result;
    }
    // Thumbnails are made by several workers at once; a picture shown alone may use every core.
    decoder->maxThreads = box > 0 ? 1 : std::clamp(QThread::idealThreadCount(), 1, 8);
    decoder->imageSizeLimit = uint32_t(kMaxPixels);
    decoder->ignoreExif = AVIF_TRUE;
    decoder->ignoreXMP = AVIF_TRUE;
    // Files from older writers lack boxes the strict reading wants (pixi, a valid clap); they
    // still show as everybody else shows them.
    decoder->strictFlags = AVIF_STRICT_DISABLED;
    avifResult code = avifDecoderSetIOMemory(
        decoder.get(), reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    if (code == AVIF_RESULT_OK)
        code = avifDecoderParse(decoder.get());
    if (code != AVIF_RESULT_OK) {
        picture.error = avifError(code, decoder->diag);
        return result;
    }

    const avifImage* parsed = decoder->image;
    const uint32_t storedWidth = parsed->width;
    const uint32_t storedHeight = parsed->height;
    if (exceedsPixelLimit(storedWidth, storedHeight)) {
        picture.error = pixelLimitError("AVIF", storedWidth, storedHeight);
        return result;
    }
    // The clean aperture, when it is a valid crop of the picture (else it is ignored).
    avifCropRect crop { 0, 0, storedWidth, storedHeight };
    bool cropped = false;
    if (parsed->transformFlags & AVIF_TRANSFORM_CLAP) {
        avifDiagnostics diag;
        avifCropRect rect {};
        if (avifCropRectConvertCleanApertureBox(
                &rect, &parsed->clap, storedWidth, storedHeight, parsed->yuvFormat, &diag)
            && rect.width > 0 && rect.height > 0) {
            crop = rect;
            cropped = crop.width != storedWidth || crop.height != storedHeight;
        }
    }
    const int angle = (parsed->transformFlags & AVIF_TRANSFORM_IROT) ? parsed->irot.angle & 3 : 0;
    const int mirror = (parsed->transformFlags & AVIF_TRANSFORM_IMIR) ? parsed->imir.mode & 1 : -1;
    const int orientation = orientationOfRotationAndMirror(angle, mirror);
    const bool turned = orientationSwapsSides(orientation);
    result.fullSize = turned ? QSize(int(crop.height), int(crop.width))
                             : QSize(int(crop.width), int(crop.height));

    const qint64 needed = decodeBytes(
        storedWidth, storedHeight, int(parsed->depth), decoder->alphaPresent != AVIF_FALSE, turned);
    if (needed > DecodeBudget::shared().totalBytes()) {
        picture.error = QStringLiteral("AVIF: picture needs too much memory (%1 MB to decode %2 x "
                                       "%3 pixels)")
                            .arg(needed >> 20)
                            .arg(storedWidth)
                            .arg(storedHeight);
        return result;
    }
    DecodeBudget::Reservation reservation = DecodeBudget::shared().acquire(needed);

    code = avifDecoderNextImage(decoder.get());
    if (code != AVIF_RESULT_OK) {
        picture.error = avifError(code, decoder->diag);
        return result;
    }
    const avifImage* decoded = decoder->image;
    if (decoded->width != storedWidth || decoded->height != storedHeight) {
        picture.error = QStringLiteral("AVIF: the picture's data do not have its stated size");
        return result;
    }
    std::unique_ptr<avifImage, ImageDestroy> view;
    if (cropped) {
        view.reset(avifImageCreateEmpty());
        if (!view || avifImageSetViewRect(view.get(), decoded, &crop) != AVIF_RESULT_OK) {
            picture.error = QStringLiteral("AVIF: the clean aperture cannot be applied");
            return result;
        }
        decoded = view.get();
    }

    QImage image = allocatePicture(reuse, int(decoded->width), int(decoded->height));
    if (image.isNull()) {
        picture.error = QStringLiteral("AVIF: out of memory");
        return result;
    }
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, decoded);
    rgb.depth = 8;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    rgb.format = AVIF_RGB_FORMAT_BGRA;
#else
    rgb.format = AVIF_RGB_FORMAT_ARGB;
#endif
    rgb.chromaUpsampling
        = box > 0 ? AVIF_CHROMA_UPSAMPLING_FASTEST : AVIF_CHROMA_UPSAMPLING_AUTOMATIC;
    rgb.alphaPremultiplied = AVIF_FALSE;
    rgb.pixels = image.bits();
    rgb.rowBytes = uint32_t(image.bytesPerLine());
    code = avifImageYUVToRGB(decoded, &rgb);
    if (code != AVIF_RESULT_OK) {
        picture.error = avifError(code, decoder->diag);
        return result;
    }
    // Without an alpha plane libavif writes opaque pixels.
    if (decoded->alphaPlane)
        blendOverWhite(image);
    picture.image = applyOrientation(std::move(image), orientation);
    if (picture.image.isNull())
        picture.error = QStringLiteral("AVIF: out of memory");
    return result;
}

} // namespace zarvo
