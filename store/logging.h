// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLoggingCategory>

// One logging category per subsystem, silent below the info level: the user is told things by
// popups, and a developer turns the debug output on with QT_LOGGING_RULES, for example
// "zarvo.pictures.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcImaging)
Q_DECLARE_LOGGING_CATEGORY(lcView)
Q_DECLARE_LOGGING_CATEGORY(lcPictures)
Q_DECLARE_LOGGING_CATEGORY(lcFolders)
Q_DECLARE_LOGGING_CATEGORY(lcDialogs)
Q_DECLARE_LOGGING_CATEGORY(lcGifTool)
Q_DECLARE_LOGGING_CATEGORY(lcApp)
