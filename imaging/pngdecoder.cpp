// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/pngdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/libpngsupport.h"
#include "imaging/pixelbuffer.h"
#include "imaging/whiteblend.h"

#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace zarvo {

namespace {

// Everything the codec function touches lives here, in the caller's frame, so that nothing
// with a destructor is skipped by libpng's longjmp and nothing is indeterminate after it.
struct PngJob
{
    const uchar* data = nullptr;
    size_t size = 0;
    size_t position = 0;
    PixelBuffer* reuse = nullptr;

    QImage image;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool tooLarge = false;
    bool hasAlpha = false;
    DecodeBudget::Reservation reservation;
    libpng::ErrorText error;
};

void pngRead(png_structp png, png_bytep out, png_size_t length)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (length > job->size - job->position)
        png_error(png, "file ends early");
    std::memcpy(out, job->data + job->position, length);
    job->position += length;
}

void fail(PngJob* job, const char* message)
{
    std::snprintf(job->error.text, sizeof job->error.text, "%s", message);
}

// libpng takes memory for the length a chunk declares before it reads the chunk (an eXIf
// chunk, or the chunks skipped below), and its own bound on that length only warns when
// reading: 41 bytes could make it take 2 GB. It reads every chunk before the image data in
// full, so a file whose chunk there runs past its end can never be decoded: it is refused
// before libpng sees it. Bytes without the PNG signature are left to libpng to refuse.
bool chunksBeforeImageDataFit(const uchar* data, size_t size)
{
    static constexpr uchar kSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
    if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return true;
    size_t at = sizeof kSignature;
    while (size - at >= 8) {
        const quint64 length = qFromBigEndian<quint32>(data + at);
        const uchar* type = data + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            return true;
        if (length + 12 > size - at) // length, type, data and CRC
            return false;
        at += size_t(length) + 12;
    }
    return true;
}

// The one function that holds libpng's setjmp. Its error branch destroys the codec objects.
bool runPng(PngJob* job)
{
    png_structp png = png_create_read_struct(
        PNG_LIBPNG_VER_STRING, &job->error, libpng::onError, libpng::onWarning);
    if (!png) {
        fail(job, "out of memory");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        fail(job, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, job, pngRead);
    // The pixel limit below is the real bound; libpng's own would refuse 100000 x 1.
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    // Text, suggested palettes and calibrations are never shown; libpng would take and zero
    // memory for the length each declares before reading it. Skipped unread instead, whatever
    // their length. eXIf stays: it holds the orientation.
    static constexpr png_byte kNeverKept[] = "tEXt\0zTXt\0iTXt\0sPLT\0pCAL\0sCAL";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kNeverKept, 6);
    png_read_info(png, info);

    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
    png_get_IHDR(
        png, info, &job->width, &job->height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    if (exceedsPixelLimit(job->width, job->height)) {
        job->tooLarge = true;
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }

    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    job->hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || hasTrns;
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (hasTrns)
        png_set_tRNS_to_alpha(png);
    if (bitDepth == 16)
        png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png_set_bgr(png);
    if (!job->hasAlpha)
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
#else
    if (job->hasAlpha)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
#endif
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(job->width) * 4) {
        fail(job, "unsupported pixel layout");
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }

    job->reservation = DecodeBudget::shared().acquire(qint64(job->width) * job->height * 4);
    job->image = allocatePicture(job->reuse, int(job->width), int(job->height));
    if (job->image.isNull()) {
        fail(job, "out of memory");
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    uchar* const base = job->image.bits();
    const qsizetype bytesPerLine = job->image.bytesPerLine();
    // With several passes libpng merges each pass into the rows already there.
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < job->height; ++y)
            png_read_row(png, base + y * bytesPerLine, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

DecodedPicture decodePng(const uchar* data, qsizetype size, PixelBuffer* reuse)
{
    DecodedPicture result;
    if (size <= 0) {
        result.error = QStringLiteral("PNG: no data");
        return result;
    }
    PngJob job;
    job.data = data;
    job.size = size_t(size);
    job.reuse = reuse;
    if (!chunksBeforeImageDataFit(data, job.size)) {
        result.error = QStringLiteral("PNG: a chunk runs past the end of the file");
        return result;
    }
    const bool ok = runPng(&job);
    if (!ok) {
        result.error = job.tooLarge
            ? pixelLimitError("PNG", job.width, job.height)
            : QStringLiteral("PNG: ") + QString::fromLocal8Bit(job.error.text);
        return result;
    }
    if (job.hasAlpha)
        blendOverWhite(job.image);
    job.reservation.release();
    result.image = std::move(job.image);
    return result;
}

DecodedPicture decodePng(const QByteArray& bytes, PixelBuffer* reuse)
{
    return decodePng(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), reuse);
}

} // namespace zarvo
