// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "silentprompt.h"

namespace zarvo::bench {

void SilentPrompt::popup(PopupKind kind, const QString&)
{
    if (kind == PopupKind::Warning)
        ++m_warnings;
}

} // namespace zarvo::bench
