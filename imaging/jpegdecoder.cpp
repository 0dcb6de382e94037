// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/jpegdecoder.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/fitrect.h"
#include "imaging/orientation.h"
#include "imaging/pixelbuffer.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include <QRegion>

#include <jerror.h>
#include <jpeglib.h>

namespace zarvo {

namespace {

struct JpegErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool ranOutOfData;
};

// Everything the codec function touches lives here, in the caller's frame, so that nothing
// with a destructor is skipped by the library's longjmp and nothing is indeterminate after it.
struct JpegJob
{
    const unsigned char* data = nullptr;
    unsigned long size = 0;
    int box = 0;
    PixelBuffer* reuse = nullptr;

    QImage image;
    // image's pixels, taken once: a copy of image handed out meanwhile shares them, undetached.
    uchar* pixels = nullptr;
    qsizetype bytesPerLine = 0;
    JDIMENSION until = 0; // readJpegRows decodes until so many rows are in
    int fullWidth = 0;
    int fullHeight = 0;
    bool cmyk = false;
    bool adobeCmyk = false;
    int orientation = 1;
    DecodeBudget::Reservation reservation;

    jpeg_decompress_struct cinfo {};
    JpegErrorManager err {};
    jpeg_progress_mgr progress {};
};

[[noreturn]] void jumpOut(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

[[noreturn]] void jpegErrorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    jumpOut(cinfo);
}

void jpegEmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace output
    // libjpeg pads a file that ends early with an end marker and zero bits and merely warns;
    // a picture whose lower part is grey is a failed decode here. Running out of bits inside
    // entropy-coded data is fatal at once. Running out of file is also what happens when only
    // the end marker is missing (the decoder reads ahead), so that is judged at the end.
    if (cinfo->err->msg_code == JWRN_HIT_MARKER)
        jpegErrorExit(cinfo);
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<JpegErrorManager*>(cinfo->err)->ranOutOfData = true;
    ++cinfo->err->num_warnings;
}

void jpegOutputMessage(j_common_ptr) { }

// Makes err the codec's error manager, with the handlers above and nothing reported yet.
void useErrorManager(j_decompress_ptr cinfo, JpegErrorManager* err)
{
    cinfo->err = jpeg_std_error(&err->pub);
    err->pub.error_exit = jpegErrorExit;
    err->pub.emit_message = jpegEmitMessage;
    err->pub.output_message = jpegOutputMessage;
    err->message[0] = '\0';
    err->ranOutOfData = false;
}

void jpegProgress(j_common_ptr cinfo)
{
    const auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > kMaxJpegScans) {
        auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message,
            "Progressive JPEG image has more than %d scans", kMaxJpegScans);
        jumpOut(cinfo);
    }
}

qint64 coefficientBytes(j_decompress_ptr cinfo)
{
    qint64 bytes = 0;
    for (int i = 0; i < cinfo->num_components; ++i) {
        const jpeg_component_info& c = cinfo->comp_info[i];
        bytes += (qint64(c.width_in_blocks) + c.h_samp_factor)
            * (qint64(c.height_in_blocks) + c.v_samp_factor) * DCTSIZE2 * qint64(sizeof(JCOEF));
    }
    return bytes;
}

// After the file ran out: whether every coefficient still arrived in full precision, so only
// the end marker was missing. A sequential file is complete once all its rows were decoded
// without running out of bits; a progressive one when no coefficient awaits refinement.
bool allDataArrived(j_decompress_ptr cinfo)
{
    if (!cinfo->progressive_mode)
        return !jpeg_has_multiple_scans(cinfo);
    if (!cinfo->coef_bits)
        return false;
    for (int c = 0; c < cinfo->num_components; ++c) {
        for (int k = 0; k < DCTSIZE2; ++k) {
            if (cinfo->coef_bits[c][k] != 0)
                return false;
        }
    }
    return true;
}

