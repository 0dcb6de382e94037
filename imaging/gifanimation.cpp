// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "imaging/gifanimation.h"

#include "imaging/decodebudget.h"
#include "imaging/decodelimits.h"
#include "imaging/giflibsupport.h"

#include <QVector>

#include <cstring>

namespace zarvo {

namespace {

// Collects what the extensions before an image say about it.
struct PendingControl
{
    int delay = 0;
    GifDisposal disposal = GifDisposal::Keep;
    int transparent = -1;
};

GifDisposal disposalOf(int mode)
{
    switch (mode) {
    case DISPOSE_BACKGROUND:
        return GifDisposal::Background;
    case DISPOSE_PREVIOUS:
        return GifDisposal::Previous;
    default:
        return GifDisposal::Keep;
    }
}

bool isLoopExtension(const GifByteType* block)
{
    return block && block[0] == 11
        && (std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0
            || std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0);
}

// Reads one extension record whole. Returns false on damage.
bool readExtension(GifFileType* gif, PendingControl* control, int* loopCount)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) {
            control->delay = gcb.DelayTime;
            control->disposal = disposalOf(gcb.DisposalMode);
            control->transparent = gcb.TransparentColor;
        }
    }
    const bool loopExtension = code == APPLICATION_EXT_FUNC_CODE && isLoopExtension(block);
    bool first = true;
    while (block) {
        if (!first && loopExtension && block[0] >= 3 && block[1] == 1)
            *loopCount = block[2] | (block[3] << 8);
        first = false;
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

// Skips the image data of the current image (used for frames without pixels).
bool skipImageData(GifFileType* gif)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) == GIF_ERROR)
        return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) == GIF_ERROR)
            return false;
    return true;
}

QVector<QRgb> paletteOf(const ColorMapObject* colors, int transparent)
{
    QVector<QRgb> palette(256, qRgba(0, 0, 0, 0));
    const int count = colors ? std::min(colors->ColorCount, 256) : 0;
    for (int i = 0; i < count; ++i) {
        if (i != transparent) {
            const GifColorType& c = colors->Colors[i];
            palette[i] = qRgb(c.Red, c.Green, c.Blue);
        }
    }
    return palette;
}

} // namespace

int GifFrame::playDelayMs() const
{
    return delayCentiseconds <= 1 ? 100 : delayCentiseconds * 10;
}

int GifAnimation::totalPlays() const
{
    if (m_loopCount < 0)
        return 1;
    return m_loopCount == 0 ? 0 : m_loopCount + 1;
}

int GifAnimation::colorDepth(int entries)
{
    if (entries <= 0)
        return 0;
    int bits = 1;
    while ((1 << bits) < entries)
        ++bits;
    return bits;
}

int GifAnimation::bitsPerPixel() const
{
    int bits = colorDepth(m_globalColorCount);
    for (const GifFrame& frame : m_frames)
        bits = std::max(bits, colorDepth(frame.localColorCount));
    return bits;
}

GifAnimation GifAnimation::decode(const QByteArray& bytes, const FrameCallback& onFrame,
    qint64 maxFrameBytes, qint64 extraBytesPerFrame)
{
    GifAnimation result;
    giflib::MemorySource source { reinterpret_cast<const uchar*>(bytes.constData()),
        size_t(bytes.size()), 0 };
    int error = 0;
    giflib::Handle gif(DGifOpen(&source, giflib::readFromMemory, &error));
    if (!gif) {
        result.m_error = giflib::errorText(error);
        return result;
    }
    result.m_screen = QSize(gif->SWidth, gif->SHeight);
    if (gif->SColorMap)
        result.m_globalColorCount = gif->SColorMap->ColorCount;

    // Ends the decode: with frames, the file is shown in part; without, it failed.
    const auto stop = [&result](Status partial, const QString& why) {
        result.m_status = result.m_frames.isEmpty() ? Status::Failed : partial;
        result.m_error = why;
    };
    const auto damaged = [&] { stop(Status::Damaged, giflib::errorText(gif->Error)); };

    PendingControl control;
    qint64 keptBytes = 0;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) {
            damaged();
            return result;
        }
        if (type == TERMINATE_RECORD_TYPE) {
            result.m_status = Status::Complete;
            return result;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            if (!readExtension(gif.get(), &control, &result.m_loopCount)) {
                damaged();
                return result;
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) {
            stop(Status::Damaged, QStringLiteral("GIF: unknown record"));
            return result;
        }
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) {
            damaged();
            return result;
        }

        const GifImageDesc& desc = gif->Image;
        GifFrame frame;
        frame.rect = QRect(desc.Left, desc.Top, desc.Width, desc.Height);
        frame.delayCentiseconds = control.delay;
        frame.disposal = control.disposal;
        frame.transparentIndex = control.transparent;
        frame.localColorCount = desc.ColorMap ? desc.ColorMap->ColorCount : 0;
        frame.interlaced = desc.Interlace;
        control = PendingControl();

        if (result.m_frames.isEmpty()
            && (result.m_screen.width() <= 0 || result.m_screen.height() <= 0))
            result.m_screen = QSize(desc.Left + desc.Width, desc.Top + desc.Height);
        if (exceedsPixelLimit(result.m_screen.width(), result.m_screen.height())) {
            result.m_frames.clear();
            stop(Status::Failed,
                pixelLimitError("GIF", result.m_screen.width(), result.m_screen.height()));
            return result;
        }
        const bool hasPixels = desc.Width > 0 && desc.Height > 0;
        if (hasPixels && exceedsPixelLimit(desc.Width, desc.Height)) {
            stop(Status::Truncated, pixelLimitError("GIF", desc.Width, desc.Height));
            return result;
        }
        const qint64 pixelBytes = qint64(desc.Width) * desc.Height + kFrameOverheadBytes;
        const qint64 cost = pixelBytes + extraBytesPerFrame;
        if (keptBytes + cost > maxFrameBytes) {
            stop(Status::Truncated,
                QStringLiteral("GIF: frames beyond %1 bytes left out").arg(maxFrameBytes));
            return result;
        }

        if (hasPixels) {
            const ColorMapObject* colors = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
            if (!colors || colors->ColorCount <= 0 || !colors->Colors) {
                stop(Status::Damaged, QStringLiteral("GIF: no colour table"));
                return result;
            }
            const DecodeBudget::Reservation reservation
                = DecodeBudget::shared().acquire(pixelBytes);
            QImage image(desc.Width, desc.Height, QImage::Format_Indexed8);
            if (image.isNull()) {
                stop(Status::Truncated, QStringLiteral("GIF: out of memory"));
                return result;
            }
            image.setColorTable(paletteOf(colors, frame.transparentIndex));
            const int width = desc.Width;
            const int read = giflib::forEachStoredRow(desc.Height, desc.Interlace, [&](int y) {
                return DGifGetLine(gif.get(), image.scanLine(y), width) != GIF_ERROR;
            });
            if (read < desc.Height) {
                damaged();
                return result;
            }
            frame.image = std::move(image);
        } else if (!skipImageData(gif.get())) {
            damaged();
            return result;
        }
        keptBytes += cost;
        result.m_frames.append(std::move(frame));
        if (onFrame && !onFrame(int(result.m_frames.size()) - 1, result.m_frames.constLast())) {
            stop(Status::Cancelled, QStringLiteral("GIF: cancelled"));
            return result;
        }
    }
}

