// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/pixelbuffer.h"

#include <new>

namespace zarvo {

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
    return QImage(w, h, QImage::Format_RGB32);
}

} // namespace zarvo
