// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// Two programs on one server store, each a workspace of its own: what one changes the other
// follows, a tree saved on a stale copy is refused with nothing lost, and a connection the
// server drops fails one command and comes back with the next. A folder opening with a thumbnail
// cache reads only the pictures the cache lacks.
#include "folders/addnode.h"
#include "folders/deletenode.h"
#include "folders/opennode.h"
#include "imaging/thumbnailer.h"
#include "store/foldertree.h"
#include "store/pgstore.h"
#include "support/pgtestserver.h"
#include "support/recordingprompt.h"
#include "support/testpictures.h"
#include "view/thumbnailcache.h"
#include "view/thumbnailmodel.h"
#include "view/thumbnailpipeline.h"
#include "view/workspace.h"

#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>

using namespace zarvo;
using namespace zarvo::test;

namespace {

const QString kConflictTip
    = QStringLiteral("另一台电脑修改了文件夹, 已重新读取文件夹树; 刚才的操作没有执行");

// One program: a workspace with its own models and prompt, on the store named `uri`.
struct Client
{
    explicit Client(const QString& uri)
    {
        EXPECT_TRUE(ws.openStore(uri));
        EXPECT_TRUE(ws.loadTree());
    }
    QStringList nodes() const
    {
        QStringList texts;
        tree.forEachNode([&](QStandardItem* n) { texts.append(FolderTree::nodeText(n)); });
        return texts;
    }
    QStringList captions() const
    {
        QStringList texts;
        for (int row = 0; row < items.rowCount(); ++row)
            texts.append(items.index(row).data().toString());
        return texts;
    }
    QModelIndex node(const char* text) const
    {
        return tree.indexOfNode(tree.findFolder(QLatin1String(text)));
    }

    RecordingPrompt prompt;
    FolderTree tree;
    ThumbnailModel items;
    QItemSelectionModel treeSelection { &tree };
    QItemSelectionModel itemSelection { &items };
    Workspace ws { prompt, tree, treeSelection, items, itemSelection };
};

class SharedStoreTest : public ::testing::Test
{
protected:
    // A server store with folders F1 (pictures cat and dog) and F2, both on the tree.
    SharedStoreTest()
        : m_uri(freshServerStore())
    {
        PgStore::Opened opened = PgStore::open(m_uri);
        if (!opened.store)
            throw std::runtime_error(opened.detail.toStdString());
        admin = std::move(opened.store);
        for (const char* folder : { "F1", "F2" })
            EXPECT_TRUE(admin->CreateFolderTable(QLatin1String(folder)));
        admin->appendPicture(
            QStringLiteral("F1"), QStringLiteral("cat"), QStringLiteral("/p/cat.png"), "cat");
        admin->appendPicture(
            QStringLiteral("F1"), QStringLiteral("dog"), QStringLiteral("/p/dog.png"), "dog");
        admin->createTreeTable();
        admin->writeTreeStream("F1\r\nF2\r\n");
    }
    // The same store under an application name of its own, for pg_stat_activity.
    QString uriNamed(const QString& name) const
    {
        return m_uri + QStringLiteral("&application_name=") + name;
    }

    QString m_uri;
    std::unique_ptr<PgStore> admin;
};

} // namespace

TEST_F(SharedStoreTest, AStaleTreeSaveIsRefusedReloadedAndToldWithNothingLost)
{
    Client a(m_uri);
    Client b(m_uri);
    a.ws.run([&](Workspace& ws) {
        AddTreeNode(ws, { NodePlacement::SiblingGroup, QStringLiteral("A组") }, a.node("F1"));
    });
    const QByteArray afterA = admin->readTreeStream();
    ASSERT_TRUE(afterA.contains("A组"));

    // B has not seen A's group yet: its new folder is not made, and B gets A's tree.
    b.ws.run([&](Workspace& ws) {
        AddTreeNode(ws, { NodePlacement::SiblingFolder, QStringLiteral("F3") }, b.node("F2"));
    });
    EXPECT_EQ(b.prompt.popupTexts(PopupKind::Tip), QStringList { kConflictTip });
    EXPECT_TRUE(b.prompt.popupTexts(PopupKind::Success).isEmpty());
    EXPECT_FALSE(admin->TableExists(QStringLiteral("F3")));
    EXPECT_EQ(admin->readTreeStream(), afterA);
    EXPECT_EQ(b.nodes(), a.nodes());

    // Now up to date, B's next try is saved, and A, idle, follows.
    b.prompt.clear();
    b.ws.run([&](Workspace& ws) {
        AddTreeNode(ws, { NodePlacement::SiblingFolder, QStringLiteral("F3") }, b.node("F2"));
    });
    EXPECT_TRUE(admin->TableExists(QStringLiteral("F3")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return a.nodes().contains(QStringLiteral("F3")); }, 20000));
    EXPECT_EQ(a.nodes(), b.nodes());
    EXPECT_TRUE(a.prompt.popupTexts(PopupKind::Tip).isEmpty()) << "following is no conflict";
}

