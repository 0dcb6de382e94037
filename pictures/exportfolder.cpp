// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/exportfolder.h"

#include "pictures/exportname.h"
#include "store/logging.h"
#include "store/wholefile.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QDir>
#include <QFileInfo>

namespace zarvo {

int exportFolder(Workspace& workspace, const QString& folder, const QString& directory)
{
    Store& store = *workspace.store();
    Prompt& prompt = workspace.prompt();
    const QDir dir(directory);
    int failed = 0;
    for (const PictureRow& row : store.pictureRows(folder)) {
        try {
            const QString fileName = exportFileName(row.name, row.come);
            if (fileName.isEmpty()) {
                // Writing it would leave the chosen directory (a '/' in the name, "..").
                qCDebug(lcPictures) << "not exported, no file name:" << row.name << row.come;
                ++failed;
                continue;
            }
            const QString path = dir.filePath(fileName);
            const QFileInfo target(path);
            if ((target.exists() || target.isSymLink())
                && !prompt.confirm(
                    QStringLiteral("文件 ") + path + QStringLiteral(" 已经存在，是否要覆盖它？")))
                continue;
            QString error;
            if (!writeWholeFile(path, store.readBlob(folder, row.rowid), &error)) {
                qCDebug(lcPictures) << "writing" << path << "failed:" << error;
                ++failed;
            }
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "exporting" << row.name << "failed:" << e.what();
            ++failed;
        }
    }
    return failed;
}

void menu_importallClick(Workspace& workspace)
{
    Prompt& prompt = workspace.prompt();
    try {
        Store* store = workspace.store();
        const QString folder = workspace.openFolder();
        if (!store || !workspace.isFolderOpen() || store->rowCount(folder) < 1) {
            prompt.popup(
                PopupKind::Tip, QStringLiteral("请选择相应的文件夹,并保证文件夹内存在文件"));
            return;
        }
        const QString directory = prompt.chooseDirectory();
        if (directory.isEmpty())
            return;
        // The folder may have been closed while the chooser was open.
        if (!workspace.isFolderOpen() || workspace.openFolder() != folder)
            return;
        const int failed = exportFolder(workspace, folder, directory);
        if (failed > 0)
            prompt.popup(PopupKind::Warning,
                QStringLiteral("有 ") + QString::number(failed)
                    + QStringLiteral(" 个文件导出失败"));
        else
            prompt.popup(
                PopupKind::Success, QStringLiteral("导出成功，请检查文件是否已经正确保存"));
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "exporting the open folder failed:" << e.what();
    }
}

} // namespace zarvo
