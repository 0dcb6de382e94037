// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/heap.h"

#include <malloc.h>

namespace zarvo {

void keepPictureBuffersOnHeap()
{
    constexpr int kKeptBytes = 64 << 20;
    mallopt(M_MMAP_THRESHOLD, kKeptBytes);
    mallopt(M_TRIM_THRESHOLD, 2 * kKeptBytes);
    mallopt(M_ARENA_MAX, 1);
}

} // namespace zarvo