TEST_F(SharedStoreTest, AFolderChangedElsewhereIsReadAgainKeepingTheSelection)
{
    Client a(m_uri);
    Client b(m_uri);
    b.ws.selectNode(b.node("F1"));
    b.ws.run(tree1Click);
    ASSERT_EQ(b.items.rowCount(), 2);
    b.ws.selectRows({ 1 });
    ASSERT_EQ(b.ws.selectedNames(), QStringList { QStringLiteral("dog") });

    a.ws.store()->appendPicture(
        QStringLiteral("F1"), QStringLiteral("bird"), QStringLiteral("/p/bird.png"), "bird");
    a.ws.store()->deletePicture(QStringLiteral("F1"), QStringLiteral("cat"));
    const QStringList expected { QStringLiteral("dog"), QStringLiteral("bird") };
    EXPECT_TRUE(QTest::qWaitFor([&] { return b.captions() == expected; }, 20000))
        << "B never read F1 again";
    EXPECT_EQ(b.ws.openFolder(), QStringLiteral("F1"));
    EXPECT_EQ(b.ws.selectedNames(), QStringList { QStringLiteral("dog") });
}

TEST_F(SharedStoreTest, ADroppedConnectionFailsOneCommandAndTheNextReconnects)
{
    Client a(uriNamed(QStringLiteral("zarvo_dropped")));
    a.ws.selectNode(a.node("F2"));
    // The server drops A's connection while the question is open.
    a.prompt.whileAsking = [&] {
        EXPECT_EQ(admin->exec(QStringLiteral("SELECT pg_terminate_backend(pid, 20000) FROM "
                                             "pg_stat_activity WHERE application_name=$1"),
                      { QStringLiteral("zarvo_dropped") }),
            QStringList { QStringLiteral("t") });
    };
    a.prompt.answer(true);
    a.ws.run(btn_delfolderClick);
    EXPECT_EQ(a.prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件夹删除时发生错误，没有能成功删除") });
    EXPECT_TRUE(admin->TableExists(QStringLiteral("F2")));
    EXPECT_EQ(admin->readTreeStream(), QByteArray("F1\r\nF2\r\n"));
    EXPECT_EQ(a.nodes(), (QStringList { QStringLiteral("F1"), QStringLiteral("F2") }));

    a.prompt.whileAsking = nullptr;
    a.prompt.clear();
    a.ws.selectNode(a.node("F2"));
    a.prompt.answer(true);
    a.ws.run(btn_delfolderClick);
    EXPECT_TRUE(a.prompt.popupTexts(PopupKind::Warning).isEmpty());
    EXPECT_FALSE(admin->TableExists(QStringLiteral("F2")));
    EXPECT_EQ(admin->readTreeStream(), QByteArray("F1\r\n"));

    // The new connection listens again: a change made elsewhere still reaches A.
    admin->writeTreeStream("F1\r\nF9\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return a.nodes().contains(QStringLiteral("F9")); }, 20000));
}

// The cache is looked up by the server's fingerprints: a picture found there is neither read nor
// decoded, one decoded is found there the next time, and forgetting a picture removes its entry.
TEST_F(SharedStoreTest, ACachedOpeningReadsOnlyThePicturesTheCacheLacks)
{
    const QStringList names { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
        QStringLiteral("d"), QStringLiteral("e") };
    const QString folder = QStringLiteral("P");
    ASSERT_TRUE(admin->CreateFolderTable(folder));
    for (int i = 0; i < names.size(); ++i)
        admin->appendPicture(folder, names[i], QStringLiteral("/p/%1.png").arg(names[i]),
            testpictures::encodePng(
                testpictures::photoLike(16, 12, quint32(i + 1)), testpictures::PngKind::Rgb8));
    admin->writeTreeStream("F1\r\nF2\r\nP\r\n");
    ASSERT_TRUE(admin->buildFingerprints());

    Client a(m_uri);
    QTemporaryDir dir;
    const auto cache
        = std::make_shared<ThumbnailCache>(dir.filePath(QStringLiteral("thumbnails.sqlite")));
    std::atomic<int> decodes { 0 };
    a.ws.setThumbnailPipeline(std::make_unique<ThumbnailPipeline>(
        [&](const ThumbnailJob& job) {
            ++decodes;
            return Thumbnailer().makeThumbnail(job.format, job.bytes);
        },
        2, cache));
    a.ws.selectNode(a.node("P"));
    a.ws.run(tree1Click);
    ASSERT_EQ(decodes.load(), 5);
    QList<QImage> first;
    for (int item = 0; item < names.size(); ++item)
        first.append(a.items.thumbnail(item));
    cache->flush();
    ASSERT_EQ(cache->entryCount(), 5);
    a.ws.forgetThumbnails(folder, { QStringLiteral("E") });
    EXPECT_EQ(cache->entryCount(), 4);

    // Every picture's bytes change behind the fingerprints' back (they follow added and deleted
    // rows only), and d loses its fingerprint: what is read now fails to decode.
    admin->exec(QStringLiteral("UPDATE \"P\" SET \"Blob\"='\\x0badf00d'::bytea"));
    admin->exec(QStringLiteral("DELETE FROM %1 WHERE \"Row\"=(SELECT \"Row\" FROM \"P\" WHERE "
                               "\"Name\"='d')")
                    .arg(Store::quoted(Store::kFingerprintTable)));
    decodes = 0;
    a.prompt.clear();
    a.ws.reloadFolder();
    EXPECT_EQ(decodes.load(), 2);
    EXPECT_EQ(a.prompt.popupTexts(PopupKind::Warning),
        (QStringList { QStringLiteral("文件：/p/d.png 在读取时发生错误！"),
            QStringLiteral("文件：/p/e.png 在读取时发生错误！") }));
    for (int item = 0; item < 3; ++item)
        EXPECT_EQ(a.items.thumbnail(item), first[item]) << item;
}
