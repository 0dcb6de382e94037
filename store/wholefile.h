// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace zarvo {

// Writes bytes to path through a temporary file in the same directory, which replaces path
// only once every byte is written; otherwise path stays as it was and the temporary file is
// removed. *error (when given) gets the reason of a failure.
//
// QSaveFile alone is not enough: a file written through its buffer whose tail cannot be
// written (a full disk: EFBIG, ENOSPC) is still renamed into place by commit() in Qt 6.4,
// cut short. So the file is written unbuffered and every byte is counted before the commit.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace zarvo
