// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/fingerprint.h"

#include <xxhash.h>

namespace zarvo {

QByteArray contentHash(const char* data, qsizetype size)
{
    const XXH128_hash_t hash = XXH3_128bits(data, size_t(size));
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, hash);
    return QByteArray(reinterpret_cast<const char*>(canonical.digest), sizeof canonical.digest);
}

} // namespace zarvo
