// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/exportfolder.h"

#include "pictures/exportname.h"
#include "store/logging.h"
#include "store/store.h"
#include "store/wholefile.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QCoreApplication>
#include <QDir>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(ExportFolder)
};

} // namespace

ExportResult exportFolder(Store& store, const QString& folder, const QString& directory,
    Prompt& prompt, const std::function<void(const ExportedPicture&)>& done)
{
    using Outcome = ExportedPicture::Outcome;
    const QDir dir(directory);
    ExportResult result;
    for (const PictureRow& row : store.pictureRows(folder)) {
        ExportedPicture picture { row.name, QString(), Outcome::Failed, QString() };
        try {
            const QString fileName = exportFileName(row.name, row.come);
            if (fileName.isEmpty()) {
                // Writing it would leave the chosen directory (a '/' in the name, "..").
                qCDebug(lcPictures) << "not exported, no file name:" << row.name << row.come;
                picture.outcome = Outcome::NoFileName;
            } else {
                picture.path = dir.filePath(fileName);
                if (somethingAt(picture.path)
                    && !prompt.confirm(
                        Texts::tr("文件 %1 已经存在，是否要覆盖它？").arg(picture.path)))
                    picture.outcome = Outcome::Declined;
                else if (writeWholeFile(
                             picture.path, store.readBlob(folder, row.rowid), &picture.error))
                    picture.outcome = Outcome::Written;
                else
                    qCDebug(lcPictures) << "writing" << picture.path << "failed:" << picture.error;
            }
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "exporting" << row.name << "failed:" << e.what();
            picture.outcome = Outcome::Failed;
            picture.error = QString::fromUtf8(e.what());
        }
        switch (picture.outcome) {
        case Outcome::Written:
            ++result.written;
            break;
        case Outcome::Declined:
            ++result.declined;
            break;
        case Outcome::NoFileName:
        case Outcome::Failed:
            ++result.failed;
            break;
        }
        if (done)
            done(picture);
    }
    return result;
}

void menu_importallClick(Workspace& workspace)
{
    Prompt& prompt = workspace.prompt();
    try {
        Store* store = workspace.store();
        const QString folder = workspace.openFolder();
        if (!store || !workspace.isFolderOpen() || store->rowCount(folder) < 1) {
            prompt.popup(PopupKind::Tip, Texts::tr("请选择相应的文件夹,并保证文件夹内存在文件"));
            return;
        }
        const QString directory = prompt.chooseDirectory();
        if (directory.isEmpty())
            return;
        // The folder may have been closed while the chooser was open.
        if (!workspace.isFolderOpen() || workspace.openFolder() != folder)
            return;
        const int failed = exportFolder(*store, folder, directory, prompt).failed;
        if (failed > 0)
            prompt.popup(PopupKind::Warning, Texts::tr("有 %n 个文件导出失败", nullptr, failed));
        else
            prompt.popup(PopupKind::Success, Texts::tr("导出成功，请检查文件是否已经正确保存"));
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "exporting the open folder failed:" << e.what();
    }
}

} // namespace zarvo
