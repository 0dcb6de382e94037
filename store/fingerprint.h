// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

namespace zarvo {

// The content hash of picture bytes: XXH3-128 in its canonical (big-endian) form, 16 bytes. Two
// pictures with the same hash and length almost surely hold the same bytes; whoever acts on a
// match compares the bytes first (XXH3 is fast, not collision-proof).
QByteArray contentHash(const char* data, qsizetype size);
inline QByteArray contentHash(const QByteArray& bytes)
{
    return contentHash(bytes.constData(), bytes.size());
}

} // namespace zarvo
