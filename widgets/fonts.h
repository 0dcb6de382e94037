// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QStringList>

namespace zarvo {

// A font of the program at a pixel size. Chinese texts are drawn in `chineseFamilies`, tried in
// order by fontconfig; English ones in the desktop's own font (the application's default family).
QFont programFont(const QStringList& chineseFamilies, int pixelSize, bool bold = false);

// The program's "宋体" at a pixel size. Linux desktops rarely have SimSun, so the font names
// a list of families that fontconfig tries in order ("宋体", "SimSun", "WenQuanYi Zen Hei",
// "Noto Sans CJK SC"); Chinese text renders with whichever is installed first.
QFont songtiFont(int pixelSize, bool bold = false);

} // namespace zarvo
