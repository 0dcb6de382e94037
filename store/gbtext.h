// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Length limits of names and paths are counted in bytes of the text's GB18030 form, so that
// the same names fit as in the program's Windows origins: an ASCII character counts one byte,
// a Chinese character two. Cuts never split a character.
namespace zarvo {

// Bytes of the GB18030 form of one character (1, 2 or 4).
int gbCharLength(char32_t ch);

// Bytes of the GB18030 form of the whole text.
int gbLength(const QString& text);

// The longest beginning of the text of at most maxBytes bytes.
QString gbLeft(const QString& text, int maxBytes);

// The longest end of the text of at most maxBytes bytes.
QString gbRight(const QString& text, int maxBytes);

// Whether the text is the same as other when only the letters A-Z are folded to a-z.
bool equalsFoldingAsciiLetters(const QString& a, const QString& b);

} // namespace zarvo
