// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/pictureformat.h"

namespace zarvo {

QStringView extensionViewOfCome(QStringView come)
{
    for (qsizetype i = come.size() - 1; i >= 0; --i) {
        const QChar c = come.at(i);
        if (c == u'/' || c == u'\\' || c == u':')
            break;
        if (c == u'.')
            return come.mid(i);
    }
    return {};
}

QString extensionOfCome(const QString& come)
{
    QString extension = extensionViewOfCome(come).toString();
    for (QChar& c : extension) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return extension;
}

} // namespace zarvo
