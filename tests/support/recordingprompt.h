// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/prompt.h"

#include <QList>
#include <QStringList>
#include <deque>

namespace zarvo::test {

// A Prompt for tests: answers questions from a script and records everything it was asked
// and shown. An unscripted question fails the current test and is answered No.
class RecordingPrompt : public Prompt {
public:
    struct Popup {
        PopupKind kind;
        QString text;
        bool operator==(const Popup&) const = default;
    };

    bool confirm(const QString& question) override;
    void popup(PopupKind kind, const QString& text) override;
    QStringList chooseOpenFiles(const QString& filter) override;

    // Script: the answers to the next questions, in order.
    void answer(bool yes) { m_answers.push_back(yes); }
    void answerFiles(const QStringList& files) { m_files.push_back(files); }

    QStringList questions;
    QList<Popup> popups;
    QStringList fileFilters;

    bool allAnswersUsed() const { return m_answers.empty() && m_files.empty(); }
    // Texts of the popups of one kind, in order.
    QStringList popupTexts(PopupKind kind) const;
    void clear();

private:
    std::deque<bool> m_answers;
    std::deque<QStringList> m_files;
};

} // namespace zarvo::test
