// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>

namespace zarvo {

// A frame's own image as the GIF tool shows and saves it: over white, Format_RGB32.
QImage frameOnWhite(const QImage& frame);

// The 150 x 150 list picture of a frame: white, with the frame's own image scaled into the
// rectangle FitRect gives for it. A null frame gives a white picture. Thread-safe.
QImage frameThumbnail(const QImage& frame);

// Writes the picture as a Windows bitmap to path: into a temporary file in the same directory
// that replaces path only once it is complete, so a failure leaves neither a half file nor
// harm to a file of that name; a symlink there is replaced itself, not the file it points to.
// Returns false when anything failed.
bool saveFrameBitmap(const QImage& picture, const QString& path);

} // namespace zarvo
