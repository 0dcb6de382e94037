// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/prompt.h"

#include <cstdio>

namespace zarvo {

// The prompt that answers nothing, of zarvoctl and the benchmarks: every question gets the same,
// fixed answer (a command line cannot be asked), and is printed with it; popups are printed,
// prefixed with their kind, and warnings counted. With `out` null nothing is printed. Dialogs
// cannot be shown: choosers return nothing.
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
    void resetWarnings() { m_warnings = 0; }

private:
    bool m_answer;
    std::FILE* m_out;
    int m_warnings = 0;
};

} // namespace zarvo
