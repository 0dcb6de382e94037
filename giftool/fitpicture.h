// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QWidget>

namespace zarvo {

// Shows one picture on white, in the rectangle FitRect gives for it inside the widget (its own
// size, centred, when it fits; else scaled to fit). Transparent parts show the white. Used for
// the GIF tool's preview, still or fed frame by frame by a GifPlayer.
class FitPicture : public QWidget
{
    Q_OBJECT

public:
    explicit FitPicture(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    QImage image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};

} // namespace zarvo
