// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/addcommand.h"

#include "imaging/picturekind.h"
#include "pictures/addfiles.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QCoreApplication>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(AddCommand)
};

} // namespace

const char* const kOpenPictureFilter
    = "All "
      "(*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.webp;*.heic;*.heif;*.avif;*.tif;*.tiff;"
      "*.jxl)|*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.webp;*.heic;*.heif;*.avif;*.tif;"
      "*.tiff;*.jxl|"
      "GIF Image (*.gif)|*.gif|Portable Network Graphics (*.png)|*.png|JPEG Image File "
      "(*.jpg)|*.jpg|"
      "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|"
      "WebP Image (*.webp)|*.webp|HEIC Image (*.heic)|*.heic|HEIF Image (*.heif)|*.heif|"
      "AVIF Image (*.avif)|*.avif|TIFF Image (*.tif)|*.tif|TIFF Image (*.tiff)|*.tiff|"
      "JPEG XL Image (*.jxl)|*.jxl";

void addFilesToOpenFolder(Workspace& workspace, const QStringList& paths)
{
    workspace.startProgress(int(paths.size()));
    const AddFilesResult result = AddFiles(*workspace.store(), workspace.openFolder(), paths,
        workspace.prompt(), [&workspace] { workspace.advanceProgress(); });
    try {
        workspace.reloadFolder();
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "reloading the folder after adding failed:" << e.what();
    }
    workspace.endProgress();
    if (const int copies = result.copies(); copies > 0)
        workspace.prompt().popup(PopupKind::Tip, sameBytesTip(copies));
}

void btn_addfileClick(Workspace& workspace)
{
    if (!workspace.isFolderOpen()) {
        workspace.prompt().popup(PopupKind::Tip, Texts::tr("请先选择一个文件夹"));
        return;
    }
    const QStringList paths
        = workspace.prompt().chooseOpenFiles(QString::fromUtf8(kOpenPictureFilter));
    if (paths.isEmpty())
        return;
    addFilesToOpenFolder(workspace, paths);
}

void wmdropfiles(Workspace& workspace, const QStringList& paths)
{
    if (!workspace.isFolderOpen()) {
        workspace.prompt().popup(
            PopupKind::Tip, Texts::tr("请先打开一个文件夹，再进行文件拖放操作"));
        return;
    }
    QStringList kept;
    for (const QString& path : paths)
        if (PictureKind::isShownExtension(extensionOfCome(path)))
            kept.append(path);
    addFilesToOpenFolder(workspace, kept);
}

} // namespace zarvo
