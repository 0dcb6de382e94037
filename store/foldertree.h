// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QStandardItemModel>

#include <functional>

namespace zarvo {

// The folder tree: group nodes, which only group, and folder nodes, each standing for the folder
// table of the same name. It is the one copy of the tree in memory: the tree view displays it,
// the tree stream encodes and decodes it, and every folder command edits it.
//
// A node's text is its name; a group node's text begins with the group marker (the character
// of code 1). The kind is the node's image index (0 group, 1 folder), kept in ImageIndexRole.
// The display role shows a group node's name without the marker; the decoration role gives the
// icon of the node's kind.
class FolderTree : public QStandardItemModel
{
    Q_OBJECT
public:
    static constexpr QChar kGroupMarker = QChar(1);
    static constexpr int kGroupImage = 0;
    static constexpr int kFolderImage = 1;
    enum Role {
        ImageIndexRole = Qt::UserRole + 1,
    };

    explicit FolderTree(QObject* parent = nullptr);

    // A new node with the given text: a group node when the text begins with the group marker.
    // Inserted into parent (null: the top level) at row, or appended when row is -1.
    QStandardItem* insertNode(QStandardItem* parent, int row, const QString& text);
    QStandardItem* appendNode(QStandardItem* parent, const QString& text)
    {
        return insertNode(parent, -1, text);
    }

    // The node's full text, the group marker included.
    static QString nodeText(const QStandardItem* node);
    static int imageIndex(const QStandardItem* node);
    static bool isGroup(const QStandardItem* node) { return imageIndex(node) == kGroupImage; }
    // The node's depth: 0 for a top-level node.
    static int level(const QStandardItem* node);
    // null for a top-level node.
    static QStandardItem* parentNode(const QStandardItem* node);
    // The item that holds the node's row: its parent node, or the invisible root item for a
    // top-level node.
    static QStandardItem* ownerOf(const QStandardItem* node);
    // The node after `node` in walk order (parents before children, children in order), or null
    // after the last. With `intoChildren` false, the first node after everything under `node`.
    static QStandardItem* nextInWalk(const QStandardItem* node, bool intoChildren = true);
    // The node the tree shows right above `node` when `isExpanded` tells which nodes are shown
    // expanded: the deepest last shown descendant of its previous sibling, else its parent; null
    // for the first top-level node.
    static QStandardItem* nodeAbove(
        const QStandardItem* node, const std::function<bool(const QStandardItem*)>& isExpanded);
    // Sets the kind from the text, as after loading: group when the text begins with the marker.
    static void setKindFromText(QStandardItem* node);

    // Every node, parents before children, children in order.
    void forEachNode(const std::function<void(QStandardItem*)>& visit) const;
    int nodeCount() const;
    // The first folder node (walk order) whose text equals text exactly, or null.
    QStandardItem* findFolder(const QString& text) const;
    QModelIndex indexOfNode(const QStandardItem* node) const
    {
        return node ? node->index() : QModelIndex();
    }
    void removeNode(QStandardItem* node);
    // Moves `node`, with everything under it, into `parent` (null: the top level) at `row`,
    // counted after the node has left its place (-1 or beyond the end: appended). The node keeps
    // its text, kind and children; indexes into the moved rows become invalid. A node never goes
    // under itself or one of its descendants: such a move is refused and returns false.
    bool moveNode(QStandardItem* node, QStandardItem* parent, int row = -1);

    void setIcons(const QIcon& group, const QIcon& folder);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QStandardItem* holder(QStandardItem* parent) const
    {
        return parent ? parent : invisibleRootItem();
    }

    QIcon m_groupIcon;
    QIcon m_folderIcon;
};

} // namespace zarvo
