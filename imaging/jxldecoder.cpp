// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/jxldecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/pixelbuffer.h"
#include "imaging/whiteblend.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>

#include <dlfcn.h>

#include <jxl/decode.h>
#include <jxl/encode.h>
#include <jxl/resizable_parallel_runner.h>

namespace {

// Debian's libjxl prints a line to standard error for every fault it finds in a damaged file,
// through the C library's checked printf functions, and has no way to turn that off. Those two
// functions are taken over here: on a thread inside a JPEG XL decode, what goes to standard
// error is dropped; everything else goes to the C library's own function as before.
thread_local bool t_quiet = false;

using VfprintfChk = int (*)(FILE*, int, const char*, va_list);

} // namespace

extern "C" int __vfprintf_chk(FILE* stream, int flag, const char* format, va_list args)
{
    if (t_quiet && stream == stderr)
        return 0;
    static const auto next = reinterpret_cast<VfprintfChk>(dlsym(RTLD_NEXT, "__vfprintf_chk"));
    return next ? next(stream, flag, format, args) : -1;
}

extern "C" int __fprintf_chk(FILE* stream, int flag, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int written = __vfprintf_chk(stream, flag, format, args);
    va_end(args);
    return written;
}

namespace zarvo {

namespace {

struct QuietStandardError
{
    QuietStandardError()
        : m_was(t_quiet)
    {
        t_quiet = true;
    }
    ~QuietStandardError() { t_quiet = m_was; }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    const bool m_was;
};

// libjxl's resizable runner, with every piece of work it runs on its own threads as quiet as
// the decoding thread.
struct QuietWork
{
    void* opaque;
    JxlParallelRunInit init;
    JxlParallelRunFunction run;
};

int quietInit(void* work, size_t threads)
{
    const QuietStandardError quiet;
    auto* w = static_cast<QuietWork*>(work);
    return w->init(w->opaque, threads);
}

void quietRun(void* work, uint32_t value, size_t thread)
{
    const QuietStandardError quiet;
    auto* w = static_cast<QuietWork*>(work);
    w->run(w->opaque, value, thread);
}

JxlParallelRetCode quietRunner(void* runner, void* opaque, JxlParallelRunInit init,
    JxlParallelRunFunction run, uint32_t start, uint32_t end)
{
    QuietWork work { opaque, init, run };
    return JxlResizableParallelRunner(runner, &work, quietInit, quietRun, start, end);
}

struct DecoderDeleter
{
    void operator()(JxlDecoder* decoder) const { JxlDecoderDestroy(decoder); }
};
struct RunnerDeleter
{
    void operator()(void* runner) const { JxlResizableParallelRunnerDestroy(runner); }
};

// What libjxl holds while it decodes a frame besides the picture it fills: every channel of
// the frame as 32-bit samples (floats of the colour channels, integers of the others), and
// about as much again of group buffers, upsampling and filter rows.
qint64 libraryWorkBytes(const JxlBasicInfo& info)
{
    const qint64 channels = qint64(info.num_color_channels) + info.num_extra_channels;
    return saturatingProduct(qint64(info.xsize) * info.ysize, channels * 4 * 2);
}

// libjxl's RGBA bytes as Format_RGB32, alpha drawn over white.
void rgbaToRgb32(QImage& image, bool hasAlpha)
{
    const qsizetype count = qsizetype(image.width()) * image.height();
    uchar* bytes = image.bits();
    auto* pixels = reinterpret_cast<quint32*>(bytes);
    for (qsizetype i = 0; i < count; ++i) {
        const uchar* p = bytes + i * 4;
        const QRgb argb = qRgba(p[0], p[1], p[2], p[3]);
        pixels[i] = hasAlpha ? blendOverWhite(argb) : (argb | 0xff000000u);
    }
}

} // namespace

DecodedPicture decodeJxl(const QByteArray& bytes, int threads, PixelBuffer* reuse)
{
    DecodedPicture result;
    const auto fail = [&result](const QString& why) {
        result.image = QImage();
        result.error = QStringLiteral("JPEG XL: ") + why;
        return result;
    };
    if (bytes.isEmpty())
        return fail(QStringLiteral("no data"));

    const QuietStandardError quiet;
    const std::unique_ptr<JxlDecoder, DecoderDeleter> decoder(JxlDecoderCreate(nullptr));
    if (!decoder)
        return fail(QStringLiteral("out of memory"));
    JxlDecoder* dec = decoder.get();
    std::unique_ptr<void, RunnerDeleter> runner;
    if (threads > 1) {
        runner.reset(JxlResizableParallelRunnerCreate(nullptr));
        if (runner
            && JxlDecoderSetParallelRunner(dec, quietRunner, runner.get()) != JXL_DEC_SUCCESS)
            runner.reset();
    }
    if (JxlDecoderSubscribeEvents(
            dec, JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE)
            != JXL_DEC_SUCCESS
        || JxlDecoderSetKeepOrientation(dec, JXL_FALSE) != JXL_DEC_SUCCESS
        || JxlDecoderSetUnpremultiplyAlpha(dec, JXL_TRUE) != JXL_DEC_SUCCESS)
        return fail(QStringLiteral("the decoder cannot be set up"));
    if (JxlDecoderSetInput(
            dec, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()))
        != JXL_DEC_SUCCESS)
        return fail(QStringLiteral("the decoder takes no input"));
    // The input is whole, but it is not closed: libjxl prints a message when it runs out of
    // closed input, and only asks for more when it is open. Asking for more means the file ends
    // early.