// startJpeg and readJpegRows each hold libjpeg's setjmp for the calls they make; their error
// branches destroy the codec object. startJpeg reads the header and starts the decompression
// into job->image; readJpegRows decodes rows until `until` of them are in, and once all are,
// checks that the data was complete and destroys the codec object.
bool startJpeg(JpegJob* job)
{
    j_decompress_ptr cinfo = &job->cinfo;
    useErrorManager(cinfo, &job->err);
    if (setjmp(job->err.jump)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    jpeg_create_decompress(cinfo);
    job->progress.progress_monitor = jpegProgress;
    cinfo->progress = &job->progress;
    jpeg_mem_src(cinfo, job->data, job->size);
    jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xffff);
    jpeg_read_header(cinfo, TRUE);
    for (jpeg_saved_marker_ptr marker = cinfo->marker_list; marker; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 1 && marker->data_length >= 6
            && std::memcmp(marker->data, "Exif\0\0", 6) == 0) {
            job->orientation = exifOrientation(QByteArrayView(marker->data, marker->data_length));
            break;
        }
    }

    job->fullWidth = int(cinfo->image_width);
    job->fullHeight = int(cinfo->image_height);
    if (exceedsPixelLimit(cinfo->image_width, cinfo->image_height)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }

    job->cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    job->adobeCmyk = job->cmyk && cinfo->saw_Adobe_marker;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    cinfo->out_color_space = job->cmyk ? JCS_CMYK : JCS_EXT_BGRX;
#else
    cinfo->out_color_space = job->cmyk ? JCS_CMYK : JCS_EXT_XRGB;
