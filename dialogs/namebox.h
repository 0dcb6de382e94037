// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>

namespace zarvo {

// A one-line name box that holds at most a number of bytes, counted in the text's GB18030 form
// (an ASCII character one, a Chinese character two): once it is full, typing stops; text pasted
// or dropped into it is cut to what still fits, never in the middle of a character. TABs and
// line breaks never enter it.
class NameBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit NameBox(int maxBytes, QWidget* parent = nullptr);

    int maxBytes() const { return m_maxBytes; }

private:
    int m_maxBytes;
};

} // namespace zarvo
