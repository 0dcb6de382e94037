// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/prompt.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

namespace zarvo::test {

// A Prompt for tests: answers questions from a script and records everything it was asked
// and shown. An unscripted question fails the current test and is answered No.
class RecordingPrompt : public Prompt
{
public:
    struct Popup
    {
        PopupKind kind;
        QString text;
        bool operator==(const Popup&) const = default;
    };

    bool confirm(const QString& question) override;
    void popup(PopupKind kind, const QString& text) override;
    QStringList chooseOpenFiles(const QString& filter) override;
    std::optional<QString> askNewName(const QString& oldName) override;
    NewNode askNewNode(NodeSituation situation) override;
    QString chooseDirectory() override;
    void showSearchWindow(FindSession& session) override;
    std::optional<SaveChoice> chooseSaveFile(
        const QString& filter, int selectedIndex, const QString& proposedName) override;

    // Script: the answers to the next questions and dialogs of each kind, in order.
    void answer(bool yes) { m_answers.push_back(yes); }
    void answerFiles(const QStringList& files) { m_files.push_back(files); }
    void answerNewName(const QString& name) { m_newNames.push_back({ true, name }); }
    void cancelNewName() { m_newNames.push_back({ false, QString() }); }
    void answerNewNode(NodePlacement placement, const QString& name)
    {
        m_newNodes.push_back({ placement, name });
    }
    void answerSaveFile(const QString& path, int filterIndex)
    {
        m_saveFiles.push_back({ true, SaveChoice { path, filterIndex } });
    }
    void cancelSaveFile() { m_saveFiles.push_back({ false, SaveChoice() }); }
    // The directory chooser's answer; an empty text is Cancel.
    void answerDirectory(const QString& path) { m_directories.push_back(path); }

    QStringList questions;
    QList<Popup> popups;
    QStringList fileFilters;
    QStringList renamed; // the old names the rename dialog was asked for
    QList<NodeSituation> situations; // what the add dialog was asked to offer
    int directoryChoosers = 0; // how often the directory chooser was shown
    QList<int> searchKinds; // the kind each search window was opened with
    // Runs while a search window is open: what the user does in it.
    std::function<void(FindSession&)> whileSearching;
    // Runs while a question is open, before it is answered (what else may happen meanwhile).
    std::function<void()> whileAsking;
    struct SaveDialog
    {
        QString filter;
        int selectedIndex;
        QString proposedName;
    };
    QList<SaveDialog> saveDialogs; // how the save dialog was preset

    bool allAnswersUsed() const
    {
        return m_answers.empty() && m_files.empty() && m_newNames.empty() && m_newNodes.empty()
            && m_directories.empty() && m_saveFiles.empty();
    }
    // Texts of the popups of one kind, in order.
    QStringList popupTexts(PopupKind kind) const;
    void clear();

private:
    std::deque<bool> m_answers;
    std::deque<QStringList> m_files;
    std::deque<std::pair<bool, QString>> m_newNames; // given, name
    std::deque<NewNode> m_newNodes;
    std::deque<QString> m_directories;
    std::deque<std::pair<bool, SaveChoice>> m_saveFiles; // given, choice
};

} // namespace zarvo::test
