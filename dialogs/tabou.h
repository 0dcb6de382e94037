// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QPoint>

class QLabel;

namespace zarvo {

// The about window "关于": one 379 by 226 picture (Image1) filling a fixed, always-on-top
// window with only a close box, centred on the screen. It is made once at start-up and lives
// for the whole run: closing it only hides it, and show() brings the same window back. It is
// not modal. Dragging the picture with the left mouse button moves the window.
class Tabou : public QDialog
{
    Q_OBJECT

public:
    explicit Tabou(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_image1;
    bool m_dragging = false;
    QPoint m_pressGlobal;
    QPoint m_pressWindowPos;
};

} // namespace zarvo
