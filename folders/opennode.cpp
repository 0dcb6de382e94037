// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/opennode.h"

#include "store/foldertree.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QCoreApplication>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(OpenNode)
};

} // namespace

void tree1Click(Workspace& workspace)
{
    Store* store = workspace.store();
    FolderTree& tree = workspace.tree();
    QPersistentModelIndex node = workspace.selectedNode();
    if (!store || tree.rowCount() == 0 || !node.isValid())
        return;
    const QString text = FolderTree::nodeText(tree.itemFromIndex(node));
    if (workspace.isFolderOpen() && workspace.openFolder() == text)
        return;
    if (FolderTree::isGroup(tree.itemFromIndex(node)))
        return;

    Prompt& prompt = workspace.prompt();
    try {
        if (!store->TableExists(text)) {
            const bool create = prompt.confirm(Texts::tr("该文件不存在，是否要创建该文件夹?"));
            // The tree may have been loaded again while the question was open: the answer then
            // applies to the folder node of that name, if there still is one.
            if (!node.isValid())
                node = QPersistentModelIndex(tree.indexOfNode(tree.findFolder(text)));
            if (!create) {
                if (node.isValid())
                    tree.removeNode(tree.itemFromIndex(node));
                workspace.saveTree();
                return;
            }
            if (!store->CreateFolderTable(text)) {
                prompt.popup(PopupKind::Warning, Store::createFailedText(text));
                return;
            }
            prompt.popup(PopupKind::Success, Texts::tr("文件夹 %1 创建成功!").arg(text));
            workspace.saveTree();
        }
        workspace.openFolderTable(text);
    } catch (const std::exception& e) {
        // Opening a folder fails silently; the view shows what was built.
        qCDebug(lcFolders) << "opening folder" << text << "failed:" << e.what();
    }
}

} // namespace zarvo
