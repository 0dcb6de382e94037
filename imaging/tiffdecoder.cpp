// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/tiffdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/orientation.h"
#include "imaging/pixelbuffer.h"
#include "imaging/whiteblend.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <tiffio.h>

namespace zarvo {

namespace {

// Reduced pages looked at for a thumbnail: a file may chain any number of pages.
constexpr int kMaxPagesExamined = 16;

// The largest single allocation libtiff may make: no more than the decode budget, nor than the
// largest picture the limits admit at four 16-bit samples a pixel.
qint64 maxSingleAllocation()
{
    return std::min(DecodeBudget::shared().totalBytes(), kMaxPixels * 8);
}

struct TiffJob
{
    const uchar* data = nullptr;
    toff_t size = 0;
    toff_t position = 0;
    char error[256] = {};
};

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t length)
{
    auto* job = static_cast<TiffJob*>(handle);
    if (length <= 0 || job->position >= job->size)
        return 0;
    const toff_t count = std::min<toff_t>(toff_t(length), job->size - job->position);
    std::memcpy(buffer, job->data + job->position, size_t(count));
    job->position += count;
    return tmsize_t(count);
}

tmsize_t writeProc(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* job = static_cast<TiffJob*>(handle);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = job->position;
    else if (whence == SEEK_END)
        base = job->size;
    else if (whence != SEEK_SET)
        return toff_t(-1);
    toff_t position = 0;
    if (__builtin_add_overflow(base, offset, &position))
        return toff_t(-1);
    job->position = position;
    return position;
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t handle)
{
    return static_cast<TiffJob*>(handle)->size;
}

// The bytes are already in memory: libtiff reads strips and tiles from them in place. It only
// ever reads through a mapping opened for reading.
int mapProc(thandle_t handle, void** base, toff_t* size)
{
    auto* job = static_cast<TiffJob*>(handle);
    *base = const_cast<uchar*>(job->data);
    *size = job->size;
    return 1;
}

void unmapProc(thandle_t, void*, toff_t) { }

int onError(TIFF*, void* user, const char* module, const char* format, va_list args)
{
    auto* job = static_cast<TiffJob*>(user);
    if (job->error[0] != '\0')
        return 1; // the first error is the cause
    int used = 0;
    if (module && *module)
        used = std::snprintf(job->error, sizeof job->error, "%s: ", module);
    if (used >= 0 && size_t(used) < sizeof job->error)
        std::vsnprintf(job->error + used, sizeof job->error - size_t(used), format, args);
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// The process-wide handlers print to standard error; a few messages of libtiff go to them
// instead of a file's own handlers. Nothing of libtiff is ever printed.
void silenceProcessHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

struct TiffCloser
{
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

struct Page
{
    toff_t offset = 0;
    quint32 width = 0;
    quint32 height = 0;
    int orientation = 1;
};

// The current directory as a page; its orientation is `inherited` when it has no tag of its own.
Page currentPage(TIFF* tif, int inherited)
{
    Page page;
    page.offset = TIFFCurrentDirOffset(tif);
    uint32_t width = 0;
    uint32_t height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    page.width = width;
    page.height = height;
    uint16_t orientation = 0;
    page.orientation = TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation) != 0
        ? (orientation >= 1 && orientation <= 8 ? orientation : 1)
        : inherited;
    return page;
}

bool isReducedImage(TIFF* tif)
{
    uint32_t type = 0;
    return TIFFGetField(tif, TIFFTAG_SUBFILETYPE, &type) != 0 && (type & FILETYPE_REDUCEDIMAGE);
}

bool readableAsRgba(TIFF* tif)
{
    char message[1024];
    return TIFFRGBAImageOK(tif, message) != 0;
}

// Whether the page may stand for the first page in a thumbnail of `box` pixels.
bool standsFor(const Page& page, const Page& main, int box)
{
    return page.orientation == main.orientation && page.width < main.width
        && page.height < main.height
        && qint64(std::max(page.width, page.height)) >= box
        // The same aspect: within a pixel of the first page scaled to the page's size.
        && std::abs(qint64(page.width) * main.height - qint64(page.height) * main.width)
        <= qint64(std::max(main.width, main.height));
}

// The smallest reduced-resolution page that may stand for the first page, if any. Leaves the
// current directory anywhere.
std::optional<Page> reducedPage(TIFF* tif, const Page& main, int box)
{
    std::vector<toff_t> subPages;
    uint16_t subCount = 0;
    toff_t* subOffsets = nullptr;
    if (TIFFGetField(tif, TIFFTAG_SUBIFD, &subCount, &subOffsets) && subOffsets)
        subPages.assign(subOffsets, subOffsets + std::min<int>(subCount, kMaxPagesExamined));

    std::optional<Page> best;
    const auto consider = [&] {
        if (!isReducedImage(tif))
            return;
        const Page page = currentPage(tif, main.orientation);
        if (!standsFor(page, main, box) || !readableAsRgba(tif))
            return;
        if (!best || qint64(page.width) * page.height < qint64(best->width) * best->height)
            best = page;
    };
    for (int i = 1; i < kMaxPagesExamined && TIFFReadDirectory(tif); ++i)
        consider();
    for (const toff_t offset : subPages) {
        if (TIFFSetSubDirectory(tif, offset))
            consider();
    }
    return best;
}

// Bytes libtiff's RGBA reader takes for one strip or tile while it reads the page.
qint64 readerWorkBytes(TIFF* tif)
{
    const uint64_t unit = TIFFIsTiled(tif) ? TIFFTileSize64(tif) : TIFFStripSize64(tif);
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t samples = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    return saturatingProduct(qint64(std::min<uint64_t>(unit, uint64_t(1) << 62)),
        planar == PLANARCONFIG_SEPARATE ? qint64(samples) : 1);
}

// libtiff's packed pixels (red in the low byte) as Format_RGB32, drawn over white where they
// are not opaque. The reader premultiplies colour by alpha, gray by alpha it does not.
void abgrToRgb32(QImage& image, bool hasAlpha, bool premultiplied)
{
    const qsizetype count = qsizetype(image.width()) * image.height();
    auto* pixels = reinterpret_cast<quint32*>(image.bits());
    if (!hasAlpha) {
        for (qsizetype i = 0; i < count; ++i) {
            const quint32 p = pixels[i];
            pixels[i] = 0xff000000u | (p & 0x0000ff00u) | (p & 0xffu) << 16 | (p >> 16 & 0xffu);
        }
        return;
    }
    if (!premultiplied) {
        for (qsizetype i = 0; i < count; ++i) {
            const quint32 p = pixels[i];
            pixels[i] = blendOverWhite((p & 0xff00ff00u) | (p & 0xffu) << 16 | (p >> 16 & 0xffu));
        }
        return;
    }
    for (qsizetype i = 0; i < count; ++i) {
        const quint32 p = pixels[i];
        const quint32 white = 255 - (p >> 24);
        const quint32 r = std::min<quint32>((p & 0xffu) + white, 255);
        const quint32 g = std::min<quint32>((p >> 8 & 0xffu) + white, 255);
        const quint32 b = std::min<quint32>((p >> 16 & 0xffu) + white, 255);
        pixels[i] = 0xff000000u | r << 16 | g << 8 | b;
    }
}

struct RgbaImage
{
    TIFFRGBAImage image {};
    bool begun = false;
    ~RgbaImage()
    {
        if (begun)
            TIFFRGBAImageEnd(&image);
    }
};

QString errorText(const TiffJob& job, const char* fallback)
{
    return QStringLiteral("TIFF: ")
        + QString::fromLocal8Bit(job.error[0] != '\0' ? job.error : fallback);
}

} // namespace

TiffDecodeResult decodeTiff(const QByteArray& bytes, int box, PixelBuffer* reuse)
{
    TiffDecodeResult result;
    if (bytes.isEmpty()) {
        result.picture.error = QStringLiteral("TIFF: no data");
        return result;
    }
    silenceProcessHandlers();
    TiffJob job;
    job.data = reinterpret_cast<const uchar*>(bytes.constData());
    job.size = toff_t(bytes.size());

    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) {
        result.picture.error = QStringLiteral("TIFF: out of memory");
        return result;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(maxSingleAllocation()));
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &job);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &job);
    const TiffHandle tif(TIFFClientOpenExt("TIFF", "r", &job, readProc, writeProc, seekProc,
        closeProc, sizeProc, mapProc, unmapProc, options));
    TIFFOpenOptionsFree(options);
    if (!tif) {
        result.picture.error = errorText(job, "not a TIFF file");
        return result;
    }

    const Page main = currentPage(tif.get(), 1);
    result.fullSize = orientationSwapsSides(main.orientation)
        ? QSize(int(main.height), int(main.width))
        : QSize(int(main.width), int(main.height));
    if (exceedsPixelLimit(main.width, main.height)) {
        result.picture.error = pixelLimitError("TIFF", main.width, main.height);
        result.fullSize = QSize();
        return result;
    }
    Page page = main;
    if (box > 0) {
        if (const std::optional<Page> reduced = reducedPage(tif.get(), main, box))
            page = *reduced;
        if (!TIFFSetSubDirectory(tif.get(), page.offset)) {
            result.picture.error = errorText(job, "the first page cannot be read again");
            return result;
        }
        // Faults of pages looked at and not taken are not this page's.
        job.error[0] = '\0';
    }

    char message[1024] = {};
    RgbaImage rgba;
    if (!TIFFRGBAImageOK(tif.get(), message)
        || !TIFFRGBAImageBegin(&rgba.image, tif.get(), 1, message)) {
        result.picture.error = QStringLiteral("TIFF: ") + QString::fromLocal8Bit(message);
        return result;
    }
    rgba.begun = true;
    // The reader turns rows and columns by the orientations 1 to 4 itself; for those that
    // transpose (5 to 8) it would only flip, so it is asked for the rows as stored and the
    // whole turn is made here.
    const int turn = orientationSwapsSides(page.orientation) ? page.orientation : 1;
    rgba.image.req_orientation = turn == 1 ? ORIENTATION_TOPLEFT : rgba.image.orientation;

    const qint64 pictureBytes = qint64(page.width) * page.height * 4;
    const qint64 needed
        = saturatingProduct(pictureBytes, turn == 1 ? 1 : 2) + readerWorkBytes(tif.get());
    if (needed > DecodeBudget::shared().totalBytes()) {
        result.picture.error
            = QStringLiteral("TIFF: picture needs too much memory (%1 MB to decode %2 x %3 pixels)")
                  .arg(needed >> 20)
                  .arg(page.width)
                  .arg(page.height);
        return result;
    }
    DecodeBudget::Reservation reservation = DecodeBudget::shared().acquire(needed);
    QImage image = allocatePicture(reuse, int(page.width), int(page.height));
    if (image.isNull()) {
        result.picture.error = QStringLiteral("TIFF: out of memory");
        return result;
    }
    if (!TIFFRGBAImageGet(
            &rgba.image, reinterpret_cast<uint32_t*>(image.bits()), page.width, page.height)) {
        result.picture.error = errorText(job, "the picture's data cannot be read");
        return result;
    }
    const bool gray = rgba.image.photometric == PHOTOMETRIC_MINISBLACK
        || rgba.image.photometric == PHOTOMETRIC_MINISWHITE;
    abgrToRgb32(image, rgba.image.alpha != 0, !gray);
    result.picture.image = applyOrientation(std::move(image), turn);
    if (result.picture.image.isNull())
        result.picture.error = QStringLiteral("TIFF: out of memory");
    return result;
}

} // namespace zarvo
