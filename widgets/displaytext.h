// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zarvo {

// A message as plain text for a dialog or popup: every line break, whether written CR LF, LF CR,
// LF or CR, becomes one LF. Names inside a message are never interpreted as markup; whoever
// shows the text must show it as plain text.
QString displayText(const QString& message);

} // namespace zarvo
