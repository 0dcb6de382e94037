// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/recordingprompt.h"

#include <gtest/gtest.h>

namespace zarvo::test {

bool RecordingPrompt::confirm(const QString& question)
{
    questions.append(question);
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << question.toStdString();
        return false;
    }
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

void RecordingPrompt::popup(PopupKind kind, const QString& text)
{
    popups.append({kind, text});
}

QStringList RecordingPrompt::chooseOpenFiles(const QString& filter)
{
    fileFilters.append(filter);
    if (m_files.empty()) {
        ADD_FAILURE() << "unexpected open-file dialog";
        return {};
    }
    QStringList files = m_files.front();
    m_files.pop_front();
    return files;
}

QStringList RecordingPrompt::popupTexts(PopupKind kind) const
{
    QStringList texts;
    for (const Popup& p : popups)
        if (p.kind == kind)
            texts.append(p.text);
    return texts;
}

void RecordingPrompt::clear()
{
    questions.clear();
    popups.clear();
    fileFilters.clear();
    m_answers.clear();
    m_files.clear();
}

} // namespace zarvo::test
