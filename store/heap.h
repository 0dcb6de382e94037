// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

namespace zarvo {

// Pictures of megabytes pass through the heap one after the other (read from a store, decoded,
// copied out of a server's results), and each thumbnail through buffers of some tens of
// kilobytes freed at once. By default glibc maps every block of more than 128 kB afresh and
// unmaps it when freed, hands freed memory at the top of a heap back to the system, and gives
// each thread a heap of its own; every fresh page then costs a page fault when it is filled,
// which costs more than decoding a cached thumbnail. This keeps freed blocks of up to 64 MB and
// up to 128 MB of free memory for the next pictures, in one heap for all threads, so that what
// the decoding threads free (half a gigabyte of thumbnails for a folder of 10,000 pictures) is
// used again instead of faulted in anew (a cached opening of 10,000 pictures took about three
// times the processor time with heaps per thread). It sets the allocator of the whole process,
// so the programs call it once, first thing in main().
void keepPictureBuffersOnHeap();

} // namespace zarvo
