// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/decodedpicture.h"

#include <QByteArray>

namespace zarvo {

enum class MetafileKind { Emf, Wmf };

// Renders a Windows metafile held in memory: EMF through libemf2svg, WMF through libwmf's SVG
// device, the SVG then drawn by Qt SVG on white at the size the file declares, bounded by
// kMaxMetafileSide on each side (larger drawings are scaled down to fit) and by kMaxPixels.
// Format_RGB32. A file the libraries cannot read, or one that declares no size, is a failure.
// Thread-safe.
DecodedPicture decodeMetafile(MetafileKind kind, const QByteArray& bytes);

inline constexpr int kMaxMetafileSide = 8192;

} // namespace zarvo
