// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/addnode.h"
#include "folders/opennode.h"
#include "store/foldertree.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"
#include "view/thumbnailmodel.h"

#include <QSignalSpy>

using namespace zarvo;
using namespace zarvo::test;

namespace {

using WorkspaceTest = WorkspaceFixture;

QByteArray png(quint32 seed)
{
    return testpictures::encodePng(
        testpictures::photoLike(16, 12, seed), testpictures::PngKind::Rgb8);
}

} // namespace

TEST_F(WorkspaceTest, OpeningAFolderReportsCountsProgressAndTheSelectedPicture)
{
    makeFolder(QStringLiteral("f"),
        { { QStringLiteral("/p/a.png"), png(1) }, { QStringLiteral("/p/b.PNG"), png(2) } });
    start();
    QSignalSpy status(ws, &Workspace::statusTextChanged);
    QSignalSpy started(ws, &Workspace::progressStarted);
    QSignalSpy advanced(ws, &Workspace::progressAdvanced);
    QSignalSpy busy(ws, &Workspace::busyChanged);
    clickNode(QStringLiteral("f"));
    EXPECT_EQ(captions(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started.first().first().toInt(), 2);
    EXPECT_EQ(advanced.size(), 2);
    EXPECT_EQ(status.last().at(1).toString(),
        QStringLiteral(
            "GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:2个 | JPG/JPEG文件有:0个"));
    ASSERT_EQ(busy.size(), 2);
    EXPECT_TRUE(busy.first().first().toBool());
    EXPECT_FALSE(busy.last().first().toBool());

    QSignalSpy hint(ws, &Workspace::hintChanged);
    ws->selectRows({ 1 });
    ASSERT_TRUE(ws->currentRow().has_value());
    EXPECT_EQ(ws->currentRow()->come, QStringLiteral("/p/b.PNG"));
    ASSERT_FALSE(hint.isEmpty());
    EXPECT_TRUE(hint.last().first().toBool());
    ws->selectAll();
    EXPECT_EQ(ws->selectedNames(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
}

TEST_F(WorkspaceTest, ACommandRunsOnlyOnAStoreWhileNoFolderIsBeingOpened)
{
    makeFolder(QStringLiteral("f"), { { QStringLiteral("/p/a.png"), png(1) } });
    start();
    int runs = 0;
    const auto command = [&runs](Workspace&) { ++runs; };
    // Building the view lets the progress through, never a second command.
    QList<bool> ranWhileBuilding;
    QObject::connect(ws, &Workspace::progressAdvanced, ws, [&] {
        ranWhileBuilding.append(ws->canRunCommand());
        ranWhileBuilding.append(ws->run(command));
    });
    clickNode(QStringLiteral("f"));
    EXPECT_EQ(ranWhileBuilding, (QList<bool> { false, false }));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(ws->run(command));
    EXPECT_EQ(runs, 1);
    ws->closeStore();
    EXPECT_FALSE(ws->canRunCommand());
    EXPECT_FALSE(ws->run(command));
    EXPECT_EQ(runs, 1);
}

TEST_F(WorkspaceTest, NoSaveOverwritesTheStoredTreeAfterAFailedLoad)
{
    Store& store = box.store();
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("kept"), prompt));
    store.createTreeTable();
    // The third line is two levels deeper than the one before it: only "+g" and "kept" load.
    const QByteArray damaged = "\x01g\r\n\tkept\r\n\t\t\tlost\r\nmissing\r\n";
    store.writeTreeStream(damaged);
    start();
    EXPECT_FALSE(ws->isTreeLoaded());
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Warning), QStringList { QStringLiteral("树结构读取失败！") });

    // Each command that ends with a save: adding a node, and the missing-table question's No.
    prompt.clear();
    selectNode(QStringLiteral("g"));
    AddTreeNode(*ws, { NodePlacement::ChildGroup, QStringLiteral("new") }, ws->selectedNode());
    ws->tree().appendNode(nullptr, QStringLiteral("missing"));
    prompt.answer(false);
    clickNode(QStringLiteral("missing"));
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Warning), QStringList(2, QStringLiteral("树结构保存失败！")));
    EXPECT_EQ(ws->store()->readTreeStream(), damaged) << "the stored tree is untouched";

    // Once a load succeeds, saves go through again.
    ws->store()->writeTreeStream("kept\r\n");
    ASSERT_TRUE(ws->loadTree());
    EXPECT_TRUE(ws->saveTree());
}

TEST_F(WorkspaceTest, TreeLoadedAgainDuringTheMissingTableQuestionIsAnsweredOnTheNewTree)
{
    makeFolder(QStringLiteral("f"), {});
    Store& store = box.store();
    store.writeTreeStream("f\r\ngone\r\nother\r\n");
    start();
    // The window comes back from the tray while the question is open: the tree is loaded again,
    // and every node of the old tree is freed.
    prompt.whileAsking = [this] { ws->loadTree(); };
    prompt.answer(false);
    clickNode(QStringLiteral("gone"));
    prompt.whileAsking = nullptr;
    EXPECT_EQ(ws->tree().findFolder(QStringLiteral("gone")), nullptr);
    EXPECT_NE(ws->tree().findFolder(QStringLiteral("other")), nullptr);
    EXPECT_EQ(ws->store()->readTreeStream(), QByteArray("f\r\nother\r\n"));

    ws->store()->writeTreeStream("f\r\ngone\r\n");
    ws->loadTree();
    prompt.whileAsking = [this] { ws->loadTree(); };
    prompt.answer(true);
    clickNode(QStringLiteral("gone"));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("gone"));
    EXPECT_TRUE(ws->store()->TableExists(QStringLiteral("gone")));
}
