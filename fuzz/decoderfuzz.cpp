// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// One picture format (ZARVO_FUZZ_FORMAT) by both roads a stored picture takes: the full-size
// decode of the viewer and saving, and the folder view's thumbnail with its drawing.
#include "imaging/picturedecoder.h"
#include "imaging/thumbnailer.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zarvo;
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const DecodedPicture full = decodePicture(PictureFormat::ZARVO_FUZZ_FORMAT, bytes);
    // A result is either a picture without an error or an error without a picture, and never
    // an indexed picture (whose colour table might not cover its indices).
    if (full.ok() != full.error.isEmpty() || (full.ok() && full.image.colorCount() != 0))
        std::abort();
    static Thumbnailer thumbnailer;
    const DecodedPicture thumbnail
        = thumbnailer.makeThumbnail(PictureFormat::ZARVO_FUZZ_FORMAT, bytes);
    if (thumbnail.ok() && thumbnail.image.size() != QSize(Thumbnailer::kSize, Thumbnailer::kSize))
        std::abort();
    return 0;
}
