// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>

namespace zarvo {

class Form1;
class Prompt;

struct StartupOptions
{
    int splashMs = 3500;
    // null: the program's own dialogs and popups
    Prompt* prompt = nullptr;
    // The store file; empty: `data.mdb` of the working directory
    QString storePath = QString();
};

// Start-up up to the shown main window: installs the language (installLanguage(), with Qt's own
// dialogs), opens the store file (options.storePath), shows the splash for its time, then the
// maximised main window (which loads the folder tree). Null when the store cannot be opened: the
// warning has been shown and, with the program's own popups, has slid out again; no other window
// appeared. Needs a QApplication.
std::unique_ptr<Form1> startZarvo(const StartupOptions& options = {});

// The program on the store file `storePath`: start-up, then the event loop until the close query
// lets the program end and the last popup has gone. Returns the exit status (1 when the store
// cannot be opened).
int runZarvo(const QString& storePath = {});

} // namespace zarvo
