// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// The all-frames GIF decoder of the viewer and the GIF tool, with every frame composed in play
// order as the player does.
#include "imaging/gifanimation.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

// The frames kept are fewer than the program allows (512 MiB), as the pixels of a picture are
// in fuzzing builds (decodelimits.h): what is slow then is the decoder's fault, not the work of
// a large animation.
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
    const GifAnimation animation = GifAnimation::decode(bytes, {}, kFrameBytes);
    check((animation.status() == GifAnimation::Status::Complete) == animation.error().isEmpty());
    check(animation.ok() == (animation.frameCount() > 0));
    for (const GifFrame& frame : animation.frames()) {
        check(frame.image.isNull() == frame.rect.isEmpty());
        check(frame.image.isNull()
            || (frame.image.size() == frame.rect.size()
                && frame.image.format() == QImage::Format_Indexed8
                && frame.image.colorCount() == 256));
    }
    const QSize screen = animation.screenSize();
    if (!animation.ok() || screen.isEmpty())
        return 0;
    GifComposer composer(animation);
    for (int i = 0; i < animation.frameCount(); ++i) {
        const QImage composed = composer.frame(i);
        check(
            composed.size() == screen && composed.format() == QImage::Format_ARGB32_Premultiplied);
    }
    return 0;
}
