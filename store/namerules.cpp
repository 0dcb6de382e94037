// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/namerules.h"

#include "store/foldertree.h"
#include "store/gbtext.h"

namespace zarvo::NameRules {

bool hasGroupMarker(const QString& name)
{
    return name.contains(FolderTree::kGroupMarker);
}

bool hasSpace(const QString& name)
{
    return name.contains(QLatin1Char(' '));
}

bool hasLineBreakOrTab(const QString& name)
{
    return name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n'))
        || name.contains(QLatin1Char('\t'));
}

QString folderNameProblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("the name is empty");
    if (hasGroupMarker(name))
        return QStringLiteral("the name holds the character of code 1");
    if (hasSpace(name))
        return QStringLiteral("the name holds a space");
    if (hasLineBreakOrTab(name))
        return QStringLiteral("the name holds a TAB or a line break");
    if (name.contains(QChar(0)))
        return QStringLiteral("the name holds a NUL character");
    if (gbLength(name) > kMaxTypedBytes)
        return QStringLiteral("the name is longer than %1 bytes (a Chinese character counts two)")
            .arg(kMaxTypedBytes);
    return {};
}

} // namespace zarvo::NameRules
