// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace zarvo {

class GifAnimation;

// The seven lines the GIF tool shows about a file in Memo1: its name, path, size in bytes,
// number of frames (those decoded, for a damaged file), logical screen size, bits per pixel
// and the playing speed, which stays at 100 percent. Pure text.
QStringList gifDescription(const QString& path, qint64 fileSize, const GifAnimation& animation);

} // namespace zarvo
