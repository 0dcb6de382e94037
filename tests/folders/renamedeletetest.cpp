// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/deletenode.h"
#include "folders/renamenode.h"
#include "store/foldertree.h"
#include "store/treeblob.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"

using namespace zarvo;
using namespace zarvo::test;
using namespace zarvo::testpictures;

namespace {

const QString G = QString(FolderTree::kGroupMarker);

class FolderCommandsTest : public BothEngines
{
protected:
    // The tree the store holds, as "level:text" lines, the group marker shown as '+'.
    QStringList savedTree()
    {
        FolderTree saved;
        EXPECT_TRUE(OpenBlob(*ws->store(), saved, prompt));
        QStringList lines;
        saved.forEachNode([&](QStandardItem* node) {
            QString text = FolderTree::nodeText(node);
            if (FolderTree::isGroup(node))
                text.replace(0, 1, QLatin1Char('+'));
            lines.append(QString::number(FolderTree::level(node)) + QLatin1Char(':') + text);
        });
        return lines;
    }
    // Folder tables `folders` (F1 with two pictures, the others empty) under the tree `stream`.
    void startWith(const QStringList& folders, const QString& stream)
    {
        Store& store = this->store();
        for (const QString& name : folders)
            ASSERT_TRUE(store.CreateFolderTable(name));
        if (folders.contains(QStringLiteral("F1"))) {
            store.appendPicture(
                QStringLiteral("F1"), QStringLiteral("cat"), QStringLiteral("/p/cat.png"), png(1));
            store.appendPicture(
                QStringLiteral("F1"), QStringLiteral("dog"), QStringLiteral("/p/dog.png"), png(2));
        }
        store.createTreeTable();
        store.writeTreeStream(stream.toUtf8());
        start();
    }
    static QByteArray png(quint32 seed)
    {
        return encodePng(photoLike(16, 12, seed), PngKind::Rgb8);
    }
    bool exists(const char* table) { return ws->store()->TableExists(QLatin1String(table)); }
    void rename(const QString& display, const QString& to)
    {
        selectNode(display);
        prompt.answerNewName(to);
        btn_editfolderClick(*ws);
    }
};

} // namespace

ZARVO_ON_BOTH_ENGINES(FolderCommandsTest);

TEST_P(FolderCommandsTest, RenamingAGroupKeepsItAGroup)
{
    startWith({ QStringLiteral("F1") },
        G + QStringLiteral("A\r\n\tF1\r\n") + G + QStringLiteral("B\r\n"));
    rename(QStringLiteral("A"), QStringLiteral("b")); // group names may repeat, in any case
    EXPECT_EQ(prompt.renamed, QStringList { QStringLiteral("A") })
        << "the dialog shows the name without the marker";
    EXPECT_EQ(prompt.popups,
        (QList<RecordingPrompt::Popup> {
            { PopupKind::Success, QStringLiteral("树结构 A 成功改名为 b") } }));
    EXPECT_EQ(savedTree(),
        (QStringList { QStringLiteral("0:+b"), QStringLiteral("1:F1"), QStringLiteral("0:+B") }));

    prompt.clear();
    ws->tree().clear();
    ws->selectNode(QModelIndex());
    btn_editfolderClick(*ws);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        QStringList { QStringLiteral("请先选择要改名的文件夹或树结构") });
}

TEST_P(FolderCommandsTest, RenamingAFolderMovesItsTableAndOpensIt)
{
    startWith(
        { QStringLiteral("F1"), QStringLiteral("F2") }, G + QStringLiteral("A\r\n\tF1\r\nF2\r\n"));
    clickNode(QStringLiteral("F2"));
    const QList<PictureRow> before = ws->store()->pictureRows(QStringLiteral("F1"));
    const QByteArray catBytes = ws->store()->readBlob(QStringLiteral("F1"), before.at(0).rowid);

    rename(QStringLiteral("F1"), QStringLiteral("照片"));
    EXPECT_EQ(prompt.popups,
        (QList<RecordingPrompt::Popup> {
            { PopupKind::Success, QStringLiteral("文件夹 F1 成功改名为 照片") } }));
    EXPECT_FALSE(exists("F1"));
    const QList<PictureRow> after = ws->store()->pictureRows(QStringLiteral("照片"));
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after.at(0).name, QStringLiteral("cat"));
    EXPECT_EQ(after.at(1).come, QStringLiteral("/p/dog.png"));
    EXPECT_EQ(ws->store()->readBlob(QStringLiteral("照片"), after.at(0).rowid), catBytes);
    EXPECT_EQ(savedTree(),
        (QStringList { QStringLiteral("0:+A"), QStringLiteral("1:照片"), QStringLiteral("0:F2") }));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("照片"))
        << "the renamed folder is shown, not the one open before";
    EXPECT_EQ(captions(), (QStringList { QStringLiteral("cat"), QStringLiteral("dog") }));
}

