// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QTreeView>

#include <set>

class QMimeData;

namespace zarvo {

// The folder tree's view `tree1`. A mouse drag of a node starts a drag of its own (the node is
// the selected one, as the press selected it), and every drag over the tree is accepted. A drop
// that carries a node of this tree is reported with the node under the drop point (invalid over
// empty space) and the node in the top visible row; the tree model is never touched here, and
// the drop ends as a copy, so no row is ever removed or inserted by the item view's own drag
// and drop. A drop of files is handed on as it is; any other drop is ignored.
class FolderTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit FolderTreeView(QWidget* parent = nullptr);

    // What a node drag of this program carries; other programs' data never counts as a node.
    static QMimeData* nodeMimeData();
    static bool carriesNode(const QMimeData* data);

    // The expanded nodes, each as its path of shown names from the top level: what survives the
    // model being loaded again, for expandPaths() to restore.
    std::set<QStringList> expandedPaths() const;
    void expandPaths(const std::set<QStringList>& paths);

Q_SIGNALS:
    // Return or Enter was pressed: the key goes no further.
    void enterPressed();
    void nodeDropped(const QModelIndex& target, const QModelIndex& topItem);
    void filesDropped(QDropEvent* event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace zarvo
