// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/duplicates.h"

#include "store/foldertree.h"
#include "store/logging.h"
#include "view/prompt.h"
#include "view/thumbnailmodel.h"
#include "view/workspace.h"

#include <QCoreApplication>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(Duplicates)
};

} // namespace

QString folderPathInTree(const FolderTree& tree, const QString& table)
{
    QStandardItem* node = tree.findFolder(table);
    if (!node)
        return table;
    QStringList parts;
    for (const QStandardItem* n = node; n; n = FolderTree::parentNode(n)) {
        const QString text = FolderTree::nodeText(n);
        parts.prepend(FolderTree::isGroup(n) ? text.mid(1) : text);
    }
    return parts.join(QLatin1Char('/'));
}

DuplicateSession::DuplicateSession(Workspace& workspace)
    : m_workspace(workspace)
{
    refresh();
}

void DuplicateSession::refresh()
{
    m_groups.clear();
    Store* store = m_workspace.store();
    if (!store)
        return;
    try {
        for (const DuplicateGroup& found : store->duplicateGroups()) {
            Group group { found.size, {} };
            for (const StoredPicture& picture : found.pictures)
                group.pictures.append(
                    { picture, folderPathInTree(m_workspace.tree(), picture.folder) });
            m_groups.append(group);
        }
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "finding duplicates failed:" << e.what();
        m_workspace.prompt().popup(PopupKind::Warning, Texts::tr("重复图片查找失败"));
    }
}

bool DuplicateSession::deletePictures(const QList<StoredPicture>& pictures)
{
    Store* store = m_workspace.store();
    if (!store || pictures.isEmpty())
        return false;
    if (!m_workspace.prompt().confirm(Texts::tr("是否真的要删除这些文件?")))
        return false;
    bool openTouched = false;
    for (const StoredPicture& picture : pictures) {
        try {
            m_workspace.forgetThumbnails(picture.folder, { picture.name });
            store->deletePicture(picture.folder, picture.name);
            openTouched = openTouched || picture.folder == m_workspace.openFolder();
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "deleting" << picture.name << "failed:" << e.what();
            m_workspace.prompt().popup(PopupKind::Warning,
                Texts::tr("文件: %1 在删除过程中产生错误，删除不成功").arg(picture.name));
        }
    }
    if (openTouched) {
        try {
            m_workspace.reloadFolder();
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "reloading the folder after deleting failed:" << e.what();
        }
    }
    refresh();
    return true;
}

void DuplicateSession::openAt(const StoredPicture& picture)
{
    FolderTree& tree = m_workspace.tree();
    try {
        if (QStandardItem* node = tree.findFolder(picture.folder)) {
            m_workspace.selectNode(node->index());
            QStandardItem* parent = FolderTree::parentNode(node);
            if (parent)
                m_workspace.expandNode(parent->index(), false);
        }
        if (m_workspace.openFolder() != picture.folder)
            m_workspace.openFolderTable(picture.folder);
        const ThumbnailModel& items = m_workspace.items();
        for (int row = 0; row < items.rowCount(); ++row) {
            if (items.name(row) == picture.name) {
                m_workspace.selectRows({ row });
                break;
            }
        }
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "opening" << picture.folder << "failed:" << e.what();
    }
}

void menu_dupsClick(Workspace& workspace)
{
    if (!workspace.ensureFingerprints())
        return;
    DuplicateSession session(workspace);
    workspace.prompt().showDuplicatesWindow(session);
}

} // namespace zarvo
