// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

// What the GIF decoders share of giflib: reading from memory, closing, error texts.

#include <QString>

#include <algorithm>
#include <cstring>
#include <memory>

#include <gif_lib.h>

namespace zarvo::giflib {

// The bytes giflib reads, through DGifOpen(&source, readFromMemory, &error).
struct MemorySource
{
    const unsigned char* data;
    size_t size;
    size_t position;
};

inline int readFromMemory(GifFileType* gif, GifByteType* out, int length)
{
    auto* source = static_cast<MemorySource*>(gif->UserData);
    if (length <= 0)
        return 0;
    const size_t count = std::min(size_t(length), source->size - source->position);
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
    return int(count);
}

struct Closer
{
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using Handle = std::unique_ptr<GifFileType, Closer>;

inline QString errorText(int code)
{
    const char* text = GifErrorString(code);
    return QStringLiteral("GIF: ") + (text ? QString::fromLatin1(text) : QString::number(code));
}

// Calls row(y) for the rows of an image in the order they are stored (an interlaced image's
// passes start at rows 0, 4, 2 and 1, stepping 8, 8, 4 and 2) until one returns false.
// Returns how many rows returned true: all `height` of them when the image was read whole,
// fewer when its data ended or was damaged (the rows read before stay usable).
template <typename RowFn> int forEachStoredRow(int height, bool interlaced, RowFn&& row)
{
    int done = 0;
    if (!interlaced) {
        for (int y = 0; y < height; ++y, ++done)
            if (!row(y))
                return done;
        return done;
    }
    static constexpr int kStart[] = { 0, 4, 2, 1 };
    static constexpr int kStep[] = { 8, 8, 4, 2 };
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass], ++done)
            if (!row(y))
                return done;
    return done;
}

} // namespace zarvo::giflib
