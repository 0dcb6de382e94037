// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace zarvo {

// Whether anything is at path: a file, a directory, or a symlink, even one that points nowhere
// (QFileInfo::exists() follows the link and says no). A writer asks before replacing it.
bool somethingAt(const QString& path);

// Writes bytes to path through a new temporary file in the same directory (created exclusively,
// written, synced), which is renamed onto path only once every byte is written; otherwise path
// stays as it was and the temporary file is removed. *error (when given) gets the reason of a
// failure. A replaced regular file's permissions are kept.
//
// A symlink at path is replaced itself: the file it points to is never written, and a link
// pointing nowhere never makes a file appear elsewhere. (QSaveFile follows links, and commits a
// file whose buffered tail could not be written, cut short, in Qt 6.4.)
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace zarvo
