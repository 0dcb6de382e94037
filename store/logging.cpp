// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/logging.h"

Q_LOGGING_CATEGORY(lcStore, "zarvo.store", QtInfoMsg)
Q_LOGGING_CATEGORY(lcImaging, "zarvo.imaging", QtInfoMsg)
Q_LOGGING_CATEGORY(lcView, "zarvo.view", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPictures, "zarvo.pictures", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFolders, "zarvo.folders", QtInfoMsg)
Q_LOGGING_CATEGORY(lcDialogs, "zarvo.dialogs", QtInfoMsg)
Q_LOGGING_CATEGORY(lcGifTool, "zarvo.giftool", QtInfoMsg)
Q_LOGGING_CATEGORY(lcApp, "zarvo.app", QtInfoMsg)
