// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/language.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace zarvo {

// Where the help command looks. Plain data, so that tests can point every place at a sandbox.
struct HelpPlaces
{
    // the working directory, where `help.chm` may lie
    QString workingDir;
    // the folder of the guide installed with the program, <prefix>/share/zarvo/help: the
    // Chinese guide's index.html, the English guide's en/index.html
    QString installedGuide;
    // the same folder in the source tree (doc/guide), for a program run from its build tree
    QString sourceGuide;
};

// The places of the running program: the working directory, the guide relative to the
// executable (QCoreApplication::applicationDirPath()/../share/zarvo/help) and the source tree's
// copy.
HelpPlaces helpPlaces();

// The program the desktop opens `application/vnd.ms-htmlhelp` files with (the desktop file
// named by `xdg-mime query default`), empty when there is none or xdg-mime cannot say.
QString chmHandler();

// What the help command opens: `help.chm` of the working directory when it exists and
// `handlerOfChm` (asked only then) names a program for it; otherwise the index page of the
// installed guide in `language`, or of its Chinese guide when that language has none; the
// source tree's guide in the same way when the program is not installed. An empty URL when
// none of them exists: the help command then does nothing and says nothing.
QUrl helpDocument(
    const HelpPlaces& places, Language language, const std::function<QString()>& handlerOfChm);

} // namespace zarvo
