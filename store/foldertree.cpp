// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/foldertree.h"

namespace zarvo {

FolderTree::FolderTree(QObject* parent)
    : QStandardItemModel(parent)
{
}

QStandardItem* FolderTree::insertNode(QStandardItem* parent, int row, const QString& text)
{
    auto* node = new QStandardItem;
    node->setData(text, Qt::EditRole);
    node->setEditable(false);
    setKindFromText(node);
    QStandardItem* owner = parent ? parent : invisibleRootItem();
    if (row < 0 || row > owner->rowCount())
        owner->appendRow(node);
    else
        owner->insertRow(row, node);
    return node;
}

QString FolderTree::nodeText(const QStandardItem* node)
{
    return node ? node->data(Qt::EditRole).toString() : QString();
}

int FolderTree::imageIndex(const QStandardItem* node)
{
    return node ? node->data(ImageIndexRole).toInt() : kFolderImage;
}

int FolderTree::level(const QStandardItem* node)
{
    int depth = 0;
    for (const QStandardItem* p = parentNode(node); p; p = parentNode(p))
        ++depth;
    return depth;
}

QStandardItem* FolderTree::parentNode(const QStandardItem* node)
{
    // QStandardItem::parent() is null for top-level items already.
    return node ? node->parent() : nullptr;
}

void FolderTree::setKindFromText(QStandardItem* node)
{
    const bool group = nodeText(node).startsWith(kGroupMarker);
    node->setData(group ? kGroupImage : kFolderImage, ImageIndexRole);
}

void FolderTree::forEachNode(const std::function<void(QStandardItem*)>& visit) const
{
    std::function<void(QStandardItem*)> walk = [&](QStandardItem* parent) {
        for (int r = 0; r < parent->rowCount(); ++r) {
            QStandardItem* child = parent->child(r);
            visit(child);
            walk(child);
        }
    };
    walk(invisibleRootItem());
}

int FolderTree::nodeCount() const
{
    int count = 0;
    forEachNode([&](QStandardItem*) { ++count; });
    return count;
}

QStandardItem* FolderTree::findFolder(const QString& text) const
{
    QStandardItem* found = nullptr;
    forEachNode([&](QStandardItem* node) {
        if (!found && !isGroup(node) && nodeText(node) == text)
            found = node;
    });
    return found;
}

void FolderTree::removeNode(QStandardItem* node)
{
    if (!node)
        return;
    QStandardItem* owner = node->parent() ? node->parent() : invisibleRootItem();
    owner->removeRow(node->row());
}

void FolderTree::setIcons(const QIcon& group, const QIcon& folder)
{
    m_groupIcon = group;
    m_folderIcon = folder;
}

QVariant FolderTree::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole) {
        QString text = QStandardItemModel::data(index, Qt::EditRole).toString();
        if (text.startsWith(kGroupMarker))
            text.remove(0, 1);
        return text;
    }
    if (role == Qt::DecorationRole) {
        const int image = QStandardItemModel::data(index, ImageIndexRole).toInt();
        return image == kGroupImage ? m_groupIcon : m_folderIcon;
    }
    return QStandardItemModel::data(index, role);
}

} // namespace zarvo
