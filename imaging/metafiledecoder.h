// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>
#include <QString>

namespace zarvo {

enum class MetafileKind { Emf, Wmf };

// Renders a Windows metafile held in memory: EMF through libemf2svg, WMF through libwmf's SVG
// device, the SVG then drawn by Qt SVG on white at the size the file declares, bounded by
// kMaxMetafileSide on each side (larger drawings are scaled down to fit) and by kMaxPixels.
// Format_RGB32. A file the libraries cannot read, or one that declares no size, is a failure.
//
// The two libraries run in a separate process, the helper program zarvo-metafile
// (metafileHelperPath()), never in this one: both leak memory on every file, and a file made to
// crash or stall them must cost only the helper. The helper gets at most kMetafileHelperMemory
// of address space (not in sanitizer builds, whose shadow memory needs more) and
// kMetafileHelperCpuSeconds of CPU, and is killed after kMetafileHelperWaitMs; what it writes
// beyond kMaxMetafileSvgBytes is a failure. Thread-safe; blocks while the helper runs.
DecodedPicture decodeMetafile(MetafileKind kind, const QByteArray& bytes);

inline constexpr int kMaxMetafileSide = 8192;
inline constexpr qint64 kMetafileHelperMemory = qint64(1) << 30;
inline constexpr int kMetafileHelperCpuSeconds = 5;
inline constexpr int kMetafileHelperWaitMs = 10000;
inline constexpr qint64 kMaxMetafileSvgBytes = qint64(256) << 20;

// The helper's work, in the calling process: the SVG of a metafile, or empty with *error set.
QByteArray metafileToSvg(MetafileKind kind, const QByteArray& bytes, QString* error);
// The drawing of decodeMetafile, of the SVG the helper made.
DecodedPicture renderMetafileSvg(const QByteArray& svg);

// The helper program: $ZARVO_METAFILE_HELPER when set, else zarvo-metafile beside the
// running program (a build tree), else the installed one in ../libexec/zarvo.
QString metafileHelperPath();
// The helper's main: `zarvo-metafile emf|wmf` reads the metafile from stdin and writes its SVG
// to stdout; exit status 0, else 1 with the reason on stderr (2: wrong use).
int metafileHelperMain(int argc, char** argv);

} // namespace zarvo
