// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/thumbnailmodel.h"

#include "imaging/thumbnailer.h"
#include "view/placeholderthumbnail.h"

#include <QPainter>
#include <QRect>

namespace zarvo {

namespace {

constexpr QRgb kWhite = 0xffffffu;

bool isWhite(QRgb pixel)
{
    return (pixel & 0xffffffu) == kWhite;
}

// Whether pixel x of a row is white: RGB32, or RGB888 (three bytes a pixel).
bool isWhiteAt(const uchar* line, int x, bool rgb888)
{
    if (!rgb888)
        return isWhite(reinterpret_cast<const QRgb*>(line)[x]);
    const uchar* pixel = line + 3 * x;
    return pixel[0] == 0xff && pixel[1] == 0xff && pixel[2] == 0xff;
}

bool rowIsWhite(const QImage& image, int y, int left, int right)
{
    const uchar* line = image.constScanLine(y);
    const bool rgb888 = image.format() == QImage::Format_RGB888;
    for (int x = left; x < right; ++x) {
        if (!isWhiteAt(line, x, rgb888))
            return false;
    }
    return true;
}

// The smallest rectangle outside which the RGB32 or RGB888 image is white; empty when all of it
// is.
QRect contentRect(const QImage& image)
{
    const int width = image.width();
    const bool rgb888 = image.format() == QImage::Format_RGB888;
    int top = 0;
    int bottom = image.height();
    while (top < bottom && rowIsWhite(image, top, 0, width))
        ++top;
    if (top == bottom)
        return QRect();
    while (rowIsWhite(image, bottom - 1, 0, width))
        --bottom;
    int left = width;
    int right = 0;
    for (int y = top; y < bottom; ++y) {
        const uchar* line = image.constScanLine(y);
        int x = 0;
        while (x < left && isWhiteAt(line, x, rgb888))
            ++x;
        left = x;
        x = width;
        while (x > right && isWhiteAt(line, x - 1, rgb888))
            --x;
        right = x;
    }
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace

ThumbnailModel::ThumbnailModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int ThumbnailModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant ThumbnailModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return QVariant();
    const int row = index.row();
    const Kept* kept = keptAt(row);
    switch (role) {
    case Qt::DisplayRole:
        return m_names.at(row);
    case PictureRole:
        return kept ? kept->picture : QImage();
    case PictureOffsetRole:
        return kept ? kept->offset : QPoint();
    case CutRole:
        return bool(m_cut[size_t(row)]);
    case ThumbnailRole:
        return thumbnail(row);
    default:
        return QVariant();
    }
}

Qt::ItemFlags ThumbnailModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ThumbnailModel::clear()
{
    reset({});
}

void ThumbnailModel::keep(const QImage& thumbnail, QImage* picture, QPoint* offset)
{
    // A whole thumbnail in three bytes a pixel (the cache's own form) is kept as it is.
    const bool whole888 = thumbnail.format() == QImage::Format_RGB888
        && thumbnail.size() == QSize(kThumbnailSize, kThumbnailSize);
    const QImage full = whole888 ? thumbnail : normalizedThumbnail(thumbnail);
    const QRect content = contentRect(full);
    // Three bytes a pixel: the thumbnail is opaque, and painting converts only what is seen.
    *picture
        = content.isEmpty() ? QImage() : full.copy(content).convertToFormat(QImage::Format_RGB888);
    *offset = content.isEmpty() ? QPoint() : content.topLeft();
}

void ThumbnailModel::keepFor(Kept& kept, const QImage& thumbnail)
{
    const QImage placeholder = placeholderThumbnail();
    if (thumbnail.cacheKey() == placeholder.cacheKey()) {
        if (!m_placeholderKept) {
            keep(placeholder, &m_placeholderPicture, &m_placeholderOffset);
            m_placeholderKept = true;
        }
        kept.picture = m_placeholderPicture;
        kept.offset = m_placeholderOffset;
    } else {
        keep(thumbnail, &kept.picture, &kept.offset);
    }
}

ThumbnailModel::Kept& ThumbnailModel::keptOf(int row)
{
    int& index = m_keptIndex[size_t(row)];
    if (index < 0) {
        index = int(m_kept.size());
        m_kept.emplace_back();
    }
    return m_kept[size_t(index)];
}

const ThumbnailModel::Kept* ThumbnailModel::keptAt(int row) const
{
    const int index = m_keptIndex[size_t(row)];
    return index < 0 ? nullptr : &m_kept[size_t(index)];
}

void ThumbnailModel::reset(QStringList names)
{
    beginResetModel();
    const size_t count = size_t(names.size());
    m_names = std::move(names);
    m_keptIndex.assign(count, -1);
    m_cut.assign(count, false);
    // Reserved, not written: the thumbnails fill it as they come.
    m_kept = std::vector<Kept>();
    m_kept.reserve(count);
    endResetModel();
}

void ThumbnailModel::setThumbnail(int row, const QImage& thumbnail)
{
    if (row < 0 || row >= rowCount())
        return;
    keepFor(keptOf(row), thumbnail);
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, { PictureRole, PictureOffsetRole, ThumbnailRole });
}

QImage ThumbnailModel::keptThumbnail(const QImage& thumbnail)
{
    QImage picture;
    QPoint offset;
    keep(thumbnail, &picture, &offset);
    if (picture.isNull()) {
        picture = QImage(1, 1, QImage::Format_RGB888);
        picture.fill(Qt::white);
    }
    picture.setOffset(offset);
    return picture;
}

void ThumbnailModel::setKeptThumbnail(int row, const QImage& kept)
{
    if (row < 0 || row >= rowCount())
        return;
    Kept& item = keptOf(row);
    // An all-white thumbnail keeps nothing, as through setThumbnail().
    const bool white = kept.size() == QSize(1, 1) && isWhite(kept.pixel(0, 0));
    item.picture = white ? QImage() : kept;
    item.offset = white ? QPoint() : kept.offset();
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, { PictureRole, PictureOffsetRole, ThumbnailRole });
}

