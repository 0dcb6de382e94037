// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "imaging/gifanimation.h"

#include <QImage>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

namespace zarvo {

// Plays a GifAnimation: steps its composed frames on a single-shot QTimer of the thread it
// lives on (the user-interface thread), each frame standing for its playDelayMs(), and plays
// the animation as often as its loop count asks (totalPlays(); endless for 0). After the last
// play it stays on the last frame and emits finished().
//
// The player shares the animation (shared_ptr), so whoever drops it while the player runs
// does not pull the frames from under it; stop() or destroying the player ends playing at
// once. A single-frame animation is shown and counts as finished right away.
class GifPlayer : public QObject
{
    Q_OBJECT

public:
    explicit GifPlayer(QObject* parent = nullptr);

    // Shows frame 0 (frameChanged) and, with two or more frames, starts the timer. Replaces
    // what was playing. A null or empty animation clears the player (frameChanged with a null
    // picture).
    void play(std::shared_ptr<const GifAnimation> animation);
    // Stops the timer; the current frame stays.
    void stop();
    // Stops and lets go of the animation; emits frameChanged with a null picture.
    void clear();

    bool isPlaying() const { return m_timer.isActive(); }
    const std::shared_ptr<const GifAnimation>& animation() const { return m_animation; }
    QImage currentFrame() const { return m_current; }
    int currentIndex() const { return m_index; }
    // Plays begun so far, the current one included (1 while the first play runs).
    int playNumber() const { return m_play; }
    // What the timer waits now before the next frame; -1 when it is not running.
    int pendingDelayMs() const { return isPlaying() ? m_timer.interval() : -1; }

    // Shows the next frame now, as the timer would, and sets the timer for it. Returns false,
    // changing nothing, when the animation has ended (or there is none).
    bool advance();

Q_SIGNALS:
    void frameChanged(const QImage& frame);
    void finished();

private:
    void show(int index);

    std::shared_ptr<const GifAnimation> m_animation;
    std::optional<GifComposer> m_composer;
    QTimer m_timer;
    QImage m_current;
    int m_index = -1;
    int m_play = 0;
};

} // namespace zarvo
