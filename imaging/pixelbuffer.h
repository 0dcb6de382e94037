// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

#include <memory>

namespace zarvo {

// Pixel memory that one thread reuses from picture to picture. A fresh allocation of tens of
// megabytes costs about as much as decoding into it (the kernel hands out and zeroes every
// page), so thumbnail decoders write into this instead. It grows to the largest picture seen;
// trim() gives back memory beyond kKeepBytes so that one huge picture does not stay resident.
//
// Not thread-safe: one per thread (each Thumbnailer has one).
class PixelBuffer
{
public:
    static constexpr qsizetype kKeepBytes = qsizetype(64) << 20;

    // A Format_RGB32 picture of w x h over this buffer's memory, with undefined pixels. It is
    // valid until the next call of image() or trim() and must not outlive the buffer; copies
    // of it share the memory. Null if w or h is not positive or memory is exhausted.
    QImage image(int w, int h);

    void trim();
    qsizetype capacity() const { return m_capacity; }

private:
    std::unique_ptr<uchar[]> m_data;
    qsizetype m_capacity = 0;
};

// A Format_RGB32 picture of w x h with undefined pixels: over `reuse` when it is given (see
// PixelBuffer::image), else one that owns its memory (for a large picture, a mapping of its
// own in huge pages where the kernel has them). Null if memory is exhausted.
QImage allocatePicture(PixelBuffer* reuse, int w, int h);

// Asks the kernel to back the whole huge pages within [data, data + bytes) with huge pages
// when they are first touched (Linux transparent huge pages in "madvise" mode). Memory not yet
// touched is then taken 2 MiB per fault instead of 4 KiB: filling 48 MB of fresh memory costs
// about half as much. Only worth it for memory about to be filled whole; a hint, no more.
void adviseHugePages(const void* data, qsizetype bytes);

} // namespace zarvo