TEST_P(FolderCommandsTest, FolderRenamesThatCannotBeDoneChangeNothing)
{
    startWith({ QStringLiteral("F1"), QStringLiteral("F2") }, QStringLiteral("F1\r\nF2\r\n"));
    clickNode(QStringLiteral("F1"));
    const QString failed = QStringLiteral("文件夹  在修改过程中发生错误");
    struct Case
    {
        QString to;
        QList<RecordingPrompt::Popup> popups;
    };
    const Case cases[] = {
        { QStringLiteral("f1"),
            { { PopupKind::Warning, QStringLiteral("该文件夹名 f1 已经存在，请更改!") } } },
        { QStringLiteral("f2"),
            { { PopupKind::Warning, QStringLiteral("该文件夹名 f2 已经存在，请更改!") } } },
        { QStringLiteral("BLOB"),
            { { PopupKind::Warning, QStringLiteral("该文件夹名 BLOB 已经存在，请更改!") } } },
        { QString(),
            { { PopupKind::Warning, QStringLiteral("文件夹  创建失败") },
                { PopupKind::Warning, failed }, { PopupKind::Warning, failed } } },
    };
    for (const Case& c : cases) {
        prompt.clear();
        rename(QStringLiteral("F1"), c.to);
        EXPECT_EQ(prompt.popups, c.popups) << c.to.toStdString();
        EXPECT_TRUE(exists("F1"));
        EXPECT_EQ(savedTree(), (QStringList { QStringLiteral("0:F1"), QStringLiteral("0:F2") }));
        EXPECT_EQ(ws->openFolder(), QStringLiteral("F1"));
    }
}

TEST_P(FolderCommandsTest, RenameAfterAFailedTreeLoadIsRolledBackWhole)
{
    // The third line is two levels deeper than the one before it: the load stops there.
    startWith({ QStringLiteral("F1"), QStringLiteral("F9") }, QStringLiteral("F1\r\n\t\tF9\r\n"));
    ASSERT_FALSE(ws->isTreeLoaded());
    clickNode(QStringLiteral("F1"));
    prompt.clear();
    rename(QStringLiteral("F1"), QStringLiteral("G1"));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        (QStringList { QStringLiteral("树结构保存失败！"),
            QStringLiteral("文件夹 G1 在修改过程中发生错误") }));
    EXPECT_TRUE(exists("F1"));
    EXPECT_FALSE(exists("G1"));
    EXPECT_EQ(FolderTree::nodeText(ws->tree().item(0)), QStringLiteral("F1"));
    EXPECT_EQ(ws->store()->readTreeStream(), QByteArray("F1\r\n\t\tF9\r\n"))
        << "the stored tree is untouched";
    EXPECT_EQ(ws->openFolder(), QStringLiteral("F1"));
}

