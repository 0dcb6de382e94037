// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QWidget>

namespace zarvo {

// The splash window: a borderless 800 by 600 window centred on the screen, showing the
// splash picture with a 3-pixel outline masked over its edges. It has no behaviour of its
// own; whoever shows it decides how long it stays.
class Tfles : public QWidget
{
    Q_OBJECT

public:
    explicit Tfles(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace zarvo
