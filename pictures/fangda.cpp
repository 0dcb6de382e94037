// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/fangda.h"

#include "imaging/gifanimation.h"
#include "imaging/gifdecoder.h"
#include "imaging/jpegdecoder.h"
#include "imaging/metafiledecoder.h"
#include "imaging/picturedecoder.h"
#include "imaging/picturekind.h"
#include "imaging/webpdecoder.h"
#include "pictures/savepicture.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/viewers.h"
#include "view/workspace.h"

#include <algorithm>
#include <exception>

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(Fangda)
};

// The rows a large JPEG's viewer has decoded while it decodes what the window shows first and
// shows it (at least those the screen shows).
constexpr int kFirstRows = 256;

} // namespace

bool decodeForViewing(ViewedPicture& picture, QSize shownFirst)
{
    const QString& ext = picture.extension;
    const PictureFormat format = formatOfCome(ext);
    if (format == PictureFormat::Gif) {
        auto animation = std::make_shared<GifAnimation>(GifAnimation::decode(picture.bytes));
        if (animation->ok() && animation->frameCount() > 1) {
            picture.animation = std::move(animation);
            return true;
        }
        // Only what the image covers: the rest of the screen is white.
        GifFirstImage first = decodeGifFirstImage(picture.bytes, nullptr);
        picture.image = std::move(first.image);
        picture.imageAt = first.position;
        picture.canvas = first.screen;
        return first.ok();
    }
    if (ext == QLatin1String(".emf") || ext == QLatin1String(".wmf")) {
        picture.image = decodeMetafile(
            ext == QLatin1String(".emf") ? MetafileKind::Emf : MetafileKind::Wmf, picture.bytes)
                            .image;
        return !picture.image.isNull();
    }
    if (format == PictureFormat::Other)
        return false;
    if (format == PictureFormat::Webp && isAnimatedWebp(picture.bytes)) {
        auto animation = std::make_shared<GifAnimation>(decodeWebpAnimation(picture.bytes));
        if (animation->ok() && animation->frameCount() > 1) {
            picture.animation = std::move(animation);
            return true;
        }
    }
    if (format == PictureFormat::Jpeg && shownFirst.isValid()) {
        auto rows = std::make_shared<JpegRowDecoder>(picture.bytes);
        const QSize size = rows->size();
        if (rows->ok()
            && (size.width() > shownFirst.width() || size.height() > shownFirst.height())) {
            // What the window shows first, its top left corner, is decoded now, and the first
            // rows meanwhile on another thread. A file whose corner cannot be decoded alone
            // (progressive, CMYK) shows its top rows first.
            const int firstRows = std::max(kFirstRows, shownFirst.height());
            picture.restStarted
                = QtConcurrent::run([rows, firstRows] { rows->decodeRows(firstRows); });
            const QRect first(QPoint(0, 0), shownFirst);
            rows->setWanted(first);
            JpegRowDecoder::Piece corner = rows->decodeRegion(first);
            if (!corner.image.isNull()) {
                picture.image = std::move(corner.image);
                picture.imageAt = corner.rect.topLeft();
            } else {
                picture.restStarted.waitForFinished();
                if (!rows->decodeRows(shownFirst.height()))
                    return false;
                if (rows->isComplete()) {
                    picture.image = rows->image();
                    return true;
                }
                picture.image = rows->rowsDoneImage();
            }
            picture.canvas = size;
            picture.rest = std::move(rows);
            return true;
        }
    }
    picture.image = decodePicture(format, picture.bytes).image;
    return !picture.image.isNull();
}

void FangDa(Workspace& workspace, const QStringList& names)
{
    Viewers* viewers = workspace.viewers();
    if (!workspace.isFolderOpen() || !workspace.store() || !viewers)
        return;
    Prompt& prompt = workspace.prompt();
    Store& store = *workspace.store();
    const QString table = workspace.openFolder();
    viewerlayout::Cascade cascade(viewers->screenSize());
    for (const QString& name : names) {
        std::optional<PictureRow> row;
        ViewedPicture picture;
        try {
            row = store.locate(table, name);
            if (!row) {
                prompt.popup(PopupKind::Warning, Texts::tr("文件在数据库不存在"));
                continue;
            }
            picture.table = table;
            picture.name = row->name;
            picture.extension = extensionOfCome(row->come);
            picture.kind = pictureKindCode(row->come);
            picture.bytes = store.readBlob(table, row->rowid);
            if (!decodeForViewing(picture, viewers->screenSize())) {
                prompt.popup(
                    PopupKind::Warning, Texts::tr("文件：%1 在读取时发生错误！").arg(row->come));
                continue;
            }
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "opening" << name << "for viewing failed:" << e.what();
            if (row)
                prompt.popup(
                    PopupKind::Warning, Texts::tr("文件：%1 在读取时发生错误！").arg(row->come));
            continue;
        }
        const QSize outer = viewerlayout::outerSize(picture.size());
        const QPoint at = cascade.place(outer);
        viewers->openViewer(std::move(picture), QRect(at, outer));
    }
}

void pop_fangdaClick(Workspace& workspace)
{
    const QStringList names = workspace.selectedNames();
    if (!names.isEmpty() && workspace.isFolderOpen())
        FangDa(workspace, names);
}

void ListView1DblClick(Workspace& workspace)
{
    const QStringList names = workspace.selectedNames();
    if (!names.isEmpty())
        FangDa(workspace, { names.constFirst() });
}

void menu_openallClick(Workspace& workspace)
{
    Prompt& prompt = workspace.prompt();
    QList<PictureRow> rows;
    try {
        if (workspace.isFolderOpen() && workspace.store())
            rows = workspace.store()->pictureRows(workspace.openFolder());
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "reading the open folder to open all failed:" << e.what();
        return;
    }
    if (rows.isEmpty()) {
        prompt.popup(PopupKind::Tip, Texts::tr("请先打开一个文件夹"));
        return;
    }
    if (!prompt.confirm(Texts::tr("真的要放大所有图片吗?")))
        return;
    QStringList names;
    names.reserve(rows.size());
    for (const PictureRow& row : rows)
        names.append(row.name);
    FangDa(workspace, names);
}

} // namespace zarvo
