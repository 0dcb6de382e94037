// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/gbtext.h"

#include <QList>
#include <QStringEncoder>
#include <QStringView>

namespace zarvo {

namespace {

// Code points in the two-byte area of GB18030 are those of GBK plus a few; everything else in
// the Basic Multilingual Plane takes four bytes. Ask the converter once per character; names
// and paths are short.
int encodedLength(char32_t ch)
{
    thread_local QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return ch < 0x80 ? 1 : (ch < 0x10000 ? 2 : 4);
    const QString one = QString::fromUcs4(&ch, 1);
    return int(QByteArray(encoder.encode(one)).size());
}

template <typename Visit> void forEachCharacter(const QString& text, Visit visit)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = (text.at(i).isHighSurrogate() && i + 1 < text.size()
                                    && text.at(i + 1).isLowSurrogate())
            ? 2
            : 1;
        const char32_t ch = width == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                                       : char32_t(text.at(i).unicode());
        if (!visit(i, width, ch))
            return;
        i += width;
    }
}

} // namespace

int gbCharLength(char32_t ch)
{
    if (ch < 0x80)
        return 1;
    return encodedLength(ch);
}

int gbLength(const QString& text)
{
    int bytes = 0;
    forEachCharacter(text, [&](qsizetype, qsizetype, char32_t ch) {
        bytes += gbCharLength(ch);
        return true;
    });
    return bytes;
}

QString gbLeft(const QString& text, int maxBytes)
{
    int bytes = 0;
    qsizetype end = 0;
    forEachCharacter(text, [&](qsizetype at, qsizetype width, char32_t ch) {
        bytes += gbCharLength(ch);
        if (bytes > maxBytes)
            return false;
        end = at + width;
        return true;
    });
    return text.left(end);
}

QString gbRight(const QString& text, int maxBytes)
{
    // Walk from the front once to know each character's start, then keep the tail.
    QList<qsizetype> starts;
    QList<int> lengths;
    forEachCharacter(text, [&](qsizetype at, qsizetype, char32_t ch) {
        starts.append(at);
        lengths.append(gbCharLength(ch));
        return true;
    });
    int bytes = 0;
    qsizetype begin = text.size();
    for (qsizetype k = starts.size() - 1; k >= 0; --k) {
        if (bytes + lengths.at(k) > maxBytes)
            break;
        bytes += lengths.at(k);
        begin = starts.at(k);
    }
    return text.mid(begin);
}

bool equalsFoldingAsciiLetters(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    auto fold
        = [](char16_t c) -> char16_t { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; };
    for (qsizetype i = 0; i < a.size(); ++i)
        if (fold(a.at(i).unicode()) != fold(b.at(i).unicode()))
            return false;
    return true;
}

} // namespace zarvo
