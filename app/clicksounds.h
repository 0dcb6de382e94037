// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSoundEffect;

namespace zarvo {

// The two click sounds: "ENC_004" when the mouse enters a toolbar button, "ENC_002" when the
// main menu is used. They play without blocking the window; without an audio device they are
// silent. The sound objects are made on first use.
class ClickSounds : public QObject
{
    Q_OBJECT
public:
    explicit ClickSounds(QObject* parent = nullptr);

    void playToolbar();
    void playMenu();

private:
    QSoundEffect* effect(QSoundEffect*& slot, const char* name);

    QSoundEffect* m_toolbar = nullptr;
    QSoundEffect* m_menu = nullptr;
};

} // namespace zarvo
