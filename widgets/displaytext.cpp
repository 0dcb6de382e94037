// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/displaytext.h"

namespace zarvo {

QString displayText(const QString& message)
{
    QString text;
    text.reserve(message.size());
    for (qsizetype i = 0; i < message.size(); ++i) {
        const QChar c = message.at(i);
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r')) {
            text.append(c);
            continue;
        }
        text.append(QLatin1Char('\n'));
        // A pair of different break characters is one break.
        if (i + 1 < message.size()
            && (message.at(i + 1) == QLatin1Char('\n') || message.at(i + 1) == QLatin1Char('\r'))
            && message.at(i + 1) != c)
            ++i;
    }
    return text;
}

} // namespace zarvo