#endif

    if (job->box > 0) {
        const DrawRect target = FitRect(job->fullWidth, job->fullHeight, job->box, job->box);
        const JDIMENSION wantW = JDIMENSION(std::max(target.width(), 1));
        const JDIMENSION wantH = JDIMENSION(std::max(target.height(), 1));
        cinfo->scale_denom = 8;
        for (unsigned int m = 1; m <= 8; ++m) {
            cinfo->scale_num = m;
            jpeg_calc_output_dimensions(cinfo);
            if (cinfo->output_width >= wantW && cinfo->output_height >= wantH)
                break;
        }
    }
    jpeg_calc_output_dimensions(cinfo);

    // Whole-image coefficient buffers are libjpeg's own, allocated (and zeroed) at the start of
    // decompression whatever the output scale: they decide whether a small file may cost
    // gigabytes. libjpeg is also told the bound, so that it fails rather than exceeds it
    // should its own needs grow beyond this estimate.
    const qint64 workBytes
        = cinfo->progressive_mode || jpeg_has_multiple_scans(cinfo) ? coefficientBytes(cinfo) : 0;
    const qint64 pictureBytes = qint64(cinfo->output_width) * cinfo->output_height * 4;
    // A quarter turn upright needs a second picture for a moment.
    const qint64 bytes
        = pictureBytes * (orientationSwapsSides(job->orientation) ? 2 : 1) + workBytes;
    if (workBytes > kMaxJpegWorkBytes || bytes > DecodeBudget::shared().totalBytes()) {
        std::snprintf(job->err.message, sizeof job->err.message,
            "picture needs too much memory (%lld MB to decode %u x %u pixels)",
            static_cast<long long>(bytes >> 20), cinfo->image_width, cinfo->image_height);
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    cinfo->mem->max_memory_to_use = long(kMaxJpegWorkBytes + (kMaxJpegWorkBytes >> 2));
    job->reservation = DecodeBudget::shared().acquire(bytes);
    job->image = allocatePicture(job->reuse, int(cinfo->output_width), int(cinfo->output_height));
    if (job->image.isNull()) {
        std::snprintf(job->err.message, sizeof job->err.message, "out of memory");
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    job->pixels = job->image.bits();
    job->bytesPerLine = job->image.bytesPerLine();

    jpeg_start_decompress(cinfo);
    return true;
}

bool readJpegRows(JpegJob* job)
{
    j_decompress_ptr cinfo = &job->cinfo;
    const JDIMENSION until = std::min(job->until, cinfo->output_height);
    if (setjmp(job->err.jump)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    uchar* const base = job->pixels;
    const qsizetype bytesPerLine = job->bytesPerLine;
    while (cinfo->output_scanline < until) {
        JSAMPROW rows[16];
        const JDIMENSION count = std::min<JDIMENSION>(16, until - cinfo->output_scanline);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = base + (cinfo->output_scanline + i) * bytesPerLine;
        if (jpeg_read_scanlines(cinfo, rows, count) == 0) {
            std::snprintf(job->err.message, sizeof job->err.message, "decoder made no progress");
            jpeg_destroy_decompress(cinfo);
            return false;
        }
    }
    if (cinfo->output_scanline < cinfo->output_height)
        return true;
    if (job->err.ranOutOfData && !allDataArrived(cinfo)) {
        cinfo->err->msg_code = JWRN_JPEG_EOF;
        (*cinfo->err->format_message)(reinterpret_cast<j_common_ptr>(cinfo), job->err.message);
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    // No jpeg_finish_decompress: all pixels are in, and it would only look for the end marker.
    jpeg_destroy_decompress(cinfo);
    return true;
}

// A second decompression of a file, for one region of its full-size picture.
struct JpegRegionJob
{
    const unsigned char* data = nullptr;
    unsigned long size = 0;
    QRect region; // inside the picture
    uchar* pixels = nullptr; // of the region's own picture
    qsizetype bytesPerLine = 0;
    uchar* rows = nullptr; // kRegionRows rows as wide as the picture
    qsizetype rowBytes = 0;

    jpeg_decompress_struct cinfo {};
    JpegErrorManager err {};
};

constexpr int kRegionRows = 16;

// Decodes job->region of a single-scan YCbCr, RGB or grayscale file into job->pixels: only the
// columns of the region and one iMCU on either side (so that the upsampling at its edges sees
// the neighbours it sees in a whole decode), skipping the rows above it but two iMCUs. False for
// any other file, and when the file is damaged above the region's bottom.
bool readJpegRegion(JpegRegionJob* job)
{
    j_decompress_ptr cinfo = &job->cinfo;
    useErrorManager(cinfo, &job->err);
    if (setjmp(job->err.jump)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, job->data, job->size);
    jpeg_read_header(cinfo, TRUE);
    const bool plain = cinfo->jpeg_color_space == JCS_YCbCr || cinfo->jpeg_color_space == JCS_RGB
        || cinfo->jpeg_color_space == JCS_GRAYSCALE;
    if (!plain || cinfo->progressive_mode || jpeg_has_multiple_scans(cinfo)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    cinfo->out_color_space = JCS_EXT_BGRX;
#else
    cinfo->out_color_space = JCS_EXT_XRGB;
#endif
    jpeg_start_decompress(cinfo);
    const QRect& region = job->region;
    const int mcuWidth = cinfo->max_h_samp_factor * DCTSIZE;
    const int mcuHeight = cinfo->max_v_samp_factor * DCTSIZE;
    JDIMENSION x = JDIMENSION(std::max(0, region.left() - mcuWidth));
    JDIMENSION width
        = JDIMENSION(std::min(region.right() + 1 + mcuWidth, int(cinfo->output_width))) - x;
    jpeg_crop_scanline(cinfo, &x, &width);
    const JDIMENSION top = JDIMENSION(std::max(0, region.top() - 2 * mcuHeight));
    if (top > 0)
        jpeg_skip_scanlines(cinfo, top);
    const JDIMENSION end = JDIMENSION(region.bottom() + 1);
    const qsizetype left = qsizetype(region.left() - int(x)) * 4;
    const size_t copied = size_t(region.width()) * 4;
    while (cinfo->output_scanline < end) {
        const JDIMENSION first = cinfo->output_scanline;
        JSAMPROW rows[kRegionRows];
        const JDIMENSION count = std::min<JDIMENSION>(kRegionRows, end - first);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = job->rows + qsizetype(i) * job->rowBytes;
        const JDIMENSION got = jpeg_read_scanlines(cinfo, rows, count);
        if (got == 0 || job->err.ranOutOfData) {
            jpeg_destroy_decompress(cinfo);
            return false;
        }
        for (JDIMENSION i = 0; i < got; ++i) {
            const int y = int(first + i);
            if (y >= region.top())
                std::memcpy(job->pixels + qsizetype(y - region.top()) * job->bytesPerLine,
                    rows[i] + left, copied);
        }
    }
    jpeg_destroy_decompress(cinfo);
    return true;
}

bool runJpeg(JpegJob* job)
{
    job->until = JDIMENSION(-1);
    return startJpeg(job) && readJpegRows(job);
}

// Rows [first, end) of a job's picture decoded as CMYK, to RGB in place.
void cmykToRgb32(const JpegJob& job, int first, int end)
{
    const bool adobeInverted = job.adobeCmyk;
    const int width = job.image.width();
    for (int y = first; y < end; ++y) {
        uchar* p = job.pixels + y * job.bytesPerLine;
        auto* out = reinterpret_cast<QRgb*>(p);
        for (int x = 0; x < width; ++x, p += 4) {
            int c = p[0], m = p[1], ye = p[2], k = p[3];
            if (!adobeInverted) {
                c = 255 - c;
                m = 255 - m;
                ye = 255 - ye;
                k = 255 - k;
            }
            out[x] = qRgb(c * k / 255, m * k / 255, ye * k / 255);
        }
    }
}

} // namespace

struct JpegRowDecoder::Job : JpegJob
{
};

JpegRowDecoder::JpegRowDecoder(const QByteArray& bytes)
    : m_bytes(bytes)
    , m_job(std::make_unique<Job>())
{
    if (m_bytes.isEmpty()) {
        m_error = QStringLiteral("JPEG: no data");
        return;
    }
    m_job->data = reinterpret_cast<const unsigned char*>(m_bytes.constData());
    m_job->size = static_cast<unsigned long>(m_bytes.size());
    if (!startJpeg(m_job.get())) {
        fail();
        m_job->image = QImage();
        return;
    }
    if (m_job->orientation != 1) {
        // Rows come in the file's order, which is not the upright picture's.
        jpeg_destroy_decompress(&m_job->cinfo);
        m_job->reservation.release();
        m_error = QStringLiteral("JPEG: not stored upright");
        return;
    }
    m_size = QSize(m_job->fullWidth, m_job->fullHeight);
    const J_COLOR_SPACE space = m_job->cinfo.jpeg_color_space;
    m_regionsPossible.store(!m_job->cinfo.progressive_mode
        && !jpeg_has_multiple_scans(&m_job->cinfo)
        && (space == JCS_YCbCr || space == JCS_RGB || space == JCS_GRAYSCALE));
    m_started = true;
}

JpegRowDecoder::~JpegRowDecoder()
{
    jpeg_destroy_decompress(&m_job->cinfo); // nothing when it already was
}

void JpegRowDecoder::fail()
{
    // The pixels stay: the rows done may be shown still.
    m_failed = true;
    m_job->reservation.release();
    m_error
        = exceedsPixelLimit(m_job->fullWidth, m_job->fullHeight) && m_job->err.message[0] == '\0'
        ? pixelLimitError("JPEG", m_job->fullWidth, m_job->fullHeight)
        : QStringLiteral("JPEG: ") + QString::fromLocal8Bit(m_job->err.message);
}

bool JpegRowDecoder::decodeRows(int rows)
{
    if (!ok())
        return false;
    const int before = m_rowsDone.load();
    const int until = std::min(std::max(rows, before), m_size.height());
    if (until == before)
        return true;
    m_job->until = JDIMENSION(until);
    if (!readJpegRows(m_job.get())) {
        fail();
        return false;
    }
    if (m_job->cmyk)
        cmykToRgb32(*m_job, before, until);
    m_rowsDone.store(until);
    if (until == m_size.height())
        m_job->reservation.release();
    return true;
}

JpegRowDecoder::Piece JpegRowDecoder::decodeRegion(const QRect& wanted)
{
    Piece piece { wanted & QRect(QPoint(0, 0), m_size), QImage() };
    if (!m_started || !m_regionsPossible.load() || piece.rect.isEmpty())
        return piece;
    QImage pixels(piece.rect.size(), QImage::Format_RGB32);
    QImage rows(m_size.width(), kRegionRows, QImage::Format_RGB32);
    if (pixels.isNull() || rows.isNull())
        return piece;
    JpegRegionJob job;
    job.data = reinterpret_cast<const unsigned char*>(m_bytes.constData());
    job.size = static_cast<unsigned long>(m_bytes.size());
    job.region = piece.rect;
    job.pixels = pixels.bits();
    job.bytesPerLine = pixels.bytesPerLine();
    job.rows = rows.bits();
    job.rowBytes = rows.bytesPerLine();
    if (!readJpegRegion(&job))
        return piece;
    piece.image = std::move(pixels);
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_pieces.append(piece);
    return piece;
}

void JpegRowDecoder::setWanted(const QRect& region)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_wanted = region;
}

QRect JpegRowDecoder::wanted() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_wanted;
}

QList<JpegRowDecoder::Piece> JpegRowDecoder::pieces() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_pieces;
}

