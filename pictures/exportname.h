// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zarvo {

// The file name a picture is exported under: its name followed by the lower-cased extension of
// the path it came from (cat + /a/b/CAT.JPG gives cat.jpg; no extension, nothing appended).
// Empty when that is not a single, safe file name (empty, "." or "..", holding '/' or NUL), so
// that an export never writes outside the directory chosen for it.
QString exportFileName(const QString& name, const QString& come);

} // namespace zarvo
