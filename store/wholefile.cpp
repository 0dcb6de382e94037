// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/wholefile.h"

#include <QSaveFile>

namespace zarvo {

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qsizetype done = 0; written && done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        written = n > 0;
        done += written ? n : 0;
    }
    if (written && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    file.cancelWriting();
    return false;
}

} // namespace zarvo
