// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/fonts.h"

#include "view/language.h"

namespace zarvo {

QFont programFont(const QStringList& chineseFamilies, int pixelSize, bool bold)
{
    QFont font;
    if (currentLanguage() == Language::Chinese)
        font.setFamilies(chineseFamilies);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont songtiFont(int pixelSize, bool bold)
{
    return programFont(
        { QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei"),
            QStringLiteral("Noto Sans CJK SC") },
        pixelSize, bold);
}

} // namespace zarvo
