// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace zarvo {

// Moves the window so that it stands in the middle of the primary screen.
void centreOnScreen(QWidget& window);

} // namespace zarvo
