// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractItemDelegate>
#include <QRect>

class QFontMetrics;

namespace zarvo {

// Draws one item of a ThumbnailModel in an icon view: the 150 x 150 thumbnail in a thin
// frame, the caption centred below it (elided when too wide), the selection as a tinted
// rounded cell (grey while the view has no focus), the hovered cell lightly tinted, and a cut
// item faded towards white with a grey caption. Every cell has the same size, so the view can
// lay out thousands of items without asking each one.
//
// Reads the roles ThumbnailModel::PictureRole, PictureOffsetRole and CutRole and
// Qt::DisplayRole. Never edits. User-interface thread.
class ThumbnailDelegate : public QAbstractItemDelegate
{
    Q_OBJECT

public:
    static constexpr int kPadding = 5; // between the cell's edge and the thumbnail's frame
    static constexpr int kCaptionGap = 4; // between the thumbnail and its caption
    // How much of a cut item's picture shows over the white thumbnail.
    static constexpr double kCutOpacity = 0.4;

    explicit ThumbnailDelegate(QObject* parent = nullptr);

    // The cell of every item for a font.
    static QSize cellSize(const QFontMetrics& metrics);
    // Where the thumbnail and the caption lie in a cell.
    static QRect thumbnailRect(const QRect& cell);
    static QRect captionRect(const QRect& cell, const QFontMetrics& metrics);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace zarvo