TEST_P(FolderCommandsTest, AFolderIsDeletedWithOneQuestionOpenOrNot)
{
    startWith({ QStringLiteral("F1"), QStringLiteral("F2"), QStringLiteral("F3") },
        G + QStringLiteral("A\r\n\tF1\r\nF2\r\nF3\r\n"));
    clickNode(QStringLiteral("F1"));

    selectNode(QStringLiteral("F2"));
    prompt.answer(false);
    btn_delfolderClick(*ws);
    EXPECT_TRUE(exists("F2"));

    prompt.answer(true);
    btn_delfolderClick(*ws);
    EXPECT_FALSE(exists("F2"));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("F1")) << "another folder stays open";

    selectNode(QStringLiteral("F1"));
    prompt.answer(true);
    btn_delfolderClick(*ws);
    EXPECT_EQ(prompt.questions,
        (QStringList { QStringLiteral("真的要删除文件夹: F2 吗?"),
            QStringLiteral("真的要删除文件夹: F2 吗?"),
            QStringLiteral("真的要删除文件夹: F1 吗?") }));
    EXPECT_FALSE(exists("F1"));
    EXPECT_FALSE(ws->isFolderOpen());
    EXPECT_TRUE(captions().isEmpty());
    EXPECT_EQ(savedTree(), (QStringList { QStringLiteral("0:+A"), QStringLiteral("0:F3") }));
    EXPECT_TRUE(prompt.popups.isEmpty()) << "no popup announces a deletion";

    // A node whose table is missing cannot be dropped: it stays, with the warning.
    ws->store()->dropTable(QStringLiteral("F3"));
    selectNode(QStringLiteral("F3"));
    prompt.answer(true);
    btn_delfolderClick(*ws);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件夹删除时发生错误，没有能成功删除") });
    EXPECT_EQ(savedTree(), (QStringList { QStringLiteral("0:+A"), QStringLiteral("0:F3") }));
}