    static constexpr JxlPixelFormat kFormat = { 4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0 };
    JxlBasicInfo info {};
    bool haveInfo = false;
    DecodeBudget::Reservation reservation;
    QImage image;
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(dec);
        switch (status) {
        case JXL_DEC_BASIC_INFO: {
            if (JxlDecoderGetBasicInfo(dec, &info) != JXL_DEC_SUCCESS)
                return fail(QStringLiteral("damaged header"));
            haveInfo = true;
            if (exceedsPixelLimit(info.xsize, info.ysize)) {
                result.error = pixelLimitError("JPEG XL", info.xsize, info.ysize);
                return result;
            }
            const qint64 needed = qint64(info.xsize) * info.ysize * 4 + libraryWorkBytes(info);
            if (needed > DecodeBudget::shared().totalBytes())
                return fail(
                    QStringLiteral("picture needs too much memory (%1 MB to decode %2 x %3 pixels)")
                        .arg(needed >> 20)
                        .arg(info.xsize)
                        .arg(info.ysize));
            reservation = DecodeBudget::shared().acquire(needed);
            if (runner) {
                JxlResizableParallelRunnerSetThreads(runner.get(),
                    std::min<size_t>(size_t(threads),
                        JxlResizableParallelRunnerSuggestThreads(info.xsize, info.ysize)));
            }
            break;
        }
        case JXL_DEC_COLOR_ENCODING: {
            // Only pictures stored in libjxl's own colour space can be given in another: those
            // come out in sRGB. The others come out in their own colours.
            JxlColorEncoding srgb {};
            JxlColorEncodingSetToSRGB(&srgb, info.num_color_channels == 1);
            JxlDecoderSetPreferredColorProfile(dec, &srgb);
            break;
        }
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
            if (!haveInfo)
                return fail(QStringLiteral("damaged header"));
            // Upright size: libjxl turns the picture while it writes it.
            const bool swaps = info.orientation >= JXL_ORIENT_TRANSPOSE;
            const int width = int(swaps ? info.ysize : info.xsize);
            const int height = int(swaps ? info.xsize : info.ysize);
            size_t size = 0;
            if (JxlDecoderImageOutBufferSize(dec, &kFormat, &size) != JXL_DEC_SUCCESS
                || size != size_t(width) * size_t(height) * 4)
                return fail(QStringLiteral("unexpected picture size"));
            image = allocatePicture(reuse, width, height);
            if (image.isNull())
                return fail(QStringLiteral("out of memory"));
            if (JxlDecoderSetImageOutBuffer(dec, &kFormat, image.bits(), size) != JXL_DEC_SUCCESS)
                return fail(QStringLiteral("the decoder refuses the picture's memory"));
            break;
        }
        case JXL_DEC_FULL_IMAGE:
            // The first frame is the picture.
            if (image.isNull())
                return fail(QStringLiteral("no picture in the file"));
            rgbaToRgb32(image, info.alpha_bits > 0);
            result.image = std::move(image);
            return result;
        case JXL_DEC_NEED_MORE_INPUT:
            return fail(QStringLiteral("file ends early"));
        case JXL_DEC_SUCCESS:
            return fail(QStringLiteral("no picture in the file"));
        case JXL_DEC_ERROR:
            return fail(QStringLiteral("damaged file"));
        default:
            return fail(QStringLiteral("unexpected decoder event %1").arg(int(status)));
        }
    }
}

} // namespace zarvo
