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
    QStandardItem* owner = holder(parent);
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

QStandardItem* FolderTree::ownerOf(const QStandardItem* node)
{
    QStandardItem* parent = parentNode(node);
    return parent ? parent : node->model()->invisibleRootItem();
}

QStandardItem* FolderTree::nextInWalk(const QStandardItem* node, bool intoChildren)
{
    if (!node)
        return nullptr;
    if (intoChildren && node->rowCount() > 0)
        return node->child(0);
    for (const QStandardItem* n = node; n; n = parentNode(n)) {
        QStandardItem* owner = ownerOf(n);
        if (n->row() + 1 < owner->rowCount())
            return owner->child(n->row() + 1);
    }
    return nullptr;
}

QStandardItem* FolderTree::nodeAbove(
    const QStandardItem* node, const std::function<bool(const QStandardItem*)>& isExpanded)
{
    if (!node || node->row() == 0)
        return parentNode(node);
    QStandardItem* above = ownerOf(node)->child(node->row() - 1);
    while (above->rowCount() > 0 && isExpanded(above))
        above = above->child(above->rowCount() - 1);
    return above;
}

void FolderTree::setKindFromText(QStandardItem* node)
{
    const bool group = nodeText(node).startsWith(kGroupMarker);
    node->setData(group ? kGroupImage : kFolderImage, ImageIndexRole);
}

void FolderTree::forEachNode(const std::function<void(QStandardItem*)>& visit) const
{
    for (QStandardItem* node = item(0); node; node = nextInWalk(node))
        visit(node);
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
    ownerOf(node)->removeRow(node->row());
}

bool FolderTree::moveNode(QStandardItem* node, QStandardItem* parent, int row)
{
    for (const QStandardItem* p = parent; p; p = parentNode(p))
        if (p == node)
            return false;
    QStandardItem* to = holder(parent);
    const QList<QStandardItem*> taken = ownerOf(node)->takeRow(node->row());
    if (row < 0 || row > to->rowCount())
        to->appendRow(taken);
    else
        to->insertRow(row, taken);
    return true;
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