JpegRowDecoder::Step JpegRowDecoder::step(int bandRows)
{
    if (!ok())
        return Step::Failed;
    const int done = m_rowsDone.load();
    if (done == m_size.height())
        return Step::Done;
    if (m_regionsPossible.load()) {
        QRegion missing;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            missing = QRegion(m_wanted & QRect(0, done, m_size.width(), m_size.height() - done));
            for (const Piece& piece : std::as_const(m_pieces))
                missing -= piece.rect;
        }
        if (!missing.isEmpty()) {
            if (!decodeRegion(missing.boundingRect()).image.isNull())
                return Step::Region;
            // Damaged above the region: the rows find out where, and no region is tried again.
            m_regionsPossible.store(false);
        }
    }
    if (!decodeRows(done + std::max(bandRows, 1)))
        return Step::Failed;
    const int rows = m_rowsDone.load();
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_pieces.removeIf([rows](const Piece& piece) { return piece.rect.bottom() < rows; });
    return Step::Rows;
}

QImage JpegRowDecoder::image() const
{
    return m_started ? m_job->image : QImage();
}

QImage JpegRowDecoder::rowsDoneImage() const
{
    const int rows = m_rowsDone.load();
    if (!m_started || rows == 0)
        return QImage();
    const QImage& whole = m_job->image;
    if (rows == m_size.height())
        return whole;
    // Shares the pixels; valid while this decoder lives.
    return QImage(whole.constBits(), whole.width(), rows, whole.bytesPerLine(), whole.format());
}

