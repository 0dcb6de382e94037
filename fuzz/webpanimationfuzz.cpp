// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// The all-frames WebP decoder of the viewer, with every frame composed in play order as the
// player does.
#include "imaging/webpdecoder.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

// Fewer frames kept than the program allows, as for GIF (gifanimationfuzz.cpp).
constexpr qint64 kFrameBytes = qint64(16) << 20;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zarvo;
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const GifAnimation animation = decodeWebpAnimation(bytes, kFrameBytes);
    check((animation.status() == GifAnimation::Status::Complete) == animation.error().isEmpty());
    check(animation.ok() == (animation.frameCount() > 0));
    if (!animation.ok())
        return 0;
    const QSize screen = animation.screenSize();
    GifComposer composer(animation);
    for (int i = 0; i < animation.frameCount(); ++i) {
        check(animation.frames()[i].image.size() == screen);
        const QImage composed = composer.frame(i);
        check(composed.size() == screen);
    }
    return 0;
}
