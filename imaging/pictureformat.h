// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zarvo {

// The kind of a stored picture. It is always told from the extension of the record's
// source path (`Come`), never from the bytes: a PNG stored under ".jpg" is a JPEG that
// fails to decode.
enum class PictureFormat { Gif, Ico, Bmp, Png, Jpeg, Other };

// Extension of a stored source path: the text from the last '.' that comes after the last
// '/', '\\' or ':' to the end, dot included, ASCII A-Z lower-cased (only those); empty if none.
QString extensionOfCome(const QString& come);

// ".gif" ".ico" ".bmp" ".png" ".jpg"/".jpeg", else Other (".emf", ".wmf", no extension ...).
PictureFormat formatOfCome(const QString& come);

} // namespace zarvo
