// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/pictureformat.h"

#include <QString>

#include <span>

class QImage;

namespace zarvo {

struct EncodedPicture;

// A kind of picture file that Zarvo keeps and saves: the extension that names it, its kind code,
// how its stored bytes decode and, for the six kinds a picture can be converted to, how a picture
// is written as it. The kinds are one table in picturekind.cpp; a new kind is one entry there
// (and, when it needs one, a decoder of its own).
//
// Codes 1 to 6 (".jpg", ".jpeg", ".bmp", ".ico", ".png", ".gif") are the conversion targets, in
// the order of the save dialog's first six file types. The kinds after them (7 ".emf", 8 ".wmf",
// 9 ".webp", 10 ".heic", 11 ".heif", 12 ".avif", 13 ".tif", 14 ".tiff", 15 ".jxl") are only ever
// saved as their stored bytes or converted to one of the six.
struct PictureKind
{
    static constexpr int kTargetCount = 6; // codes 1 to 6 are conversion targets
    static constexpr int kFallbackCode = 6; // GIF's, for a `Come` without a known extension

    int code;
    const char* extension; // ".jpg": ASCII lower case, dot included
    const char* saveFilter; // the save dialog's text for it, "JPEG Image File (*.jpg)"
    // How the stored bytes decode. Other for the metafiles, which the folder view does not show
    // (the viewer and saving draw them with the metafile decoder).
    PictureFormat decoder;
    // Writes a picture as this kind; null for the kinds after the six, which are never written
    // but as the bytes they were stored with.
    EncodedPicture (*encode)(const QImage& image);

    constexpr bool isTarget() const { return code <= kTargetCount; }

    // Every kind, in kind code order.
    static std::span<const PictureKind> all();
    // The kind of `code`; GIF's (6) for any code that names none.
    static const PictureKind& ofCode(int code);
    // The kind of a stored source path `Come`, by its extension (extensionOfCome); GIF's (6) for
    // an extension that names no kind, or none.
    static const PictureKind& ofCome(const QString& come);
    // Whether `extension` (as extensionOfCome gives it) names a kind, the metafiles included.
    static bool isKindExtension(const QString& extension);
    // Whether `extension` names a kind the folder view shows (one with a decoder): what adding
    // by dropping files accepts. Not the metafiles.
    static bool isShownExtension(const QString& extension);
};

// The decoder for a stored source path: its kind's, by the extension only, never the bytes (a
// PNG stored under ".jpg" is a JPEG that fails to decode); Other for the metafiles (".emf",
// ".wmf") and an extension that names no kind.
PictureFormat formatOfCome(const QString& come);

// The save dialog's six file types, the conversion targets in code order:
// "JPEG Image File (*.jpg)|*.jpg|...|GIF(*.gif)|*.gif".
extern const char* const kSavePictureFilter;

// The save dialog's file types for a picture stored as kind `storedCode`: the six, and for a
// stored kind after them a seventh, that kind's own ("WebP Image (*.webp)|*.webp").
QString saveFilterFor(int storedCode);
// The kind code of the save dialog's type at 0-based `index` (as saveFilterFor(storedCode) lists
// them): 1 to 6 for the six, `storedCode` for the seventh; `storedCode` for any other index.
int kindOfSaveIndex(int storedCode, int index);
// The 0-based index of the type the save dialog presets for a picture stored as `storedCode`.
int saveIndexOfKind(int storedCode);

} // namespace zarvo
