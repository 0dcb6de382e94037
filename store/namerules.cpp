// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/namerules.h"

#include "store/foldertree.h"
#include "store/gbtext.h"

#include <QCoreApplication>

namespace zarvo::NameRules {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(NameRules)
};

} // namespace

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
        return Texts::tr("名称是空的");
    if (hasGroupMarker(name))
        return Texts::tr("名称中不能包含ASCII码1");
    if (hasSpace(name))
        return Texts::tr("名称中不能包含空格字符");
    if (hasLineBreakOrTab(name))
        return Texts::tr("名称中不能包含制表符或换行符");
    if (name.contains(QChar(0)))
        return Texts::tr("名称中不能包含ASCII码0");
    if (gbLength(name) > kMaxTypedBytes)
        return Texts::tr("名称超过 %1 个字节 (一个汉字算两个字节)").arg(kMaxTypedBytes);
    return {};
}

} // namespace zarvo::NameRules
