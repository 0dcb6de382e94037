// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

namespace zarvo {

// A rectangle in a box's coordinates; right and bottom are exclusive.
struct DrawRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return width() <= 0 || height() <= 0; }
};

// Where a picture w pixels wide and h high is drawn inside a box bw wide and bh high.
// A picture that fits keeps its size and is centred. A larger one fills the box across its
// longer side; the other side is the box's extent times the picture's ratio, so with a box
// that is not square the picture scales across by the box's width and down by its height.
// Computed in double precision and truncated toward zero, so a very thin picture can give
// an empty rectangle (151 x 1 in 150 x 150): nothing is drawn then. Pure arithmetic.
DrawRect FitRect(int w, int h, int bw, int bh);

} // namespace zarvo
