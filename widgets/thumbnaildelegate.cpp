// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/thumbnaildelegate.h"

#include "view/thumbnailmodel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionViewItem>

namespace zarvo {

namespace {

constexpr int kThumbnail = ThumbnailModel::kThumbnailSize;

// The colour a part `share` of the way from white to colour.
QColor overWhite(const QColor& colour, double share)
{
    const auto mix = [share](int channel) { return int(255 - (255 - channel) * share + 0.5); };
    return QColor(mix(colour.red()), mix(colour.green()), mix(colour.blue()));
}

} // namespace

ThumbnailDelegate::ThumbnailDelegate(QObject* parent)
    : QAbstractItemDelegate(parent)
{
}

QSize ThumbnailDelegate::cellSize(const QFontMetrics& metrics)
{
    return QSize(kThumbnail + 2 * kPadding,
        kPadding + kThumbnail + kCaptionGap + metrics.height() + kPadding);
}

QRect ThumbnailDelegate::thumbnailRect(const QRect& cell)
{
    return QRect(cell.left() + (cell.width() - kThumbnail) / 2, cell.top() + kPadding, kThumbnail,
        kThumbnail);
}

QRect ThumbnailDelegate::captionRect(const QRect& cell, const QFontMetrics& metrics)
{
    const QRect thumbnail = thumbnailRect(cell);
    return QRect(cell.left() + kPadding, thumbnail.bottom() + 1 + kCaptionGap,
        cell.width() - 2 * kPadding, metrics.height());
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return cellSize(option.fontMetrics);
}

void ThumbnailDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect cell = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const bool focused
        = option.state & QStyle::State_Active && option.state & QStyle::State_HasFocus;
    const bool viewActive = option.state & QStyle::State_Active;
    const bool hovered = option.state & QStyle::State_MouseOver;
    const bool cut = index.data(ThumbnailModel::CutRole).toBool();
    const QColor highlight = option.palette.color(QPalette::Active, QPalette::Highlight);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    // The cell: tinted when selected or hovered, outlined when selected or current.
    QColor cellFill;
    QColor cellLine;
    if (selected && viewActive) {
        cellFill = overWhite(highlight, 0.22);
        cellLine = overWhite(highlight, 0.6);
    } else if (selected) {
        cellFill = QColor(0xe4, 0xe4, 0xe4);
        cellLine = QColor(0xc4, 0xc4, 0xc4);
    } else if (hovered) {
        cellFill = overWhite(highlight, 0.08);
    }
    if (!selected && focused)
        cellLine = overWhite(highlight, 0.6);
    if (cellFill.isValid() || cellLine.isValid()) {
        const QRectF box = QRectF(cell).adjusted(0.5, 0.5, -0.5, -0.5);
        painter->setPen(cellLine.isValid() ? QPen(cellLine, 1) : QPen(Qt::NoPen));
        painter->setBrush(cellFill.isValid() ? QBrush(cellFill) : QBrush(Qt::NoBrush));
        painter->drawRoundedRect(box, 3, 3);
    }
    painter->setRenderHint(QPainter::Antialiasing, false);

    // The thumbnail: white, the picture over it (faded when cut), a thin frame around.
    const QRect thumbnail = thumbnailRect(cell);
    painter->fillRect(thumbnail, Qt::white);
    const QImage picture = index.data(ThumbnailModel::PictureRole).value<QImage>();
    if (!picture.isNull()) {
        const QPoint offset = index.data(ThumbnailModel::PictureOffsetRole).toPoint();
        painter->setOpacity(cut ? kCutOpacity : 1.0);
        // Kept in three bytes a pixel, drawn in four: the painter copies those onto the window
        // line by line, where three bytes take its general blending, which hands each picture
        // to Qt's global thread pool in pieces and waits for them while the decoders hold the
        // cores.
        painter->drawImage(
            thumbnail.topLeft() + offset, picture.convertToFormat(QImage::Format_RGB32));
        painter->setOpacity(1.0);
    }
    painter->setPen(selected ? overWhite(highlight, 0.45) : QColor(0xd8, 0xd8, 0xd8));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(thumbnail.adjusted(-1, -1, 0, 0));

    // The caption.
    const QRect caption = captionRect(cell, option.fontMetrics);
    const QString text = option.fontMetrics.elidedText(
        index.data(Qt::DisplayRole).toString(), Qt::ElideRight, caption.width());
    painter->setFont(option.font);
    painter->setPen(cut ? QColor(0x8c, 0x8c, 0x8c) : option.palette.color(QPalette::Text));
    painter->drawText(caption, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, text);

    painter->restore();
}

} // namespace zarvo
