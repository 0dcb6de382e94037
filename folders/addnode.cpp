// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/addnode.h"

#include "app/form1.h"
#include "dialogs/tad.h"
#include "store/foldertree.h"
#include "store/prompt.h"
#include "store/treeblob.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace zarvo {

namespace {

QStandardItem* selectedNode(Form1& form)
{
    const QModelIndexList selected = form.tree1()->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? nullptr : form.tree().itemFromIndex(selected.first());
}

// Where a node goes: into `parent` (null: the top level) at `row` (-1: at the end).
struct Place {
    QStandardItem* parent = nullptr;
    int row = -1;
};

Place placeFor(int code, QStandardItem* selected)
{
    if (!selected)
        return {nullptr, code == Tad::SiblingGroup || code == Tad::SiblingFolder ? 0 : -1};
    if (code == Tad::SiblingGroup || code == Tad::SiblingFolder)
        return {FolderTree::parentNode(selected), selected->row()};
    return {selected, -1};
}

} // namespace

void btn_addfolderClick(Form1& form)
{
    try {
        int situation = 0;
        if (form.tree().rowCount() > 0) {
            QStandardItem* selected = selectedNode(form);
            if (!selected) {
                form.prompt().popup(PopupKind::Tip, QStringLiteral("请选择一个树或文件夹"));
                return;
            }
            situation = FolderTree::isGroup(selected) ? 1 : 2;
        }
        Tad tad(situation, form.prompt(), &form);
        const int code = tad.run();
        AddTreeNode(form, tad.name(), code, selectedNode(form));
    } catch (const std::exception&) {
    }
}

void AddTreeNode(Form1& form, const QString& name, int code, QStandardItem* selected)
{
    FolderTree& tree = form.tree();
    Store* store = form.store();
    if (!store)
        return;
    try {
        const bool folder = code == Tad::SiblingFolder || code == Tad::ChildFolder;
        if (folder && store->TableExists(name)) {
            form.prompt().popup(PopupKind::Warning, QStringLiteral("该文件夹已经存在，请更改"));
        } else if (code == Tad::SiblingGroup || code == Tad::ChildGroup) {
            const Place place = placeFor(code, selected);
            QStandardItem* node = tree.insertNode(place.parent, place.row, FolderTree::kGroupMarker + name);
            if (place.parent)
                form.tree1()->expand(place.parent->index());
            else
                form.tree1()->expandRecursively(node->index());
        } else if (folder) {
            const Place place = placeFor(code, selected);
            QStandardItem* node = tree.insertNode(place.parent, place.row, name);
            try {
                if (!store->CreateFolderTable(name, form.prompt())) {
                    tree.removeNode(node);
                } else {
                    form.prompt().popup(PopupKind::Success, QStringLiteral("文件夹 ") + name + QStringLiteral(" 创建成功!"));
                    if (place.parent)
                        form.tree1()->expand(place.parent->index());
                    form.tree1()->selectionModel()->setCurrentIndex(node->index(), QItemSelectionModel::ClearAndSelect);
                    form.openFolderTable(name);
                }
            } catch (const std::exception&) {
                tree.removeNode(node);
            }
        }
    } catch (const std::exception&) {
    }
    SaveTree(*store, tree, form.prompt());
}

} // namespace zarvo
