// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

namespace zarvo {

// How the bytes of a stored picture are decoded. A picture's decoder is its kind's
// (PictureKind, formatOfCome), told from the extension of the record's source path (`Come`).
enum class PictureFormat { Gif, Ico, Bmp, Png, Jpeg, Webp, Heif, Avif, Tiff, Jxl, Other };

// Extension of a stored source path: the text from the last '.' that comes after the last
// '/', '\\' or ':' to the end, dot included, ASCII A-Z lower-cased (only those); empty if none.
QString extensionOfCome(const QString& come);
// The same text before lower-casing, as a view into `come`; empty if none.
QStringView extensionViewOfCome(QStringView come);

} // namespace zarvo
