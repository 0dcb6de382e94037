// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/namebox.h"

#include "store/gbtext.h"

#include <QValidator>

namespace zarvo {

namespace {

// Sees each edit before it is final. What the edit inserts is what lies between the common
// beginning and end of the text the box held before and the text it would hold now.
class ByteLimit : public QValidator
{
public:
    ByteLimit(QLineEdit* box, int maxBytes)
        : QValidator(box)
        , m_maxBytes(maxBytes)
    {
        connect(
            box, &QLineEdit::textChanged, this, [this](const QString& text) { m_previous = text; });
    }

    State validate(QString& input, int& pos) const override
    {
        // A pasted TAB or line break would break the tree stream; a typed one moves the focus.
        for (QChar c : { QLatin1Char('\t'), QLatin1Char('\r'), QLatin1Char('\n') }) {
            while (input.contains(c)) {
                const qsizetype at = input.indexOf(c);
                input.remove(at, 1);
                if (pos > at)
                    --pos;
            }
        }
        if (gbLength(input) <= m_maxBytes)
            return Acceptable;
        const QString& old = m_previous;
        qsizetype head = 0;
        while (head < old.size() && head < input.size() && old[head] == input[head])
            ++head;
        qsizetype tail = 0;
        while (tail < old.size() - head && tail < input.size() - head
            && old[old.size() - 1 - tail] == input[input.size() - 1 - tail])
            ++tail;
        const QString kept = old.left(head) + old.right(tail);
        const QString inserted
            = gbLeft(input.mid(head, input.size() - head - tail), m_maxBytes - gbLength(kept));
        if (inserted.isEmpty())
            return Invalid;
        input = old.left(head) + inserted + old.right(tail);
        pos = int(head + inserted.size());
        return Acceptable;
    }

private:
    int m_maxBytes;
    QString m_previous;
};

} // namespace

NameBox::NameBox(int maxBytes, QWidget* parent)
    : QLineEdit(parent)
    , m_maxBytes(maxBytes)
{
    setValidator(new ByteLimit(this, maxBytes));
}

} // namespace zarvo
