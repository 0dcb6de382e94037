// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/recordingprompt.h"

#include "folders/findsession.h"

#include <gtest/gtest.h>

namespace zarvo::test {

bool RecordingPrompt::confirm(const QString& question)
{
    questions.append(question);
    if (whileAsking)
        whileAsking();
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
    popups.append({ kind, text });
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

std::optional<QString> RecordingPrompt::askNewName(const QString& oldName)
{
    renamed.append(oldName);
    if (m_newNames.empty()) {
        ADD_FAILURE() << "unexpected rename dialog for " << oldName.toStdString();
        return std::nullopt;
    }
    const auto [given, name] = m_newNames.front();
    m_newNames.pop_front();
    if (!given)
        return std::nullopt;
    return name;
}

NewNode RecordingPrompt::askNewNode(NodeSituation situation)
{
    situations.append(situation);
    if (m_newNodes.empty()) {
        ADD_FAILURE() << "unexpected add dialog";
        return {};
    }
    NewNode node = m_newNodes.front();
    m_newNodes.pop_front();
    return node;
}

QString RecordingPrompt::chooseDirectory()
{
    ++directoryChoosers;
    if (m_directories.empty()) {
        ADD_FAILURE() << "unexpected directory chooser";
        return {};
    }
    QString path = m_directories.front();
    m_directories.pop_front();
    return path;
}

void RecordingPrompt::showSearchWindow(FindSession& session)
{
    searchKinds.append(int(session.kind()));
    if (whileSearching)
        whileSearching(session);
}

std::optional<SaveChoice> RecordingPrompt::chooseSaveFile(
    const QString& filter, int selectedIndex, const QString& proposedName)
{
    saveDialogs.append({ filter, selectedIndex, proposedName });
    if (m_saveFiles.empty()) {
        ADD_FAILURE() << "unexpected save dialog";
        return std::nullopt;
    }
    const auto [given, choice] = m_saveFiles.front();
    m_saveFiles.pop_front();
    if (!given)
        return std::nullopt;
    return choice;
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
    renamed.clear();
    situations.clear();
    searchKinds.clear();
    m_answers.clear();
    m_files.clear();
    m_newNames.clear();
    m_newNodes.clear();
    saveDialogs.clear();
    m_saveFiles.clear();
    directoryChoosers = 0;
    m_directories.clear();
}

} // namespace zarvo::test
