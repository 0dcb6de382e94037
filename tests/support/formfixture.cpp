// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/formfixture.h"

#include "store/foldertree.h"
#include "store/treeblob.h"
#include "view/folderlistview.h"
#include "view/thumbnailmodel.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTimer>
#include <QTreeView>

namespace zarvo::test {

void FormFixture::SetUp()
{
    m_oldDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(box.dir()));
}

void FormFixture::TearDown()
{
    form.reset();
    box.closeStore();
    QDir::setCurrent(m_oldDir);
}

void FormFixture::makeFolder(const QString& name, const QList<std::pair<QString, QByteArray>>& pictures)
{
    Store& store = box.store();
    ASSERT_TRUE(store.CreateFolderTable(name, prompt));
    for (const auto& [come, bytes] : pictures)
        store.appendPicture(name, QFileInfo(come).completeBaseName(), come, bytes);
    FolderTree tree;
    OpenBlob(store, tree, prompt);
    tree.appendNode(nullptr, name);
    SaveTree(store, tree, prompt);
}

Form1& FormFixture::start()
{
    box.store();
    box.closeStore();
    form = std::make_unique<Form1>(&prompt);
    EXPECT_TRUE(form->FormCreate());
    form->show();
    return *form;
}

void FormFixture::selectNode(const QString& displayName)
{
    const QModelIndexList hits = form->tree().match(form->tree().index(0, 0), Qt::DisplayRole, displayName, 1,
                                                     Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(hits.size(), 1) << displayName.toStdString();
    form->tree1()->selectionModel()->setCurrentIndex(hits.first(), QItemSelectionModel::ClearAndSelect);
}

void FormFixture::clickNode(const QString& displayName)
{
    selectNode(displayName);
    form->tree1Click();
}

QStringList FormFixture::captions() const
{
    QStringList names;
    for (int i = 0; i < form->items().rowCount(); ++i)
        names.append(form->items().name(i));
    return names;
}

void FormFixture::select(const QList<int>& rows)
{
    QItemSelectionModel* selection = form->ListView1()->selectionModel();
    selection->clearSelection();
    for (int row : rows)
        selection->select(form->items().index(row), QItemSelectionModel::Select);
}

QStringList FormFixture::rowNames(const QString& folder) const
{
    QStringList names;
    Store* store = form ? form->store() : nullptr;
    for (const PictureRow& row : store->pictureRows(folder))
        names.append(row.name);
    return names;
}

void FormFixture::onModal(std::function<void(QDialog*)> act)
{
    QTimer::singleShot(0, [act] { act(qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
}

} // namespace zarvo::test
