// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/fingerprint.h"

#include <xxhash.h>

#include <new>

namespace zarvo {

namespace {

QByteArray canonical(const XXH128_hash_t& hash)
{
    XXH128_canonical_t out;
    XXH128_canonicalFromHash(&out, hash);
    return QByteArray(reinterpret_cast<const char*>(out.digest), sizeof out.digest);
}

} // namespace

QByteArray contentHash(const char* data, qsizetype size)
{
    return canonical(XXH3_128bits(data, size_t(size)));
}

ContentHasher::ContentHasher()
    : m_state(XXH3_createState())
{
    if (!m_state)
        throw std::bad_alloc();
    reset();
}

ContentHasher::~ContentHasher()
{
    XXH3_freeState(m_state);
}

void ContentHasher::reset()
{
    XXH3_128bits_reset(m_state);
}

void ContentHasher::add(const char* data, qsizetype size)
{
    XXH3_128bits_update(m_state, data, size_t(size));
}

QByteArray ContentHasher::result() const
{
    return canonical(XXH3_128bits_digest(m_state));
}

} // namespace zarvo
