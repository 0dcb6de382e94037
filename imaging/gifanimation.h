// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

namespace zarvo {

// How a frame leaves the logical screen before the next one is drawn.
enum class GifDisposal {
    Keep, // 0 (unspecified), 1 (do not dispose) and the undefined values 4 to 7
    Background, // 2: the frame's rectangle becomes transparent, as browsers do
    Previous, // 3: the screen returns to what it was before the frame was drawn
};

// One image of a GIF file as stored.
struct GifFrame
{
    // The frame's place on the logical screen (it may reach beyond the screen; composing clips).
    QRect rect;
    // The frame's own image, rect's size: Format_Indexed8 with the frame's colour table (its
    // own, else the global one) padded to 256 entries; the transparent index and indices
    // beyond the table are fully transparent (alpha 0). Null for a frame 0 pixels wide or high.
    // A frame composed elsewhere (GifAnimation::ofComposedFrames) is a 32-bit picture instead,
    // which replaces what is under it.
    QImage image;
    int delayCentiseconds = 0; // as stored in the graphics control extension (0 when none)
    GifDisposal disposal = GifDisposal::Keep;
    int transparentIndex = -1; // -1: none
    int localColorCount = 0; // entries of the frame's own colour table; 0: uses the global one
    bool interlaced = false;

    // How long the frame stays on screen when played. Delays of 0 or 1 centisecond (0 and
    // 10 ms) play as 100 ms, as the common browsers do: such files were made for them and
    // would otherwise spin as fast as a timer can fire.
    int playDelayMs() const;
};

// Everything giflib gives of a GIF file, decoded once, for the viewer and the GIF tool.
//
// Frames are kept as stored (palette-indexed, one byte per pixel, at their own size), never as
// composed 32-bit screens: a 500-frame 800x450 file costs about 180 MB instead of 720 MB.
// Composed frames are made on demand by GifComposer (in order, as a player needs them) or
// composedFrame() (any one, composed from the first).
//
// Limits: the logical screen and every frame are checked against kMaxPixels before anything
// is allocated, and the frames kept together may take at most kMaxFrameBytes (pixels plus a
// fixed cost per frame for its palette and bookkeeping, plus what the caller keeps per frame).
// A file beyond that keeps the frames
// that fit and reports itself as cut (status Truncated). Each frame's pixel memory is taken
// through DecodeBudget::shared() while it is decoded.
//
// decode() never throws; giflib is used through its record-level calls only, so a damaged
// file gives the frames completely decoded before the damage and status Damaged; damaged
// before its first frame, or not a GIF at all, it is Failed. A sound file without any frame
// is Complete with no frames (and not ok()). Thread-safe: decode() may run on any thread; the
// result is a value that can be handed to the user-interface thread (QImage is implicitly shared).
class GifAnimation
{
public:
    enum class Status {
        Complete, // read to its trailer (possibly without a frame)
        Damaged, // damaged or truncated: the frames before the damage are kept
        Truncated, // over kMaxFrameBytes: the frames that fit are kept
        Failed, // not a GIF, damaged before its first frame, or over the pixel limit
        Cancelled, // the frame callback asked to stop: the frames so far are kept
    };

    static constexpr qint64 kMaxFrameBytes = qint64(1) << 29; // 512 MiB
    static constexpr qint64 kFrameOverheadBytes = 2048;

    // Called on the decoding thread after each frame, with the frame's index; returning false
    // stops decoding (status Cancelled).
    using FrameCallback = std::function<bool(int index, const GifFrame& frame)>;

    // maxFrameBytes: the limit on the frames kept (kMaxFrameBytes; smaller in tests).
    // extraBytesPerFrame: what the caller keeps for each frame besides it (the GIF tool's list
    // picture), counted in that limit.
    static GifAnimation decode(const QByteArray& bytes, const FrameCallback& onFrame = {},
        qint64 maxFrameBytes = kMaxFrameBytes, qint64 extraBytesPerFrame = 0);

    Status status() const { return m_status; }
    // Frames can be shown: complete, or damaged/cut/cancelled with at least one frame.
    bool ok() const { return !m_frames.isEmpty() && m_status != Status::Failed; }
    // Damaged or cut: some of the file could not be shown.
    bool isPartial() const { return m_status == Status::Damaged || m_status == Status::Truncated; }
    // A technical text for what went wrong (empty when Complete).
    QString error() const { return m_error; }

    // The logical screen; a file that declares 0 in either direction gets its first frame's
    // extent (from the origin) instead.
    QSize screenSize() const { return m_screen; }
    const QList<GifFrame>& frames() const { return m_frames; }
    int frameCount() const { return int(m_frames.size()); }

    // From the NETSCAPE2.0 (or ANIMEXTS1.0) application extension: -1 when the file has none
    // (play once), 0 for endless, else the number of repeats after the first play. The same
    // reading as the common browsers: a file with n plays n + 1 times.
    int loopCount() const { return m_loopCount; }
    // Plays in total: 0 for endless, else 1 + loopCount (1 without the extension).
    int totalPlays() const;

    int globalColorCount() const { return m_globalColorCount; }
    // The largest colour depth among the global colour table and the decoded frames' own
    // tables; a table of n entries has depth 0 for n = 0, 1 for 1 or 2, else the smallest b
    // with 2^b >= n.
    int bitsPerPixel() const;
    static int colorDepth(int entries);

    // An animation whose frames were composed elsewhere (an animated WebP's, by libwebp): every
    // frame a Format_ARGB32_Premultiplied picture of the whole screen that replaces the screen
    // when it is drawn. Nothing is checked; the caller has bounded the frames.
    static GifAnimation ofComposedFrames(
        QSize screen, QList<GifFrame> frames, int loopCount, Status status, QString error);

    // Frame `index` composed on the logical screen: Format_ARGB32_Premultiplied, transparent
    // where no frame has drawn. Composes from the first frame each time; null when out of
    // range.
    QImage composedFrame(int index) const;

private:
    Status m_status = Status::Failed;
    QString m_error;
    QSize m_screen;
    QList<GifFrame> m_frames;
    int m_loopCount = -1;
    int m_globalColorCount = 0;
};

// Composes the frames of a GifAnimation one after another on the logical screen, applying each
// frame's transparency and the disposal of the frame before it. Cheap per step (only the
// frame's rectangle is touched). The animation must outlive the composer. Not thread-safe.
class GifComposer
{
public:
    explicit GifComposer(const GifAnimation& animation);

    // Composes frame `index` and returns the screen. The next frame after the last one
    // composed costs one step; frame 0 starts again from a transparent screen; any other
    // index is composed from frame 0. The returned picture is shared with the composer:
    // keeping a copy is cheap, and the composer detaches before it changes its screen.
    QImage frame(int index);
    int currentIndex() const { return m_current; }

private:
    void reset();
    void drawFrame(const GifFrame& frame);

    const GifAnimation& m_animation;
    QImage m_screen;
    // The part of the screen under the current frame before it was drawn, when it disposes to
    // previous (null otherwise).
    QImage m_beforeCurrent;
    int m_current = -1;
};

} // namespace zarvo
