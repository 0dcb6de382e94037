// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/exportname.h"

#include "imaging/pictureformat.h"

namespace zarvo {

QString exportFileName(const QString& name, const QString& come)
{
    const QString file = name + extensionOfCome(come);
    if (file.isEmpty() || file == QLatin1String(".") || file == QLatin1String("..")
        || file.contains(QLatin1Char('/')) || file.contains(QChar(0)))
        return {};
    return file;
}

} // namespace zarvo
