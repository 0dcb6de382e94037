// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/fonts.h"

#include <QStringList>

namespace zarvo {

QFont songtiFont(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({ QStringLiteral("宋体"), QStringLiteral("SimSun"),
        QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC") });
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace zarvo
