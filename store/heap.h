// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

namespace zarvo {

// Pictures of megabytes pass through the heap one after the other (read from a store, decoded,
// copied out of a server's results). glibc maps every block of more than 128 kB afresh and unmaps
// it when freed, and a fresh mapping costs a page fault per 4 kB when it is filled; this keeps
// freed blocks of up to 64 MB on the heap for the next picture. It sets the allocator of the
// whole process, so the programs call it once, first thing in main().
void keepPictureBuffersOnHeap();

} // namespace zarvo