bool ThumbnailModel::isFilled(int row) const
{
    return row >= 0 && row < rowCount() && keptAt(row);
}

void ThumbnailModel::append(const QString& name, const QImage& thumbnail)
{
    Kept kept;
    keepFor(kept, thumbnail);
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_names.append(name);
    m_keptIndex.push_back(int(m_kept.size()));
    m_kept.push_back(std::move(kept));
    m_cut.push_back(false);
    endInsertRows();
}

QString ThumbnailModel::name(int row) const
{
    return row >= 0 && row < rowCount() ? m_names.at(row) : QString();
}

QImage ThumbnailModel::thumbnail(int row) const
{
    if (row < 0 || row >= rowCount())
        return QImage();
    const Kept* kept = keptAt(row);
    QImage full(kThumbnailSize, kThumbnailSize, QImage::Format_RGB32);
    full.fill(0xffffffffu);
    if (kept && !kept->picture.isNull()) {
        QPainter painter(&full);
        painter.drawImage(kept->offset, kept->picture);
    }
    return full;
}

void ThumbnailModel::setCut(int row, bool cut)
{
    if (row < 0 || row >= rowCount() || m_cut[size_t(row)] == cut)
        return;
    m_cut[size_t(row)] = cut;
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, { CutRole });
}

bool ThumbnailModel::isCut(int row) const
{
    return row >= 0 && row < rowCount() && m_cut[size_t(row)];
}

void ThumbnailModel::clearCutMarks()
{
    int first = -1;
    int last = -1;
    for (int row = 0; row < rowCount(); ++row) {
        if (!m_cut[size_t(row)])
            continue;
        m_cut[size_t(row)] = false;
        if (first < 0)
            first = row;
        last = row;
    }
    if (first >= 0)
        Q_EMIT dataChanged(index(first), index(last), { CutRole });
}

qint64 ThumbnailModel::pixelBytes() const
{
    qint64 bytes = 0;
    for (const Kept& kept : m_kept)
        bytes += kept.picture.sizeInBytes();
    return bytes;
}

QImage ThumbnailModel::normalizedThumbnail(const QImage& image)
{
    return Thumbnailer::normalized(image);
}

} // namespace zarvo
