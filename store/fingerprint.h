// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

struct XXH3_state_s;

namespace zarvo {

// The content hash of picture bytes: XXH3-128 in its canonical (big-endian) form, 16 bytes. Two
// pictures with the same hash and length almost surely hold the same bytes; whoever acts on a
// match compares the bytes first (XXH3 is fast, not collision-proof).
QByteArray contentHash(const char* data, qsizetype size);
inline QByteArray contentHash(const QByteArray& bytes)
{
    return contentHash(bytes.constData(), bytes.size());
}

// The same hash of bytes that arrive in parts: add() them in order, then result().
class ContentHasher
{
public:
    ContentHasher();
    ~ContentHasher();
    ContentHasher(const ContentHasher&) = delete;
    ContentHasher& operator=(const ContentHasher&) = delete;
    void reset();
    void add(const char* data, qsizetype size);
    QByteArray result() const;

private:
    XXH3_state_s* m_state;
};

} // namespace zarvo
