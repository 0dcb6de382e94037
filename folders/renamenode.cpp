// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/renamenode.h"

#include "store/foldertree.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QCoreApplication>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(RenameNode)
};

// Names SQLite would accept in a quoted rename but no folder table can have: the store refuses
// to create them, so a rename must refuse them too.
bool isImpossibleTableName(const QString& name)
{
    return name.isEmpty() || name.contains(QChar(0))
        || name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

void renameGroup(Workspace& workspace, const QPersistentModelIndex& node, const QString& oldName,
    const QString& newName)
{
    Prompt& prompt = workspace.prompt();
    bool saved = false;
    try {
        workspace.tree().itemFromIndex(node)->setData(
            FolderTree::kGroupMarker + newName, Qt::EditRole);
        saved = workspace.saveTree();
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "renaming group" << oldName << "failed:" << e.what();
    }
    if (saved)
        prompt.popup(
            PopupKind::Success, Texts::tr("树结构 %1 成功改名为 %2").arg(oldName, newName));
    else
        prompt.popup(PopupKind::Warning, Texts::tr("在修改树结构名称 %1 时发生错误").arg(newName));
}

void renameFolder(Workspace& workspace, const QPersistentModelIndex& node, const QString& oldName,
    const QString& newName)
{
    Store& store = *workspace.store();
    Prompt& prompt = workspace.prompt();
    const QString failure = Texts::tr("文件夹 %1 在修改过程中发生错误").arg(newName);
    if (store.TableExists(newName)) {
        prompt.popup(PopupKind::Warning, Texts::tr("该文件夹名 %1 已经存在，请更改!").arg(newName));
        return;
    }
    if (isImpossibleTableName(newName)) {
        // What the user saw when the table could not be made, the copy failed and so did the
        // drop of the table that was never made; nothing is changed.
        prompt.popup(PopupKind::Warning, Texts::tr("文件夹 %1 创建失败").arg(newName));
        prompt.popup(PopupKind::Warning, failure);
        prompt.popup(PopupKind::Warning, failure);
        return;
    }

    const QString wasOpen = workspace.openFolder();
    QStandardItem* item = workspace.tree().itemFromIndex(node);
    bool renamed = false;
    try {
        // No statement may still read a table that is renamed.
        workspace.closeFolderTable();
        Store::Transaction transaction(store);
        store.renameTable(oldName, newName);
        item->setData(newName, Qt::EditRole);
        if (workspace.saveTree()) {
            transaction.commit();
            renamed = true;
        }
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "renaming folder" << oldName << "to" << newName
                           << "failed:" << e.what();
    }
    if (!renamed) {
        item->setData(oldName, Qt::EditRole);
        prompt.popup(PopupKind::Warning, failure);
        try {
            if (!wasOpen.isEmpty())
                workspace.openFolderTable(wasOpen);
        } catch (const std::exception& e) {
            qCDebug(lcFolders) << "reopening folder" << wasOpen << "failed:" << e.what();
        }
        return;
    }
    try {
        workspace.openFolderTable(newName);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "opening renamed folder" << newName << "failed:" << e.what();
    }
    prompt.popup(PopupKind::Success, Texts::tr("文件夹 %1 成功改名为 %2").arg(oldName, newName));
}

} // namespace

void btn_editfolderClick(Workspace& workspace)
{
    Prompt& prompt = workspace.prompt();
    try {
        FolderTree& tree = workspace.tree();
        const QPersistentModelIndex node = workspace.selectedNode();
        const QString text
            = node.isValid() ? FolderTree::nodeText(tree.itemFromIndex(node)) : QString();
        if (!workspace.store() || tree.rowCount() == 0 || text.isEmpty()) {
            prompt.popup(PopupKind::Tip, Texts::tr("请先选择要改名的文件夹或树结构"));
            return;
        }
        const bool group = text.startsWith(FolderTree::kGroupMarker);
        const QString oldName = group ? text.mid(1) : text;
        const std::optional<QString> newName = prompt.askNewName(oldName);
        // The tree may have been loaded again while the dialog was open: then there is nothing
        // left to rename.
        if (!newName || !node.isValid() || FolderTree::nodeText(tree.itemFromIndex(node)) != text)
            return;
        if (group)
            renameGroup(workspace, node, oldName, *newName);
        else
            renameFolder(workspace, node, oldName, *newName);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "renaming a tree node failed:" << e.what();
    }
}

} // namespace zarvo
