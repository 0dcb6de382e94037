// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// One metafile kind (ZARVO_FUZZ_METAFILE: Emf or Wmf) as the viewer draws it. The fuzzer runs
// the helper's conversion in its own process (a fresh helper per input would be far too slow)
// and draws the SVG; the libraries' leaks are suppressed there (fuzz/lsan.supp), since the
// helper's process ends after each file. The regular build replays every input through the
// helper program, as the program does: what crashes or stalls the libraries must fail cleanly.
#include "imaging/metafiledecoder.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Qt SVG draws text: fonts need an application. The first text drawn reads every font
    // of the system (over a second on a busy machine): that happens here, not in an input.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    QImage image(16, 16, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.drawText(0, 12, QStringLiteral("Ab"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zarvo;
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    constexpr MetafileKind kind = MetafileKind::ZARVO_FUZZ_METAFILE;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    QString error;
    const QByteArray svg = metafileToSvg(kind, bytes, &error);
    if (svg.isEmpty() == error.isEmpty())
        std::abort();
    const DecodedPicture picture = svg.isEmpty() ? DecodedPicture() : renderMetafileSvg(svg);
#else
    const DecodedPicture picture = decodeMetafile(kind, bytes);
#endif
    if ((picture.ok() && !picture.error.isEmpty())
        || (picture.ok()
            && (picture.image.format() != QImage::Format_RGB32
                || picture.image.width() > kMaxMetafileSide
                || picture.image.height() > kMaxMetafileSide)))
        std::abort();
    return 0;
}
