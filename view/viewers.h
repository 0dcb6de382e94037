// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFuture>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

namespace zarvo {

class GifAnimation;
class JpegRowDecoder;

// A picture of the store opened for viewing at its own size, decoded once.
struct ViewedPicture
{
    QString table; // the folder table it was opened from
    QString name; // its `Name`
    QString extension; // the lower-cased extension of its `Come`, dot included, or empty
    int kind = 6; // its picture kind code (pictureKindCode: 1 ".jpg" ... 15 ".jxl")
    // The stored bytes: a picture that has left the store is saved from these.
    QByteArray bytes;
    // The picture as shown: a still picture, or an animation of two or more frames.
    QImage image;
    std::shared_ptr<const GifAnimation> animation;
    // A still picture may be given by the part of it that is not white: then `image` lies at
    // `imageAt` on a white picture of size `canvas` (empty when `image` is all of the picture).
    // A GIF's small first image on a huge logical screen so costs only what the image covers.
    QPoint imageAt;
    QSize canvas;
    // A large picture may come with only what the window shows first decoded (`image`, at
    // `imageAt` on `canvas`): the viewer shows it and has `rest` decode the others, once
    // `restStarted` (the first rows, decoded meanwhile) is finished.
    std::shared_ptr<JpegRowDecoder> rest;
    QFuture<void> restStarted;

    // The picture's own width and height.
    QSize size() const;
    // "文件:" + name + extension.
    QString caption() const
    {
        return QCoreApplication::translate("ViewedPicture", "文件:%1").arg(name + extension);
    }
};

// Where viewer windows are sized and placed; pure arithmetic on the sizes the window manager
// is asked for (outer sizes, the frame included).
namespace viewerlayout {

inline constexpr QSize kSmallArea { 409, 327 }; // the picture area of a window for a small picture
inline constexpr QSize kSmallWindow { 410, 357 }; // that window's outer size
inline constexpr int kLargeExtraHeight = 40; // a large picture's window is this much higher
inline constexpr int kCascadeStep = 20;
inline constexpr int kCascadeRestart = 400; // from the screen's right and bottom edges

// Small: at most 409 wide and 327 high.
bool isSmall(QSize picture);
// The picture area `Image1`: 409 x 327 for a small picture, else the picture's own size.
QSize pictureArea(QSize picture);
// The window's outer size: 410 x 357 for a small picture, else the picture's size + 40 in height.
QSize outerSize(QSize picture);
// A window of outer size `outer` centred on a screen of `screen` size (rounded down, at least 0).
QPoint centred(QSize outer, QSize screen);

// The places of the windows of one run: each centred, then moved on by the run's offset, which
// grows by 20 right and down per window; a window centred at or beyond 400 px from the screen's
// right or bottom edge stays centred and the offset starts again at 20.
class Cascade
{
public:
    explicit Cascade(QSize screen)
        : m_screen(screen)
    {
    }
    QPoint place(QSize outer);

private:
    QSize m_screen;
    int m_offset = 0;
};

} // namespace viewerlayout

// The viewer windows of the program. Commands ask for them through the workspace; the desktop
// program opens real windows, tests record what was asked. User-interface thread only.
class Viewers
{
public:
    virtual ~Viewers() = default;
    // The size of the screen the windows open on.
    virtual QSize screenSize() const = 0;
    // Opens a window for the picture with the outer geometry `frame` (screen coordinates
    // relative to the screen's top-left corner). The window stays open on its own.
    virtual void openViewer(ViewedPicture picture, const QRect& frame) = 0;
};

} // namespace zarvo
