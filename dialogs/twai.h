// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "view/prompt.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QString>
#include <functional>

class QFrame;
class QLabel;
class QTimer;

namespace zarvo {

// The wait window shown while the store is compacted on exit: borderless, white, always on
// top, centred on the screen, 517 by 145. It waits 2 seconds (Timer2), runs the compaction
// once and then closes itself (accept()), showing a warning popup first when the compaction
// failed. Label1 animates a row of dots every 500 ms (Timer1) meanwhile.
//
// The compaction runs on a worker thread, so the window keeps painting and animating; the
// `compact` callback must therefore be safe to call off the user-interface thread (it must
// not touch widgets or the program's own store connection). It returns true on success;
// false or an exception counts as a failure. The `warn` callback is called on the
// user-interface thread. The window cannot be closed by the user while it waits; destroying
// it waits for a running compaction to finish.
class Twai : public QDialog
{
    Q_OBJECT

public:
    using CompactFn = std::function<bool()>;
    using WarnFn = std::function<void(PopupKind, const QString&)>;

    // The warning shown when the compaction fails.
    static QString failureText();

    // Starts both timers at once, as the window is created.
    Twai(QWidget* parent, CompactFn compact, WarnFn warn);
    ~Twai() override;

    // The dot counter lives for the whole run. Tests put it back to its start value.
    static void resetDotCounter();

public Q_SLOTS:
    // Timer1: the next frame of the waiting animation.
    void Timer1Timer();
    // Timer2: stops itself and starts the compaction (only the first time).
    void Timer2Timer();

    // Refused until the compaction has finished; the window closes itself.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void compactionFinished();

    CompactFn m_compact;
    WarnFn m_warn;
    QFrame* m_shape1;
    QLabel* m_image1;
    QLabel* m_label1;
    QLabel* m_label2;
    QLabel* m_label3;
    QLabel* m_label4;
    QTimer* m_timer1;
    QTimer* m_timer2;
    QFutureWatcher<bool> m_watcher;
    bool m_started = false;
    bool m_done = false;
};

} // namespace zarvo
