// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// Two programs on one server store, each a workspace of its own: what one changes the other
// follows, a tree saved on a stale copy is refused with nothing lost, and a connection the
// server drops fails one command and comes back with the next. A folder opening with a thumbnail
// cache reads only the pictures the cache lacks.
#include "folders/addnode.h"
#include "folders/deletenode.h"
#include "folders/movenode.h"
#include "folders/opennode.h"
#include "folders/renamenode.h"
#include "imaging/thumbnailer.h"
#include "pictures/addcommand.h"
#include "pictures/exportfolder.h"
#include "pictures/pictureclipboard.h"
#include "pictures/renamedelete.h"
#include "store/foldertree.h"
#include "store/pgstore.h"
#include "support/pgtestserver.h"
#include "support/recordingprompt.h"
#include "support/testpictures.h"
#include "view/thumbnailcache.h"
#include "view/thumbnailmodel.h"
#include "view/thumbnailpipeline.h"
#include "view/workspace.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

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

// A user who may only read the store (SELECT on its tables, USAGE on its schema): the window
// starts without a word (its fingerprint table cannot be made, and LISTEN needs no right),
// browsing and export work, and every write command ends with its failure warning, nothing
// changed on the server.
TEST_F(SharedStoreTest, AReadOnlyUserBrowsesAndExportsAndEveryWriteEndsWithItsWarning)
{
    const auto png = [](quint32 seed) {
        return testpictures::encodePng(
            testpictures::photoLike(16, 12, seed), testpictures::PngKind::Rgb8);
    };
    for (const char* name : { "cat", "dog" })
        admin->exec(QStringLiteral("UPDATE \"F1\" SET \"Blob\"=decode($1, 'hex') WHERE "
                                   "\"Name\"=$2"),
            { QString::fromLatin1(png(quint32(name[0])).toHex()), QLatin1String(name) });
    admin->exec(QStringLiteral("DO $$BEGIN CREATE ROLE zarvo_reader LOGIN; EXCEPTION WHEN "
                               "duplicate_object THEN NULL; END$$"));
    const QString schema = Store::quoted(admin->schema());
    admin->exec(QStringLiteral("GRANT USAGE ON SCHEMA %1 TO zarvo_reader").arg(schema));
    admin->exec(
        QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA %1 TO zarvo_reader").arg(schema));
    QString readerUri = m_uri;
    readerUri.replace(
        QLatin1String("postgresql://zarvo@"), QLatin1String("postgresql://zarvo_reader@"));
    ASSERT_NE(readerUri, m_uri);

    QTemporaryDir dir;
    const QString newFile = dir.filePath(QStringLiteral("new.png"));
    {
        QFile file(newFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(png(9));
    }
    const QByteArray tree = admin->readTreeStream();
    const QStringList tables = admin->tableNames();
    const auto open = [](Client& c, const char* folder) {
        c.ws.selectNode(c.node(folder));
        c.ws.run(tree1Click);
    };
    {
        // The window's start, a folder opened, exported.
        Client reader(readerUri);
        EXPECT_FALSE(reader.ws.ensureFingerprints(true));
        open(reader, "F1");
        EXPECT_EQ(
            reader.captions(), (QStringList { QStringLiteral("cat"), QStringLiteral("dog") }));
        const QString exported = dir.filePath(QStringLiteral("out"));
        ASSERT_TRUE(QDir().mkpath(exported));
        reader.prompt.answerDirectory(exported);
        reader.ws.run(menu_importallClick);
        EXPECT_EQ(reader.prompt.popupTexts(PopupKind::Warning), QStringList());
        EXPECT_EQ(reader.prompt.popupTexts(PopupKind::Success),
            QStringList { QStringLiteral("导出成功，请检查文件是否已经正确保存") });
        EXPECT_EQ(QDir(exported).count() - 2, 2u);
    }

    const struct
    {
        const char* command;
        std::function<void(Client&)> run;
        QStringList warnings;
    } cases[] = {
        { "add pictures",
            [&](Client& c) {
                open(c, "F1");
                c.prompt.answerFiles({ newFile });
                c.ws.run(btn_addfileClick);
            },
            { QStringLiteral("文件 %1 添加失败").arg(newFile) } },
        { "rename",
            [&](Client& c) {
                open(c, "F1");
                c.ws.selectRows({ 0 });
                c.prompt.answerNewName(QStringLiteral("lion"));
                c.ws.run(btn_editfileClick);
            },
            { QStringLiteral("文件夹 F1 在对文件 cat 修改名称时发生错误") } },
        { "delete",
            [&](Client& c) {
                open(c, "F1");
                c.ws.selectRows({ 0 });
                c.prompt.answer(true);
                c.ws.run(btn_delfileClick);
            },
            { QStringLiteral("文件: cat 在删除过程中产生错误，删除不成功") } },
        { "paste",
            [&](Client& c) {
                open(c, "F1");
                c.ws.selectRows({ 0 });
                c.ws.run(pop_copyClick);
                open(c, "F2");
                c.ws.run(pop_pasteClick);
            },
            { QStringLiteral("文件 cat 在粘贴时发生错误") } },
        { "add folder",
            [&](Client& c) {
                c.ws.selectNode(c.node("F2"));
                c.prompt.answerNewNode(NodePlacement::SiblingFolder, QStringLiteral("F3"));
                c.ws.run(btn_addfolderClick);
            },
            // The command saves the tree whatever became of the folder.
            { Store::createFailedText(QStringLiteral("F3")), QStringLiteral("树结构保存失败！") } },
        { "rename folder",
            [&](Client& c) {
                c.ws.selectNode(c.node("F2"));
                c.prompt.answerNewName(QStringLiteral("F4"));
                c.ws.run(btn_editfolderClick);
            },
            { QStringLiteral("文件夹 F4 在修改过程中发生错误") } },
        { "delete folder",
            [&](Client& c) {
                c.ws.selectNode(c.node("F2"));
                c.prompt.answer(true);
                c.ws.run(btn_delfolderClick);
            },
            { QStringLiteral("文件夹删除时发生错误，没有能成功删除") } },
        { "move folder",
            [&](Client& c) {
                c.ws.selectNode(c.node("F2"));
                c.ws.run([&](Workspace& ws) { tree1DragDrop(ws, c.node("F1"), QModelIndex()); });
            },
            { QStringLiteral("树结构保存失败！") } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        Client reader(readerUri);
        c.run(reader);
        EXPECT_EQ(reader.prompt.popupTexts(PopupKind::Warning), c.warnings);
        EXPECT_TRUE(reader.prompt.popupTexts(PopupKind::Success).isEmpty());
        EXPECT_EQ(admin->readTreeStream(), tree);
        EXPECT_EQ(admin->tableNames(), tables);
        EXPECT_EQ(admin->pictureNames(QStringLiteral("F1")),
            (QStringList { QStringLiteral("cat"), QStringLiteral("dog") }));
        EXPECT_TRUE(admin->pictureNames(QStringLiteral("F2")).isEmpty());
    }
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
    // d and e decode at once on the two workers: either may fail first.
    QStringList warnings = a.prompt.popupTexts(PopupKind::Warning);
    warnings.sort();
    EXPECT_EQ(warnings,
        (QStringList { QStringLiteral("文件：/p/d.png 在读取时发生错误！"),
            QStringLiteral("文件：/p/e.png 在读取时发生错误！") }));
    for (int item = 0; item < 3; ++item)
        EXPECT_EQ(a.items.thumbnail(item), first[item]) << item;
}