JpegDecodeResult decodeJpeg(const QByteArray& bytes, int box, PixelBuffer* reuse)
{
    JpegDecodeResult result;
    if (bytes.isEmpty()) {
        result.picture.error = QStringLiteral("JPEG: no data");
        return result;
    }
    JpegJob job;
    job.data = reinterpret_cast<const unsigned char*>(bytes.constData());
    job.size = static_cast<unsigned long>(bytes.size());
    job.box = box;
    job.reuse = reuse;
    const bool ok = runJpeg(&job);
    if (!ok) {
        job.reservation.release();
        result.fullSize = QSize(job.fullWidth, job.fullHeight);
        if (job.err.message[0] == '\0' && exceedsPixelLimit(job.fullWidth, job.fullHeight))
            result.picture.error = pixelLimitError("JPEG", job.fullWidth, job.fullHeight);
        else
            result.picture.error
                = QStringLiteral("JPEG: ") + QString::fromLocal8Bit(job.err.message);
        return result;
    }
    if (job.cmyk)
        cmykToRgb32(job, 0, job.image.height());
    result.picture.image = applyOrientation(std::move(job.image), job.orientation);
    job.reservation.release();
    result.fullSize = orientationSwapsSides(job.orientation) ? QSize(job.fullHeight, job.fullWidth)
                                                             : QSize(job.fullWidth, job.fullHeight);
    if (result.picture.image.isNull())
        result.picture.error = QStringLiteral("JPEG: out of memory");
    return result;
}

} // namespace zarvo
