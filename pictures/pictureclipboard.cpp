// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/pictureclipboard.h"

#include "pictures/picturenames.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/thumbnailmodel.h"
#include "view/workspace.h"

#include <QCoreApplication>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(PictureClipboard)
};

void copyOrCut(Workspace& workspace, bool cut)
{
    const QList<int> selected = workspace.selectedRows();
    if (!workspace.isFolderOpen() || selected.isEmpty()) {
        workspace.prompt().popup(PopupKind::Tip,
            cut ? Texts::tr("请先选择要剪切的文件") : Texts::tr("请先选择要复制的文件"));
        return;
    }
    ThumbnailModel& items = workspace.items();
    PictureClipboard& clipboard = workspace.clipboard();
    clipboard.copylist.clear();
    clipboard.copyfolder = workspace.openFolder();
    items.clearCutMarks();
    for (int row : selected) {
        clipboard.copylist.append(items.name(row));
        if (cut)
            items.setCut(row, true);
    }
    clipboard.cutflag = cut;
}

} // namespace

void pop_copyClick(Workspace& workspace)
{
    copyOrCut(workspace, false);
}

void pop_cutClick(Workspace& workspace)
{
    copyOrCut(workspace, true);
}

void pop_pasteClick(Workspace& workspace)
{
    Prompt& prompt = workspace.prompt();
    if (!workspace.isFolderOpen()) {
        prompt.popup(PopupKind::Tip, Texts::tr("请先打开文件夹，再进行粘贴操作"));
        return;
    }
    const QString target = workspace.openFolder();
    const QString source = workspace.clipboard().copyfolder;
    if (target == source) {
        prompt.popup(PopupKind::Warning, Texts::tr("不能在同一文件夹中进行粘贴操作"));
        return;
    }
    Store& store = *workspace.store();
    QStringList pasted;
    // A copy: the questions below run a modal loop.
    const QStringList copylist = workspace.clipboard().copylist;
    for (const QString& name : copylist) {
        QString newName = name;
        if (NameExists(store, name, target)) {
            if (!prompt.confirm(Texts::tr("文件 %1 在文件夹 %2 中已经存在，是否让系统自动给它改名?")
                                    .arg(name, target)))
                continue;
            newName = AutoRename(store, name, target);
        }
        try {
            // A picture renamed or deleted since the copy is simply not there to paste; it then
            // must not be removed from its folder either.
            if (store.pastePicture(target, newName, source, name) > 0)
                pasted.append(name);
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "pasting" << name << "failed:" << e.what();
            prompt.popup(PopupKind::Warning, Texts::tr("文件 %1 在粘贴时发生错误").arg(name));
        }
    }
    if (workspace.clipboard().cutflag) {
        for (const QString& name : pasted) {
            try {
                store.deletePicture(source, name);
            } catch (const std::exception& e) {
                qCDebug(lcPictures) << "removing pasted" << name << "failed:" << e.what();
                prompt.popup(PopupKind::Warning, Texts::tr("文件 %1 在删除时发生错误").arg(name));
            }
        }
        workspace.clipboard().clear();
    }
    try {
        workspace.reloadFolder();
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "reloading the folder after pasting failed:" << e.what();
    }
}

void A2Click(Workspace& workspace)
{
    if (workspace.isFolderOpen() && workspace.items().rowCount() > 0)
        workspace.selectAll();
}

} // namespace zarvo
