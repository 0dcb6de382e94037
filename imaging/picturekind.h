// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/pictureformat.h"

#include <QString>

#include <span>

class QImage;

namespace zarvo {

struct EncodedPicture;

// A kind of picture file that Zarvo saves: the extension that names it, its kind code (its
// 1-based position in the save dialog's list of file types), how its stored bytes decode and how
// a picture is written as it. The kinds are one table in picturekind.cpp; a new kind is one entry
// there (and, when it needs one, a decoder of its own).
struct PictureKind
{
    int code;
    const char* extension; // ".jpg": ASCII lower case, dot included
    const char* saveFilter; // the save dialog's text for it, "JPEG Image File (*.jpg)"
    PictureFormat decoder;
    EncodedPicture (*encode)(const QImage& image);

    // Every kind, in kind code order.
    static std::span<const PictureKind> all();
    // The kind of `code`; GIF's (6) for any code that names none.
    static const PictureKind& ofCode(int code);
    // The kind of a stored source path `Come`, by its extension (extensionOfCome); GIF's (6) for
    // any other extension or none.
    static const PictureKind& ofCome(const QString& come);
    // Whether `extension` (as extensionOfCome gives it) names a kind.
    static bool isKindExtension(const QString& extension);
};

// The decoder for a stored source path: its kind's, by the extension only, never the bytes (a
// PNG stored under ".jpg" is a JPEG that fails to decode); Other for an extension that names no
// kind (".emf", ".wmf", none ...).
PictureFormat formatOfCome(const QString& come);

// The save dialog's file types, one per kind in code order: "JPEG Image File (*.jpg)|*.jpg|...".
extern const char* const kSavePictureFilter;

} // namespace zarvo
