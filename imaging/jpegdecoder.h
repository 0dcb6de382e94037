// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>

namespace zarvo {

class PixelBuffer;

struct JpegDecodeResult
{
    DecodedPicture picture;
    // The picture's upright size as the file states it (also when it was decoded scaled down).
    QSize fullSize;
};

// Decodes a JPEG held in memory into a Format_RGB32 picture; grayscale, RGB, YCbCr, CMYK and
// YCCK, baseline and progressive. The picture comes upright: turned and mirrored by the Exif
// orientation of its APP1 block (exifOrientation; none when the block is absent or damaged). box ==
// 0 decodes at full size. box > 0 lets libjpeg-turbo scale in the DCT domain by the smallest factor
// M/8 whose output still covers FitRect(full width, full height, box, box) in both directions. A
// file that ends early is a failure (not a picture with a grey bottom); a missing end marker after
// complete data is tolerated. Refuses pictures over kMaxPixels, progressive files of more than
// kMaxJpegScans scans, and files whose coefficient buffers would take more than kMaxJpegWorkBytes
// or whose whole decode more than the decode budget's total. reuse: see allocatePicture.
// Thread-safe; takes its memory through DecodeBudget::shared().
JpegDecodeResult decodeJpeg(const QByteArray& bytes, int box, PixelBuffer* reuse);

// A JPEG decoded at full size from the top down, as many rows at a time as asked, so that the top
// of a large picture can be shown before the rest is decoded. The pixels are those
// decodeJpeg(bytes, 0, nullptr) gives, row for row. Only for files stored upright (no Exif turn):
// others fail at once with an error, and are for decodeJpeg. A file that turns out damaged or short
// fails when its rows are reached (rows already done stay as they are). The same limits as
// decodeJpeg.
//
// One thread at a time; successive calls may come from different threads.
class JpegRowDecoder
{
public:
    explicit JpegRowDecoder(const QByteArray& bytes);
    ~JpegRowDecoder();
    JpegRowDecoder(const JpegRowDecoder&) = delete;
    JpegRowDecoder& operator=(const JpegRowDecoder&) = delete;

    // Whether the picture is being decoded: the header was read and no row has failed.
    bool ok() const { return m_started && !m_failed; }
    const QString& error() const { return m_error; }
    QSize size() const { return m_size; }
    // Decodes until `rows` rows from the top are in (all of them at most); false once it failed.
    bool decodeRows(int rows);
    // Decodes the pixels of `region` (clipped to the picture) into image() ahead of the rows,
    // with a decompression of its own that reads the file only down to the region's bottom and
    // works out only the columns around it (libjpeg-turbo's crop and skip): a window's worth of a
    // large picture costs a fraction of its whole decode. The pixels are those the rows give.
    // Only for single-scan files (a progressive file must be read whole for any part of it) in
    // YCbCr or grayscale, before any row is decoded; false, with nothing changed, otherwise or
    // when the region cannot be decoded (the rows may still be). regionImage() shows the result.
    bool decodeRegion(const QRect& region);
    // The region decoded by decodeRegion() as a picture of its own (null when there is none),
    // and where it lies in the picture.
    const QImage& regionImage() const { return m_regionImage; }
    QRect region() const { return m_region; }
    bool isComplete() const { return ok() && m_rowsDone.load() == m_size.height(); }
    // Rows done; safe to read from any thread.
    int rowsDone() const { return m_rowsDone.load(); }
    // The whole picture (Format_RGB32); rows at and after rowsDone() are not decoded yet. Both
    // pictures stay valid after a failure.
    QImage image() const;
    // The rows done, as a picture that shares their pixels and lives no longer than this object.
    QImage rowsDoneImage() const;

private:
    struct Job;
    void fail();

    QByteArray m_bytes;
    std::unique_ptr<Job> m_job;
    QSize m_size;
    QString m_error;
    bool m_started = false; // the header was read and the pixels are there
    std::atomic<bool> m_failed { false };
    std::atomic<int> m_rowsDone { 0 };
    QRect m_region;
    QImage m_regionImage;
};

} // namespace zarvo
