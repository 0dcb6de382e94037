// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

namespace zarvo {

// The thumbnail of a picture that could not be decoded: the artwork ":/images/placeholder.png"
// made into a white 150 x 150 RGB32 thumbnail, or, when that is missing or unreadable, a
// drawn white 150 x 150 picture with a light grey broken-picture glyph. Made once; every call
// returns the same image (so the folder view's items share its pixels).
// Thread-safe.
QImage placeholderThumbnail();

// The drawn fallback alone (for tests and for when the artwork is missing).
QImage drawnPlaceholderThumbnail();

} // namespace zarvo
