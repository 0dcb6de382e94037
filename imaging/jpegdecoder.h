// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

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
// of a large picture can be shown before the rest is decoded, and regions of it decoded alone
// ahead of the rows, so that what a window shows comes first wherever it lies. The pixels are
// those decodeJpeg(bytes, 0, nullptr) gives, row for row. Only for files stored upright (no Exif
// turn): others fail at once with an error, and are for decodeJpeg. A file that turns out damaged
// or short fails when its rows are reached (rows already done stay as they are). The same limits
// as decodeJpeg.
//
// The rows and step() from one thread at a time (successive calls may come from different
// threads); decodeRegion(), setWanted(), pieces(), rowsDone() and rowsDoneImage() from any.
class JpegRowDecoder
{
public:
    explicit JpegRowDecoder(const QByteArray& bytes);
    ~JpegRowDecoder();
    JpegRowDecoder(const JpegRowDecoder&) = delete;
    JpegRowDecoder& operator=(const JpegRowDecoder&) = delete;

    // Whether the picture is being decoded: the header was read and no row has failed.
    bool ok() const { return m_started && !m_failed; }
    // Only valid once the rows failed (or the header did), and read from the rows' thread.
    const QString& error() const { return m_error; }
    QSize size() const { return m_size; }
    // Decodes until `rows` rows from the top are in (all of them at most); false once it failed.
    bool decodeRows(int rows);

    // A region of the picture decoded alone, and where it lies (clipped to the picture).
    struct Piece
    {
        QRect rect;
        QImage image;
    };
    // Whether decodeRegion() can work on this file: single-scan (a progressive file must be read
    // whole for any part of it) in YCbCr, RGB or grayscale (not CMYK).
    bool regionsPossible() const { return m_regionsPossible.load(); }
    // Decodes the pixels of `region` (clipped to the picture) with a decompression of its own
    // that reads the file only down to the region's bottom and works out only the columns around
    // it (libjpeg-turbo's crop and skip): a window's worth of a large picture costs a fraction of
    // its whole decode. The pixels are those the rows give. The piece is kept among pieces() until
    // the rows pass it; a null image, with nothing kept, when regions are not possible or the
    // region cannot be decoded (the rows may still be).
    Piece decodeRegion(const QRect& region);

    // What a window shows of the picture now (picture coordinates); an empty rectangle for
    // nothing. step() decodes what of it is not decoded yet ahead of the rows.
    void setWanted(const QRect& region);
    QRect wanted() const;
    enum class Step { Region, Rows, Done, Failed };
    // One piece of work: the part of the wanted region that neither the rows nor a piece holds
    // (as one region, when regions are possible), else the next `bandRows` rows. Done when every
    // row is in, Failed once the rows failed.
    Step step(int bandRows);
    // The pieces decoded that still reach below the rows done, oldest first.
    QList<Piece> pieces() const;

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
    std::atomic<bool> m_regionsPossible { false };
    std::atomic<bool> m_failed { false };
    std::atomic<int> m_rowsDone { 0 };
    mutable std::mutex m_mutex; // guards the two below
    QRect m_wanted;
    QList<Piece> m_pieces;
};

} // namespace zarvo
