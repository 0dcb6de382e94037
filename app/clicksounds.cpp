// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/clicksounds.h"

#include <QSoundEffect>
#include <QUrl>

namespace zarvo {

ClickSounds::ClickSounds(QObject* parent)
    : QObject(parent)
{
}

QSoundEffect* ClickSounds::effect(QSoundEffect*& slot, const char* name)
{
    if (!slot) {
        slot = new QSoundEffect(this);
        slot->setSource(QUrl(QStringLiteral("qrc:/sounds/%1.wav").arg(QLatin1String(name))));
        slot->setVolume(0.6f);
    }
    return slot;
}

void ClickSounds::playToolbar()
{
    effect(m_toolbar, "ENC_004")->play();
}

void ClickSounds::playMenu()
{
    effect(m_menu, "ENC_002")->play();
}

} // namespace zarvo
