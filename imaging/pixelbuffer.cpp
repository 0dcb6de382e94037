// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/pixelbuffer.h"

#include "imaging/sanitizer.h"

#include <new>

#include <sys/mman.h>

namespace zarvo {

namespace {

#ifdef ZARVO_ADDRESS_SANITIZER
// AddressSanitizer watches heap memory only: decoders writing beyond a picture must stay caught.
constexpr bool kMapLargePictures = false;
#else
constexpr bool kMapLargePictures = true;
#endif

// Pictures of this size and more get memory of their own mapping, in huge pages where the
// kernel has them: a 12 MP picture is 12,000 small pages, and taking each of them on first
// touch (a fault, a zeroed page, its accounting) costs about half as much as decoding into it.
constexpr qsizetype kHugePagePictureBytes = qsizetype(8) << 20;
constexpr size_t kHugePageBytes = size_t(2) << 20;

struct Mapping
{
    void* base;
    size_t size;
};

void unmapPicture(void* info)
{
    auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->base, mapping->size);
    delete mapping;
}

// A picture over a mapping aligned to huge pages (the kernel backs it with them where it
// can); null when the mapping fails.
QImage mapPicture(int w, int h, qsizetype bytesPerLine)
{
    const size_t bytes = size_t(bytesPerLine) * size_t(h);
    const size_t size = bytes + kHugePageBytes;
    void* base = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return {};
    const auto start
        = (reinterpret_cast<quintptr>(base) + kHugePageBytes - 1) & ~quintptr(kHugePageBytes - 1);
    auto* pixels = reinterpret_cast<uchar*>(start);
    adviseHugePages(pixels, qsizetype(bytes));
    auto* mapping = new (std::nothrow) Mapping { base, size };
    if (!mapping) {
        munmap(base, size);
        return {};
    }
    QImage image(pixels, w, h, bytesPerLine, QImage::Format_RGB32, unmapPicture, mapping);
    if (image.isNull())
        unmapPicture(mapping);
    return image;
}

} // namespace

QImage PixelBuffer::image(int w, int h)
{
    if (w <= 0 || h <= 0)
        return {};
    const qsizetype bytesPerLine = qsizetype(w) * 4;
    const qsizetype bytes = bytesPerLine * h;
    if (bytes > m_capacity) {
        m_data.reset();
        m_capacity = 0;
        m_data.reset(new (std::nothrow) uchar[size_t(bytes)]);
        if (!m_data)
            return {};
        m_capacity = bytes;
    }
    return QImage(m_data.get(), w, h, bytesPerLine, QImage::Format_RGB32);
}

void PixelBuffer::trim()
{
    if (m_capacity > kKeepBytes) {
        m_data.reset();
        m_capacity = 0;
    }
}

QImage allocatePicture(PixelBuffer* reuse, int w, int h)
{
    if (reuse)
        return reuse->image(w, h);
    if (w <= 0 || h <= 0)
        return {};
    const qsizetype bytesPerLine = qsizetype(w) * 4;
    if (kMapLargePictures && bytesPerLine * h >= kHugePagePictureBytes) {
        QImage image = mapPicture(w, h, bytesPerLine);
        if (!image.isNull())
            return image;
    }
    return QImage(w, h, QImage::Format_RGB32);
}

void adviseHugePages(const void* data, qsizetype bytes)
{
    const auto begin = reinterpret_cast<quintptr>(data);
    const quintptr first = (begin + kHugePageBytes - 1) & ~quintptr(kHugePageBytes - 1);
    const quintptr last = (begin + quintptr(bytes)) & ~quintptr(kHugePageBytes - 1);
    if (bytes > 0 && last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

} // namespace zarvo
