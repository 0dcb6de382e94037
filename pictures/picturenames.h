// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zarvo {

class Store;

// The name a picture gets from the file it is added from: the file name without its directory
// and without its last extension (cat.jpg gives cat, a.b.png gives a.b), cut to 20 bytes.
QString pictureNameFromPath(const QString& path);

// What a picture keeps of the path it came from: the whole path when it is shorter than 150
// bytes, otherwise its last 150 bytes (so it still ends with the extension).
QString comeFromPath(const QString& path);

// Whether the folder table has a picture of that name (whole name, A-Z case ignored). False
// whenever the table cannot be read.
bool NameExists(Store& store, const QString& name, const QString& folder);

// The first free name of the form base(n), n = 0, 1, 2, ..., where base is the name cut to 17
// bytes: cat gives cat(0), then cat(1) when cat(0) is taken.
QString AutoRename(Store& store, const QString& name, const QString& folder);

} // namespace zarvo
