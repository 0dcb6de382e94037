// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "widgets/foldertreeview.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace zarvo {

namespace {

const QString kNodeFormat = QStringLiteral("application/x-zarvo-tree-node");

// The process that started the drag: a node of another Zarvo's tree is no node of this one.
QByteArray processStamp()
{
    return QByteArray::number(QCoreApplication::applicationPid());
}

// Nodes move and files are copied; anything else is accepted too, so the cursor never refuses.
void acceptDrag(QDragMoveEvent* event)
{
    event->setDropAction(
        FolderTreeView::carriesNode(event->mimeData()) ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}

} // namespace

FolderTreeView::FolderTreeView(QWidget* parent)
    : QTreeView(parent)
{
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
}

QMimeData* FolderTreeView::nodeMimeData()
{
    auto* data = new QMimeData;
    data->setData(kNodeFormat, processStamp());
    return data;
}

bool FolderTreeView::carriesNode(const QMimeData* data)
{
    return data && data->hasFormat(kNodeFormat) && data->data(kNodeFormat) == processStamp();
}

void FolderTreeView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT enterPressed();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void FolderTreeView::startDrag(Qt::DropActions)
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(nodeMimeData());
    const QIcon icon = selected.first().data(Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull())
        drag->setPixmap(icon.pixmap(iconSize()));
    // The drop moved the node already, whatever action the target reports: nothing is removed here.
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void FolderTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    QTreeView::dragEnterEvent(event); // the item view's drag state, for scrolling at the edges
    acceptDrag(event);
}

void FolderTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    QTreeView::dragMoveEvent(event); // scrolls near the edges; its verdict is replaced below
    acceptDrag(event);
}

void FolderTreeView::dropEvent(QDropEvent* event)
{
    // The item view's own drop would insert copies of the rows: it never runs.
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    const QMimeData* mime = event->mimeData();
    if (carriesNode(mime)) {
        const QModelIndex target = indexAt(event->position().toPoint());
        const QModelIndex top = indexAt(QPoint(1, 1));
        event->setDropAction(Qt::CopyAction);
        event->accept();
        Q_EMIT nodeDropped(target, top);
    } else if (mime && mime->hasUrls()) {
        Q_EMIT filesDropped(event);
    } else {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
    }
}

namespace {

// Calls visit(index, path) for every node below `parent`, parents first.
template <typename Visit>
void walk(
    const QAbstractItemModel& model, const QModelIndex& parent, QStringList path, Visit&& visit)
{
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        path.append(index.data(Qt::DisplayRole).toString());
        visit(index, path);
        walk(model, index, path, visit);
        path.removeLast();
    }
}

} // namespace

std::set<QStringList> FolderTreeView::expandedPaths() const
{
    std::set<QStringList> paths;
    if (model())
        walk(*model(), QModelIndex(), {}, [&](const QModelIndex& index, const QStringList& path) {
            if (isExpanded(index))
                paths.insert(path);
        });
    return paths;
}

void FolderTreeView::expandPaths(const std::set<QStringList>& paths)
{
    if (model())
        walk(*model(), QModelIndex(), {}, [&](const QModelIndex& index, const QStringList& path) {
            if (paths.count(path))
                expand(index);
        });
}

} // namespace zarvo