TEST_P(FolderCommandsTest, GroupWalkDropsConfirmedFoldersAndKeepsTheOthersAboveIt)
{
    // F0 is shown above G; the walk meets F1, F2 (inside H), F3, in that order.
    startWith(
        { QStringLiteral("F0"), QStringLiteral("F1"), QStringLiteral("F2"), QStringLiteral("F3") },
        QStringLiteral("F0\r\n") + G + QStringLiteral("G\r\n\tF1\r\n\t") + G
            + QStringLiteral("H\r\n\t\tF2\r\n\tF3\r\n"));
    clickNode(QStringLiteral("F1"));
    selectNode(QStringLiteral("G"));
    for (bool yes : { true, true, false, true })
        prompt.answer(yes);
    QStringList storedWhileAsking;
    prompt.whileAsking = [&] {
        if (prompt.questions.size() == 4)
            storedWhileAsking = savedTree();
    };
    btn_delfolderClick(*ws);
    prompt.whileAsking = nullptr;

    EXPECT_EQ(prompt.questions,
        (QStringList { QStringLiteral("真的要删除这个树结构吗?(其中可能有文件夹在里面)"),
            QStringLiteral("真的要删除文件夹:F1吗?"), QStringLiteral("真的要删除文件夹:F2吗?"),
            QStringLiteral("真的要删除文件夹:F3吗?") }));
    EXPECT_EQ(storedWhileAsking,
        (QStringList { QStringLiteral("0:F0"), QStringLiteral("0:+G"), QStringLiteral("1:+H"),
            QStringLiteral("2:F2"), QStringLiteral("1:F3") }))
        << "the drop of F1 was stored with a tree that no longer names it";
    EXPECT_FALSE(exists("F1"));
    EXPECT_TRUE(exists("F2"));
    EXPECT_FALSE(exists("F3"));
    EXPECT_EQ(savedTree(), (QStringList { QStringLiteral("0:F0"), QStringLiteral("1:F2") }));
    EXPECT_FALSE(ws->isFolderOpen()) << "the open folder was dropped";
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST_P(FolderCommandsTest, KeptFoldersOfTheFirstGroupGoToTheTopLevel)
{
    // The rescue node is the last shown descendant above the group: with B collapsed, B itself.
    startWith({ QStringLiteral("F1"), QStringLiteral("F2"), QStringLiteral("F3") },
        G + QStringLiteral("A\r\n\tF1\r\n") + G + QStringLiteral("B\r\n\tF3\r\n") + G
            + QStringLiteral("C\r\n\tF2\r\n") + G + QStringLiteral("E\r\n"));
    selectNode(QStringLiteral("A"));
    prompt.answer(true);
    prompt.answer(false);
    btn_delfolderClick(*ws);
    EXPECT_EQ(savedTree(),
        (QStringList { QStringLiteral("0:+B"), QStringLiteral("1:F3"), QStringLiteral("0:+C"),
            QStringLiteral("1:F2"), QStringLiteral("0:+E"), QStringLiteral("0:F1") }));

    const QPersistentModelIndex b = node(G + QStringLiteral("B"));
    ws->setExpansionQuery([b](const QModelIndex& n) { return n != b; });
    selectNode(QStringLiteral("C"));
    prompt.answer(true);
    prompt.answer(false);
    btn_delfolderClick(*ws);
    EXPECT_EQ(savedTree(),
        (QStringList { QStringLiteral("0:+B"), QStringLiteral("1:F3"), QStringLiteral("1:F2"),
            QStringLiteral("0:+E"), QStringLiteral("0:F1") }));

    // A group without children goes after the one question; No to it changes nothing.
    selectNode(QStringLiteral("E"));
    prompt.answer(false);
    btn_delfolderClick(*ws);
    selectNode(QStringLiteral("E"));
    prompt.answer(true);
    btn_delfolderClick(*ws);
    EXPECT_EQ(savedTree(),
        (QStringList { QStringLiteral("0:+B"), QStringLiteral("1:F3"), QStringLiteral("1:F2"),
            QStringLiteral("0:F1") }));
    EXPECT_TRUE(exists("F1") && exists("F2") && exists("F3"));
    EXPECT_TRUE(prompt.allAnswersUsed());
}

TEST_P(FolderCommandsTest, NodesUnderADeletedFolderMoveUpToItsPlace)
{
    // Deleting G keeps F1 and F2 under F0, the node shown above G; deleting K keeps F4 under F3.
    // F9 has no table and a child given by hand.
    startWith({ QStringLiteral("F0"), QStringLiteral("F1"), QStringLiteral("F2"),
                  QStringLiteral("F3"), QStringLiteral("F4"), QStringLiteral("F5") },
        QStringLiteral("F0\r\n") + G + QStringLiteral("G\r\n\tF1\r\n\t") + G
            + QStringLiteral("H\r\n\t\tF2\r\nF3\r\n") + G
            + QStringLiteral("K\r\n\tF4\r\nF9\r\n\tF5\r\n"));
    const auto deleteNode = [&](const QString& display, std::initializer_list<bool> answers) {
        selectNode(display);
        for (bool yes : answers)
            prompt.answer(yes);
        btn_delfolderClick(*ws);
    };
    deleteNode(QStringLiteral("G"), { true, false, false });
    deleteNode(QStringLiteral("K"), { true, false });
    ASSERT_EQ(savedTree(),
        (QStringList { QStringLiteral("0:F0"), QStringLiteral("1:F1"), QStringLiteral("1:F2"),
            QStringLiteral("0:F3"), QStringLiteral("1:F4"), QStringLiteral("0:F9"),
            QStringLiteral("1:F5") }));

    // The open folder, then a folder only selected: one question each, their nodes move up.
    clickNode(QStringLiteral("F0"));
    prompt.clear();
    deleteNode(QStringLiteral("F0"), { true });
    clickNode(QStringLiteral("F2"));
    deleteNode(QStringLiteral("F3"), { true });
    // A folder that cannot be dropped keeps its node and what is under it.
    deleteNode(QStringLiteral("F9"), { true });
    EXPECT_EQ(prompt.questions,
        (QStringList { QStringLiteral("真的要删除文件夹: F0 吗?"),
            QStringLiteral("真的要删除文件夹: F3 吗?"),
            QStringLiteral("真的要删除文件夹: F9 吗?") }));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件夹删除时发生错误，没有能成功删除") });
    EXPECT_TRUE(prompt.allAnswersUsed());
    EXPECT_FALSE(exists("F0") || exists("F3"));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("F2"));

    // After a reload every kept folder has its node and opens with its pictures.
    ASSERT_TRUE(ws->loadTree());
    EXPECT_EQ(savedTree(),
        (QStringList { QStringLiteral("0:F1"), QStringLiteral("0:F2"), QStringLiteral("0:F4"),
            QStringLiteral("0:F9"), QStringLiteral("1:F5") }));
    clickNode(QStringLiteral("F1"));
    EXPECT_EQ(captions(), (QStringList { QStringLiteral("cat"), QStringLiteral("dog") }));
    for (const char* kept : { "F1", "F2", "F4", "F5" })
        EXPECT_TRUE(exists(kept) && ws->tree().findFolder(QLatin1String(kept))) << kept;
}
