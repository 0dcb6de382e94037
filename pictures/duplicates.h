// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "store/store.h"

#include <QList>
#include <QString>

namespace zarvo {

class FolderTree;
class Workspace;

// What the tool window "查找重复图片" works on: the sets of pictures holding the same bytes, with
// each picture's folder path in the tree, and what the user does to them.
class DuplicateSession
{
public:
    struct Picture
    {
        StoredPicture stored;
        QString path; // the folder's node path in the tree ("组/文件夹"), or its table name
    };
    struct Group
    {
        qint64 size = 0;
        QList<Picture> pictures;
    };

    explicit DuplicateSession(Workspace& workspace);

    // The sets, largest pictures first, as last found.
    const QList<Group>& groups() const { return m_groups; }
    // Finds the sets again (after a change).
    void refresh();

    // Deletes the pictures after the delete question; their thumbnails go, the open folder is
    // reloaded when it held one, and the sets are found again. Whether anything was deleted.
    bool deletePictures(const QList<StoredPicture>& pictures);
    // Opens the picture's folder (its node selected) and selects the picture in the view.
    void openAt(const StoredPicture& picture);

private:
    Workspace& m_workspace;
    QList<Group> m_groups;
};

// The folder path of a folder table in the tree ("组/子组/文件夹"), or the table's name when no
// node shows it.
QString folderPathInTree(const FolderTree& tree, const QString& table);

// The duplicates command: fingerprints the store when it has none yet and shows the window.
void menu_dupsClick(Workspace& workspace);

} // namespace zarvo
