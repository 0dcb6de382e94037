// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/treeblob.h"
#include "store/foldertree.h"
#include "store/sqlitestore.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <SQLiteCpp/Statement.h>

#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::test;

TEST(TreeBlob, NewStoreGetsTheTreeTableAndAnEmptyTreeSilently)
{
    Sandbox box;
    RecordingPrompt prompt;
    FolderTree tree;
    tree.appendNode(nullptr, QStringLiteral("stale"));
    EXPECT_TRUE(OpenBlob(box.store(), tree, prompt));
    EXPECT_EQ(tree.nodeCount(), 0);
    EXPECT_TRUE(box.store().TableExists(QStringLiteral("blob")));
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST(TreeBlob, SavedTreeLoadsAgainAndEmptyTreeSavesZeroBytes)
{
    Sandbox box;
    RecordingPrompt prompt;
    FolderTree tree;
    ASSERT_TRUE(OpenBlob(box.store(), tree, prompt));
    QStandardItem* g
        = tree.appendNode(nullptr, QString(FolderTree::kGroupMarker) + QStringLiteral("G"));
    tree.appendNode(g, QStringLiteral("F"));
    ASSERT_TRUE(SaveTree(box.store(), tree, prompt));

    FolderTree loaded;
    ASSERT_TRUE(OpenBlob(box.store(), loaded, prompt));
    EXPECT_EQ(loaded.nodeCount(), 2);
    EXPECT_TRUE(FolderTree::isGroup(loaded.item(0)));

    FolderTree empty;
    ASSERT_TRUE(SaveTree(box.store(), empty, prompt));
    EXPECT_EQ(box.store().readTreeStream().size(), 0);
    SQLite::Statement type(box.store().database(), "SELECT typeof(Blob) FROM blob");
    ASSERT_TRUE(type.executeStep());
    EXPECT_EQ(type.getColumn(0).getString(), "blob");
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST(TreeBlob, DamagedStreamWarnsAndKeepsTheNodesBefore)
{
    Sandbox box;
    RecordingPrompt prompt;
    box.store().createTreeTable();
    box.store().writeTreeStream("A\r\n\t\tB\r\nC\r\n");
    FolderTree tree;
    EXPECT_FALSE(OpenBlob(box.store(), tree, prompt));
    EXPECT_EQ(tree.nodeCount(), 1);
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Warning), QStringList { QStringLiteral("树结构读取失败！") });
}

TEST(TreeBlob, SaveFailureIsReported)
{
    Sandbox box;
    RecordingPrompt prompt;
    FolderTree tree;
    tree.appendNode(nullptr, QStringLiteral("F"));
    // No tree table: the write cannot happen.
    EXPECT_FALSE(SaveTree(box.store(), tree, prompt));
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Warning), QStringList { QStringLiteral("树结构保存失败！") });
}
