// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/workspacefixture.h"

#include "folders/opennode.h"
#include "store/foldertree.h"
#include "store/pgstore.h"
#include "store/treeblob.h"
#include "support/pgtestserver.h"
#include "view/thumbnailmodel.h"

#include <QFileInfo>
#include <QItemSelectionModel>

namespace zarvo::test {

struct WorkspaceFixture::Models
{
    FolderTree tree;
    ThumbnailModel items;
    QItemSelectionModel treeSelection { &tree };
    QItemSelectionModel itemSelection { &items };
    std::unique_ptr<Workspace> workspace;
};

WorkspaceFixture::WorkspaceFixture(Engine engine)
    : m_engine(engine)
{
}

WorkspaceFixture::~WorkspaceFixture()
{
    m_models.reset();
    box.closeStore();
}

Store& WorkspaceFixture::store()
{
    if (m_engine == Engine::File)
        return box.store();
    if (!m_server) {
        m_serverName = freshServerStore();
        Store::Opened opened = Store::open(m_serverName);
        if (!opened.store)
            throw std::runtime_error("no test server: " + opened.detail.toStdString());
        m_server = std::move(opened.store);
    }
    return *m_server;
}

QString WorkspaceFixture::storeName() const
{
    return m_engine == Engine::File ? box.storePath() : m_serverName;
}

void WorkspaceFixture::makeFolder(
    const QString& name, const QList<std::pair<QString, QByteArray>>& pictures)
{
    Store& store = this->store();
    ASSERT_TRUE(store.CreateFolderTable(name));
    for (const auto& [come, bytes] : pictures)
        store.appendPicture(name, QFileInfo(come).completeBaseName(), come, bytes);
    FolderTree tree;
    OpenBlob(store, tree, prompt);
    tree.appendNode(nullptr, name);
    SaveTree(store, tree, prompt);
}

Workspace& WorkspaceFixture::start()
{
    store();
    box.closeStore();
    m_models = std::make_unique<Models>();
    m_models->workspace = std::make_unique<Workspace>(
        prompt, m_models->tree, m_models->treeSelection, m_models->items, m_models->itemSelection);
    ws = m_models->workspace.get();
    EXPECT_TRUE(ws->openStore(storeName()));
    ws->loadTree();
    return *ws;
}

QModelIndex WorkspaceFixture::node(const QString& text) const
{
    QModelIndex found;
    ws->tree().forEachNode([&](QStandardItem* n) {
        if (!found.isValid() && FolderTree::nodeText(n) == text)
            found = n->index();
    });
    return found;
}

void WorkspaceFixture::selectNode(const QString& displayName)
{
    FolderTree& tree = ws->tree();
    const QModelIndexList hits = tree.match(
        tree.index(0, 0), Qt::DisplayRole, displayName, 1, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(hits.size(), 1) << displayName.toStdString();
    ws->selectNode(hits.first());
}

void WorkspaceFixture::clickNode(const QString& displayName)
{
    selectNode(displayName);
    tree1Click(*ws);
}

QStringList WorkspaceFixture::captions() const
{
    QStringList names;
    for (int i = 0; i < ws->items().rowCount(); ++i)
        names.append(ws->items().name(i));
    return names;
}

void WorkspaceFixture::select(const QList<int>& rows)
{
    ws->selectRows(rows);
}

QStringList WorkspaceFixture::rowNames(const QString& folder) const
{
    QStringList names;
    for (const PictureRow& row : ws->store()->pictureRows(folder))
        names.append(row.name);
    return names;
}

} // namespace zarvo::test
