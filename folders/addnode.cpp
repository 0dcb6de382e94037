// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/addnode.h"

#include "store/foldertree.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QCoreApplication>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(AddNode)
};

// Where a node goes: into `parent` (null: the top level) at `row` (-1: at the end).
struct Place
{
    QStandardItem* parent = nullptr;
    int row = -1;
};

Place placeFor(NodePlacement placement, QStandardItem* selected)
{
    if (!selected)
        return { nullptr, isSiblingPlacement(placement) ? 0 : -1 };
    if (isSiblingPlacement(placement))
        return { FolderTree::parentNode(selected), selected->row() };
    return { selected, -1 };
}

} // namespace

void btn_addfolderClick(Workspace& workspace)
{
    try {
        FolderTree& tree = workspace.tree();
        NodeSituation situation = NodeSituation::EmptyTree;
        QPersistentModelIndex selected = workspace.selectedNode();
        if (tree.rowCount() > 0) {
            if (!selected.isValid()) {
                workspace.prompt().popup(PopupKind::Tip, Texts::tr("请选择一个树或文件夹"));
                return;
            }
            situation = FolderTree::isGroup(tree.itemFromIndex(selected))
                ? NodeSituation::GroupSelected
                : NodeSituation::FolderSelected;
        }
        const NewNode answer = workspace.prompt().askNewNode(situation);
        if (!selected.isValid())
            selected = workspace.selectedNode(); // the tree was loaded again meanwhile
        AddTreeNode(workspace, answer, selected);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "adding a tree node failed:" << e.what();
    }
}

void AddTreeNode(Workspace& workspace, const NewNode& node, const QModelIndex& selectedIndex)
{
    FolderTree& tree = workspace.tree();
    Store* store = workspace.store();
    Prompt& prompt = workspace.prompt();
    if (!store)
        return;
    QStandardItem* selected = selectedIndex.isValid() ? tree.itemFromIndex(selectedIndex) : nullptr;
    const QString& name = node.name;
    try {
        const bool folder = isFolderPlacement(node.placement);
        if (folder && store->TableExists(name)) {
            prompt.popup(PopupKind::Warning, Texts::tr("该文件夹已经存在，请更改"));
        } else if (node.placement == NodePlacement::SiblingGroup
            || node.placement == NodePlacement::ChildGroup) {
            const Place place = placeFor(node.placement, selected);
            QStandardItem* added
                = tree.insertNode(place.parent, place.row, FolderTree::kGroupMarker + name);
            if (place.parent)
                workspace.expandNode(place.parent->index(), false);
            else
                workspace.expandNode(added->index(), true);
        } else if (folder) {
            const Place place = placeFor(node.placement, selected);
            const QPersistentModelIndex added
                = tree.insertNode(place.parent, place.row, name)->index();
            bool created = false;
            try {
                // The table and the tree that shows it are stored together or not at all.
                Store::Transaction transaction(*store);
                created = store->CreateFolderTable(name);
                if (!created)
                    prompt.popup(PopupKind::Warning, Store::createFailedText(name));
                else if (!workspace.saveTree())
                    created = false;
                else
                    transaction.commit();
            } catch (const std::exception& e) {
                qCDebug(lcFolders) << "making folder" << name << "failed:" << e.what();
                created = false;
            }
            if (!created) {
                if (added.isValid())
                    tree.removeNode(tree.itemFromIndex(added));
            } else {
                prompt.popup(PopupKind::Success, Texts::tr("文件夹 %1 创建成功!").arg(name));
                if (place.parent)
                    workspace.expandNode(place.parent->index(), false);
                workspace.selectNode(added);
                // The node stays with its new table even when the folder cannot be opened now.
                workspace.openFolderTable(name);
            }
        }
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "adding tree node" << name << "failed:" << e.what();
    }
    workspace.saveTree();
}

} // namespace zarvo
