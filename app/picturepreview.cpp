// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/picturepreview.h"

#include "imaging/picturekind.h"
#include "imaging/thumbnailer.h"
#include "store/logging.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

namespace zarvo {

namespace {
constexpr qint64 kMaxPreviewBytes = 256 * 1024 * 1024;
}

PicturePreview::PicturePreview(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("preview"));
    setFixedSize(Thumbnailer::kSize + 4, Thumbnailer::kSize + 4);
    setAlignment(Qt::AlignCenter);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void PicturePreview::showFile(const QString& path)
{
    clear();
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxPreviewBytes)
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    try {
        Thumbnailer thumbnailer;
        const DecodedPicture thumb = thumbnailer.makeThumbnail(formatOfCome(path), file.readAll());
        if (thumb.ok())
            setPixmap(QPixmap::fromImage(thumb.image));
    } catch (const std::exception& e) {
        // A file that does not fit into memory simply has no preview.
        qCDebug(lcApp) << "no preview of" << path << ":" << e.what();
    }
}

PicturePreview* PicturePreview::attach(QFileDialog& dialog)
{
    auto* preview = new PicturePreview(&dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), 1, 1, Qt::AlignTop);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, &PicturePreview::showFile);
    return preview;
}

} // namespace zarvo