GifAnimation GifAnimation::ofComposedFrames(
    QSize screen, QList<GifFrame> frames, int loopCount, Status status, QString error)
{
    GifAnimation animation;
    animation.m_screen = screen;
    animation.m_frames = std::move(frames);
    animation.m_loopCount = loopCount;
    animation.m_status = status;
    animation.m_error = std::move(error);
    return animation;
}

QImage GifAnimation::composedFrame(int index) const
{
    if (index < 0 || index >= frameCount())
        return {};
    GifComposer composer(*this);
    return composer.frame(index);
}

GifComposer::GifComposer(const GifAnimation& animation)
    : m_animation(animation)
{
}

void GifComposer::reset()
{
    const QSize size = m_animation.screenSize();
    if (m_screen.size() != size)
        m_screen = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_screen.fill(Qt::transparent);
    m_beforeCurrent = QImage();
    m_current = -1;
}

void GifComposer::drawFrame(const GifFrame& frame)
{
    const QRect area = frame.rect.intersected(m_screen.rect());
    if (frame.image.isNull() || area.isEmpty())
        return;
    if (frame.image.format() != QImage::Format_Indexed8) {
        // Composed already: copied over the screen as it is, transparency included.
        const QImage pixels = frame.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::memcpy(m_screen.scanLine(y) + qsizetype(area.left()) * 4,
                pixels.constScanLine(y - frame.rect.top())
                    + qsizetype(area.left() - frame.rect.left()) * 4,
                size_t(area.width()) * 4);
        return;
    }
    const QVector<QRgb> palette = frame.image.colorTable();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* in
            = frame.image.constScanLine(y - frame.rect.top()) + (area.left() - frame.rect.left());
        auto* out = reinterpret_cast<QRgb*>(m_screen.scanLine(y)) + area.left();
        for (int x = 0; x < area.width(); ++x) {
            const QRgb colour = palette[in[x]];
            if (qAlpha(colour))
                out[x] = colour;
        }
    }
}

QImage GifComposer::frame(int index)
{
    const QList<GifFrame>& frames = m_animation.frames();
    if (index < 0 || index >= frames.size() || m_animation.screenSize().isEmpty())
        return {};
    if (index == m_current)
        return m_screen;
    if (index <= m_current || m_current < 0)
        reset();
    while (m_current < index) {
        if (m_current >= 0) {
            const GifFrame& shown = frames[m_current];
            if (shown.disposal == GifDisposal::Background) {
                const QRect area = shown.rect.intersected(m_screen.rect());
                for (int y = area.top(); !area.isEmpty() && y <= area.bottom(); ++y)
                    std::memset(
                        m_screen.scanLine(y) + area.left() * 4, 0, size_t(area.width()) * 4);
            } else if (shown.disposal == GifDisposal::Previous && !m_beforeCurrent.isNull()) {
                const QRect area = shown.rect.intersected(m_screen.rect());
                for (int y = 0; y < m_beforeCurrent.height(); ++y)
                    std::memcpy(m_screen.scanLine(area.top() + y) + area.left() * 4,
                        m_beforeCurrent.constScanLine(y), size_t(area.width()) * 4);
            }
        }
        ++m_current;
        const GifFrame& next = frames[m_current];
        // Only the frame's rectangle changes: keeping that part of the screen is enough to
        // restore it, whatever the size of the screen (a copy of all of it for each of a
        // thousand tiny frames would take seconds).
        const QRect area = next.rect.intersected(m_screen.rect());
        m_beforeCurrent = next.disposal == GifDisposal::Previous && !area.isEmpty()
            ? m_screen.copy(area)
            : QImage();
        drawFrame(next);
    }
    return m_screen;
}

} // namespace zarvo
