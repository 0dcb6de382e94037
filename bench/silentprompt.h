// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/prompt.h"

namespace zarvo::bench {

// The prompt of the benchmarks: every question is answered No, no dialog is shown, and popups
// are only counted (a benchmark whose pictures failed to decode or store must not pass for a
// fast one). Keeps no text, so it costs the measured commands next to nothing.
class SilentPrompt : public Prompt
{
public:
    bool confirm(const QString&) override { return false; }
    void popup(PopupKind kind, const QString&) override;
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
    int m_warnings = 0;
};

} // namespace zarvo::bench
