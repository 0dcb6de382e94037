// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/pictureformat.h"

namespace zarvo {

QString extensionOfCome(const QString& come)
{
    qsizetype dot = -1;
    for (qsizetype i = come.size() - 1; i >= 0; --i) {
        const QChar c = come.at(i);
        if (c == u'/' || c == u'\\' || c == u':')
            break;
        if (c == u'.') {
            dot = i;
            break;
        }
    }
    if (dot < 0)
        return {};
    QString extension = come.mid(dot);
    for (QChar& c : extension) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return extension;
}

} // namespace zarvo
