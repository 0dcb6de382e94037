// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/gifplayer.h"

namespace zarvo {

GifPlayer::GifPlayer(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { advance(); });
}

void GifPlayer::play(std::shared_ptr<const GifAnimation> animation)
{
    m_timer.stop();
    m_composer.reset();
    m_animation = std::move(animation);
    m_index = -1;
    m_play = 0;
    if (!m_animation || m_animation->frameCount() == 0) {
        m_animation.reset();
        m_current = QImage();
        Q_EMIT frameChanged(m_current);
        return;
    }
    m_composer.emplace(*m_animation);
    m_play = 1;
    show(0);
    if (m_animation->frameCount() < 2)
        Q_EMIT finished();
}

void GifPlayer::stop()
{
    m_timer.stop();
}

void GifPlayer::clear()
{
    play(nullptr);
}

bool GifPlayer::advance()
{
    if (!m_animation || m_animation->frameCount() < 2)
        return false;
    int next = m_index + 1;
    if (next >= m_animation->frameCount()) {
        const int plays = m_animation->totalPlays();
        if (plays != 0 && m_play >= plays)
            return false;
        ++m_play;
        next = 0;
    }
    show(next);
    return true;
}

void GifPlayer::show(int index)
{
    m_index = index;
    m_current = m_composer->frame(index);
    const int count = m_animation->frameCount();
    const int plays = m_animation->totalPlays();
    const bool ended = count >= 2 && index == count - 1 && plays != 0 && m_play >= plays;
    if (count >= 2 && !ended)
        m_timer.start(m_animation->frames().at(index).playDelayMs());
    else
        m_timer.stop();
    // A receiver may replace or clear the animation; nothing of it is used after this.
    Q_EMIT frameChanged(m_current);
    if (ended)
        Q_EMIT finished();
}

} // namespace zarvo
