// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace zarvo {

// A flat toolbar button showing one glyph on white. Under the mouse it gains a black border
// with a sky-blue bevel inside; pressed, the bevel is sunken and the glyph moves by a pixel.
class FlatButton : public QAbstractButton
{
    Q_OBJECT
public:
    FlatButton(const QPixmap& glyph, const QString& hint, QWidget* parent = nullptr);

    QSize sizeHint() const override { return { 73, 72 }; }

Q_SIGNALS:
    // The mouse entered the button.
    void mouseEntered();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap m_glyph;
};

} // namespace zarvo
