// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/renamedelete.h"

#include "pictures/picturenames.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QCoreApplication>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(RenameDelete)
};

} // namespace

void btn_editfileClick(Workspace& workspace)
{
    Prompt& prompt = workspace.prompt();
    const QStringList selected = workspace.selectedNames();
    if (!workspace.isFolderOpen() || selected.size() != 1) {
        prompt.popup(PopupKind::Tip, Texts::tr("请选择一个文件夹，并选择其中的一个文件"));
        return;
    }
    const QString old = selected.first();
    const QString folder = workspace.openFolder();
    const std::optional<QString> newName = prompt.askNewName(old);
    if (!newName)
        return;
    if (NameExists(*workspace.store(), *newName, folder)) {
        prompt.popup(PopupKind::Warning,
            Texts::tr("文件名 %1 在文件夹 %2 已经存在，请更改名称").arg(*newName, folder));
        return;
    }
    try {
        // No row renamed means the picture is gone: that is no success either.
        if (workspace.store()->renamePicture(folder, *newName, old) == 0)
            throw std::runtime_error("no picture of that name");
        workspace.reloadFolder();
        prompt.popup(PopupKind::Success, Texts::tr("文件 %1 成功改名为 %2").arg(old, *newName));
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "renaming" << old << "failed:" << e.what();
        prompt.popup(PopupKind::Warning,
            Texts::tr("文件夹 %1 在对文件 %2 修改名称时发生错误").arg(folder, old));
    }
}

void btn_delfileClick(Workspace& workspace)
{
    Prompt& prompt = workspace.prompt();
    const QStringList selected = workspace.selectedNames();
    if (selected.isEmpty() || !workspace.isFolderOpen()) {
        prompt.popup(PopupKind::Tip, Texts::tr("请打开文件夹并选中要删除的文件"));
        return;
    }
    if (!prompt.confirm(Texts::tr("是否真的要删除这些文件?")))
        return;
    const QString folder = workspace.openFolder();
    for (const QString& name : selected) {
        try {
            workspace.forgetThumbnails(folder, { name });
            workspace.store()->deletePicture(folder, name);
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "deleting" << name << "failed:" << e.what();
            prompt.popup(PopupKind::Warning,
                Texts::tr("文件: %1 在删除过程中产生错误，删除不成功").arg(name));
        }
    }
    try {
        workspace.reloadFolder();
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "reloading the folder after deleting failed:" << e.what();
    }
}

void menu_delallClick(Workspace& workspace)
{
    if (!workspace.isFolderOpen()) {
        workspace.prompt().popup(PopupKind::Tip, Texts::tr("请先打开一个文件夹"));
        return;
    }
    if (!workspace.prompt().confirm(Texts::tr("真的要删除该文件夹下的全部文件吗?")))
        return;
    workspace.selectAll();
    btn_delfileClick(workspace);
}

} // namespace zarvo
