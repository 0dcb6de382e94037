// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/addnode.h"
#include "store/foldertree.h"
#include "store/treeblob.h"
#include "support/workspacefixture.h"
#include "view/thumbnailmodel.h"

#include <QSignalSpy>

using namespace zarvo;
using namespace zarvo::test;

namespace {

const QString G = QString(FolderTree::kGroupMarker);

class AddNodeTest : public BothEngines
{
protected:
    // The tree in the store as "level:text" lines, group marker shown as '+'.
    QStringList savedTree()
    {
        FolderTree saved;
        OpenBlob(*ws->store(), saved, prompt);
        return shape(saved);
    }
    static QStringList shape(const FolderTree& tree)
    {
        QStringList lines;
        tree.forEachNode([&](QStandardItem* node) {
            QString text = FolderTree::nodeText(node);
            text.replace(FolderTree::kGroupMarker, QLatin1Char('+'));
            lines.append(QString::number(FolderTree::level(node)) + QLatin1Char(':') + text);
        });
        return lines;
    }
    // Starts on the tree "+A { F1 }", "F2".
    void startWithTree()
    {
        Store& store = this->store();
        ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("F1")));
        ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("F2")));
        store.createTreeTable();
        store.writeTreeStream((G + QStringLiteral("A\r\n\tF1\r\nF2\r\n")).toUtf8());
        start();
    }
};

} // namespace

ZARVO_ON_BOTH_ENGINES(AddNodeTest);

TEST_P(AddNodeTest, EmptyTreeGetsItsFirstGroupNodeWithoutTouchingTheView)
{
    start();
    AddTreeNode(*ws, { NodePlacement::SiblingGroup, QStringLiteral("相册") }, QModelIndex());
    EXPECT_EQ(savedTree(), QStringList { QStringLiteral("0:+相册") });
    EXPECT_TRUE(FolderTree::isGroup(ws->tree().item(0)));
    EXPECT_FALSE(ws->isFolderOpen());
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST_P(AddNodeTest, SiblingsGoBeforeTheSelectedNodeChildrenLast)
{
    startWithTree();
    QSignalSpy expanded(ws, &Workspace::nodeExpanded);
    AddTreeNode(
        *ws, { NodePlacement::SiblingGroup, QStringLiteral("B") }, node(G + QStringLiteral("A")));
    AddTreeNode(
        *ws, { NodePlacement::ChildGroup, QStringLiteral("C") }, node(G + QStringLiteral("A")));
    ASSERT_EQ(expanded.size(), 2);
    EXPECT_EQ(expanded.at(1).at(0).toModelIndex(), node(G + QStringLiteral("A")))
        << "the parent shows its new child";
    AddTreeNode(
        *ws, { NodePlacement::SiblingFolder, QStringLiteral("F3") }, node(QStringLiteral("F2")));
    AddTreeNode(
        *ws, { NodePlacement::ChildFolder, QStringLiteral("F4") }, node(G + QStringLiteral("B")));
    AddTreeNode(*ws, { NodePlacement::SiblingGroup, QStringLiteral("A") },
        node(G + QStringLiteral("A"))); // names may repeat
    EXPECT_EQ(savedTree(),
        (QStringList { QStringLiteral("0:+B"), QStringLiteral("1:F4"), QStringLiteral("0:+A"),
            QStringLiteral("0:+A"), QStringLiteral("1:F1"), QStringLiteral("1:+C"),
            QStringLiteral("0:F3"), QStringLiteral("0:F2") }));
    EXPECT_TRUE(ws->store()->TableExists(QStringLiteral("F3")));
    EXPECT_TRUE(ws->store()->TableExists(QStringLiteral("F4")));
}

TEST_P(AddNodeTest, NewFolderIsAnnouncedSelectedAndOpened)
{
    startWithTree();
    clickNode(QStringLiteral("F2"));
    AddTreeNode(
        *ws, { NodePlacement::ChildFolder, QStringLiteral("新的") }, node(G + QStringLiteral("A")));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Success),
        QStringList { QStringLiteral("文件夹 新的 创建成功!") });
    EXPECT_EQ(ws->openFolder(), QStringLiteral("新的"));
    EXPECT_EQ(ws->items().rowCount(), 0);
    EXPECT_EQ(QModelIndex(ws->selectedNode()), node(QStringLiteral("新的")));
}

TEST_P(AddNodeTest, ExistingTableNamesAreRefusedInAnyCase)
{
    startWithTree();
    ws->store()->CreateFolderTable(QStringLiteral("ABC"));
    const QStringList before = savedTree();
    for (const QString& name : { QStringLiteral("abc"), QStringLiteral("blob"),
             QStringLiteral("BLOB"), QStringLiteral("f1") })
        AddTreeNode(*ws, { NodePlacement::SiblingFolder, name }, node(QStringLiteral("F2")));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList(4, QStringLiteral("该文件夹已经存在，请更改")));
    EXPECT_EQ(savedTree(), before);
}

TEST_P(AddNodeTest, FolderWhoseTableCannotBeMadeIsTakenOutAndCancelStillSaves)
{
    startWithTree();
    ws->tree().appendNode(nullptr, QStringLiteral("unsaved"));
    // A name the engine refuses: SQLite keeps sqlite_ names, PostgreSQL takes 63 bytes at most.
    const QString impossible
        = engine() == Engine::File ? QStringLiteral("sqlite_x") : QString(22, QChar(0x732b));
    AddTreeNode(*ws, { NodePlacement::SiblingFolder, impossible }, node(QStringLiteral("F2")));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件夹 %1 创建失败").arg(impossible) });
    EXPECT_EQ(node(impossible), QModelIndex());
    EXPECT_EQ(savedTree().last(), QStringLiteral("0:unsaved")) << "the tree is saved all the same";

    ws->tree().appendNode(nullptr, QStringLiteral("also"));
    AddTreeNode(*ws, { NodePlacement::Cancel, QStringLiteral("x") }, node(QStringLiteral("F2")));
    EXPECT_EQ(savedTree().last(), QStringLiteral("0:also")) << "Cancel saves the tree too";
}

TEST_P(AddNodeTest, CommandAsksForASelectionAndOffersWhatTheSelectionAllows)
{
    startWithTree();
    btn_addfolderClick(*ws);
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Tip), QStringList { QStringLiteral("请选择一个树或文件夹") });
    EXPECT_TRUE(prompt.situations.isEmpty());

    selectNode(QStringLiteral("F2"));
    prompt.answerNewNode(NodePlacement::SiblingFolder, QStringLiteral("F0"));
    btn_addfolderClick(*ws);
    selectNode(QStringLiteral("A"));
    prompt.answerNewNode(NodePlacement::Cancel, QStringLiteral("ignored"));
    btn_addfolderClick(*ws);
    EXPECT_EQ(prompt.situations,
        (QList<NodeSituation> { NodeSituation::FolderSelected, NodeSituation::GroupSelected }));
    EXPECT_EQ(savedTree(),
        (QStringList { QStringLiteral("0:+A"), QStringLiteral("1:F1"), QStringLiteral("0:F0"),
            QStringLiteral("0:F2") }));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("F0"));
}
