// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/prompt.h"

#include <cstdio>

namespace zarvo {

// The prompt of zarvoctl: every question gets the same, fixed answer (a command line cannot be
// asked), and is printed with it; popups are printed on standard error, prefixed with their
// kind. Dialogs cannot be shown: choosers return nothing.
class ConsolePrompt : public Prompt
{
public:
    explicit ConsolePrompt(bool answer, std::FILE* out = stderr)
        : m_answer(answer)
        , m_out(out)
    {
    }

    bool confirm(const QString& question) override;
    void popup(PopupKind kind, const QString& text) override;
    QStringList chooseOpenFiles(const QString&) override { return {}; }
    std::optional<QString> askNewName(const QString&) override { return std::nullopt; }
    NewNode askNewNode(NodeSituation) override { return {}; }
    QString chooseDirectory() override { return {}; }
    void showSearchWindow(FindSession&) override { }
    std::optional<SaveChoice> chooseSaveFile(const QString&, int, const QString&) override
    {
        return std::nullopt;
    }

    int warnings() const { return m_warnings; }

private:
    bool m_answer;
    std::FILE* m_out;
    int m_warnings = 0;
};

} // namespace zarvo
