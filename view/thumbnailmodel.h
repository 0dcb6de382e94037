// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <vector>

namespace zarvo {

// The items of the folder view, in the open folder's row order: each has a caption (the
// picture's `Name`), a 150 x 150 thumbnail and the cut mark. The cut mark is a display state
// only; clear() drops it with everything else.
//
// Memory: an item keeps its thumbnail without the white margins (the part outside the
// picture's FitRect, which every thumbnail has unless the picture is square), three bytes a
// pixel: at most 150 x 150 (67 800 bytes with row padding), a 4:3 photo 150 x 112 (50 624), a
// 32 x 32 icon 3 072. Items showing placeholderThumbnail() share one copy of its pixels.
// Nothing else of the picture is kept; thumbnail(row) gives the whole thumbnail back exactly.
//
// Rows are never moved or edited through the model; items are selectable, not editable, not
// draggable. User-interface thread only (as every item model).
class ThumbnailModel : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int kThumbnailSize = 150;

    enum Role {
        // QImage, Format_RGB888: the thumbnail without its white margins; null when all white.
        PictureRole = Qt::UserRole + 1,
        // QPoint: where PictureRole's image lies in the 150 x 150 thumbnail.
        PictureOffsetRole,
        // bool: the cut mark.
        CutRole,
        // QImage, Format_RGB32, 150 x 150: the whole thumbnail (composed on each request).
        ThumbnailRole,
    };

    explicit ThumbnailModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Removes every item (a model reset).
    void clear();
    // Adds an item at the end. A thumbnail that is not 150 x 150 RGB32 is first made one
    // (normalizedThumbnail); a null image gives a white thumbnail.
    void append(const QString& name, const QImage& thumbnail);
    // Replaces every item by one per name, each white until setThumbnail() fills it (a model
    // reset): a folder's items are all there before their thumbnails are.
    void reset(QStringList names);
    // Gives the item its thumbnail (normalized as by append()); the item counts as filled.
    void setThumbnail(int row, const QImage& thumbnail);
    // What the model keeps of a thumbnail (normalized as by append()), made on any thread, so
    // that a folder opening does that work off the user-interface thread: the thumbnail without
    // its white margins, Format_RGB888, with QImage::offset() where it lies in the 150 x 150
    // thumbnail (an all-white thumbnail gives one white pixel).
    static QImage keptThumbnail(const QImage& thumbnail);
    // Gives the item its thumbnail as keptThumbnail() made it; the item counts as filled.
    void setKeptThumbnail(int row, const QImage& kept);
    // Whether the item has its thumbnail: every appended item, a reset item once it was set.
    bool isFilled(int row) const;

    // The following take a row 0 <= row < rowCount(); other rows read as empty / false and
    // are ignored by the setters.
    QString name(int row) const;
    QImage thumbnail(int row) const;
    void setCut(int row, bool cut);
    bool isCut(int row) const;
    // Removes every cut mark (dataChanged for the rows that had one).
    void clearCutMarks();

    // Bytes of thumbnail pixels the items hold (an image shared by several items counts for
    // each of them).
    qint64 pixelBytes() const;

    // What append() stores for an image: the image itself when it is 150 x 150 RGB32;
    // otherwise a white 150 x 150 RGB32 picture with the image drawn over it into
    // FitRect(w, h, 150, 150) (transparency blended over white): Thumbnailer::normalized.
    static QImage normalizedThumbnail(const QImage& image);

private:
    static void keep(const QImage& thumbnail, QImage* picture, QPoint* offset);

    // What an item keeps of its thumbnail.
    struct Kept
    {
        QImage picture; // the thumbnail without its white margins
        QPoint offset;
    };
    void keepFor(Kept& kept, const QImage& thumbnail);
    // The item's kept thumbnail, made when it is first given one.
    Kept& keptOf(int row);
    // Null while the item has none.
    const Kept* keptAt(int row) const;

    // One entry per item. A folder's thousands of items are made by writing four bytes for each
    // besides its name: room for a thumbnail is taken only once it arrives.
    QStringList m_names;
    std::vector<int> m_keptIndex; // into m_kept; -1 while the item has no thumbnail
    std::vector<bool> m_cut;
    std::vector<Kept> m_kept;
    // What is kept of the placeholder, shared by every item that shows it.
    bool m_placeholderKept = false;
    QImage m_placeholderPicture;
    QPoint m_placeholderOffset;
};

} // namespace zarvo
