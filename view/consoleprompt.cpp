// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/consoleprompt.h"

namespace zarvo {

namespace {

// Questions and messages carry "\n\r" line breaks; a console wants plain ones.
QByteArray consoleText(const QString& text)
{
    QString plain = text;
    plain.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return plain.toLocal8Bit();
}

} // namespace

bool ConsolePrompt::confirm(const QString& question)
{
    if (m_out)
        std::fprintf(
            m_out, "%s -> %s\n", consoleText(question).constData(), m_answer ? "yes" : "no");
    return m_answer;
}

void ConsolePrompt::popup(PopupKind kind, const QString& text)
{
    const char* label
        = kind == PopupKind::Warning ? "warning" : (kind == PopupKind::Success ? "ok" : "note");
    if (kind == PopupKind::Warning)
        ++m_warnings;
    if (m_out)
        std::fprintf(m_out, "%s: %s\n", label, consoleText(text).constData());
}

} // namespace zarvo
