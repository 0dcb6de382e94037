// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/findsession.h"
#include "store/foldertree.h"
#include "support/workspacefixture.h"

#include <QSignalSpy>

using namespace zarvo;
using namespace zarvo::test;

namespace {

const QString G = QString(FolderTree::kGroupMarker);

class FindSessionTest : public BothEngines
{
protected:
    // Tables made with the given picture names, in this order; only those in `withNode` get a node.
    void makeTables(
        const QList<std::pair<QString, QStringList>>& tables, const QStringList& withNode)
    {
        Store& store = this->store();
        for (const auto& [table, names] : tables) {
            ASSERT_TRUE(store.CreateFolderTable(table));
            for (const QString& name : names)
                store.appendPicture(table, name,
                    QStringLiteral("/p/") + name + QStringLiteral(".jpg"), QByteArray("x"));
        }
        store.createTreeTable();
        store.writeTreeStream(
            (withNode.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    }
    static QString line(const QString& table, const QString& name)
    {
        return QStringLiteral("文件夹: ") + table + QStringLiteral("  -> 文件名:") + name;
    }
    static QString text(const QModelIndex& node) { return node.data(Qt::EditRole).toString(); }
};

} // namespace

ZARVO_ON_BOTH_ENGINES(FindSessionTest);

TEST_P(FindSessionTest, FileSearchListsEveryTableInOrderFoldingOnlyAToZ)
{
    makeTables({ { QStringLiteral("猫"),
                     { QStringLiteral("JPcat"), QStringLiteral("dog"), QStringLiteral("小jP") } },
                   { QStringLiteral("nodeless"), { QStringLiteral("ajp") } },
                   { QStringLiteral("wide"), { QStringLiteral("ＪＰ"), QStringLiteral("j_p") } } },
        { QStringLiteral("猫"), QStringLiteral("wide") });
    start();
    FindSession session(*ws, SearchKind::Files);
    EXPECT_EQ(session.tables(),
        (QStringList { QStringLiteral("猫"), QStringLiteral("nodeless"), QStringLiteral("wide"),
            QStringLiteral("blob") }));
    session.search(QStringLiteral("jp"));
    EXPECT_EQ(session.results(),
        (QStringList { line(QStringLiteral("猫"), QStringLiteral("JPcat")),
            line(QStringLiteral("猫"), QStringLiteral("小jP")),
            line(QStringLiteral("nodeless"), QStringLiteral("ajp")) }));
    EXPECT_TRUE(prompt.popups.isEmpty());

    session.setKind(SearchKind::Nodes);
    session.setKind(SearchKind::Files);
    session.search(QStringLiteral("zebra"));
    EXPECT_TRUE(session.results().isEmpty()) << "the list is emptied first";
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Warning), QStringList { QStringLiteral("文件没有找到") });
    EXPECT_EQ(session.pane(), SearchKind::Files);
    EXPECT_EQ(ws->tree().nodeCount(), 2) << "a search changes nothing outside the window";
}

TEST_P(FindSessionTest, SearchTextIsCheckedBeforeAnythingIsSearched)
{
    makeTables({ { QStringLiteral("f"), { QStringLiteral("a b") } } }, { QStringLiteral("f") });
    start();
    struct Case
    {
        QString text;
        PopupKind kind;
        QString popup;
        bool focusEdit;
    };
    const Case cases[] = {
        { G + QStringLiteral(" a"), PopupKind::Warning,
            QStringLiteral("在你的名称中不能存在ASCII码1"), false },
        { QStringLiteral("a b"), PopupKind::Warning, QStringLiteral("在你的名称中不能存在空格字符"),
            false },
        { QString(), PopupKind::Tip, QStringLiteral("请输入要查找的名称"), true },
    };
    for (SearchKind kind : { SearchKind::Files, SearchKind::Nodes }) {
        FindSession session(*ws, kind);
        for (const Case& c : cases) {
            prompt.clear();
            QSignalSpy focus(&session, &FindSession::editFocusRequested);
            session.search(c.text);
            EXPECT_EQ(prompt.popups, (QList<RecordingPrompt::Popup> { { c.kind, c.popup } }))
                << c.text.toStdString();
            EXPECT_EQ(focus.size(), c.focusEdit ? 1 : 0);
            EXPECT_TRUE(session.results().isEmpty());
            EXPECT_TRUE(session.treeSelection().selectedIndexes().isEmpty());
        }
    }
}

TEST_P(FindSessionTest, NodeSearchWalksThroughTheMatchesAndStartsOverAtTheTop)
{
    makeTables(
        { { QStringLiteral("Xa"), {} }, { QStringLiteral("bx"), {} }, { QStringLiteral("c"), {} } },
        { G + QStringLiteral("gx"), QStringLiteral("\tXa"),
            QStringLiteral("\t") + G + QStringLiteral("h"), QStringLiteral("\t\tbx"),
            QStringLiteral("c") });
    start();
    FindSession session(*ws, SearchKind::Nodes);
    FolderTree& copy = session.treeCopy();
    ASSERT_EQ(copy.nodeCount(), 5);
    EXPECT_EQ(FolderTree::imageIndex(copy.item(0)), FolderTree::kGroupImage);
    EXPECT_EQ(FolderTree::imageIndex(copy.item(1)), FolderTree::kFolderImage);
    EXPECT_TRUE(session.treeSelection().selectedIndexes().isEmpty()) << "no start node at first";

    session.search(QStringLiteral("x"));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        QStringList { QStringLiteral("请先选择一个查找的启始点") });

    QSignalSpy found(&session, &FindSession::nodeFound);
    session.treeSelection().select(copy.index(0, 0), QItemSelectionModel::ClearAndSelect);
    QStringList walk;
    for (int press = 0; press < 5; ++press) {
        prompt.clear();
        session.search(QStringLiteral("X"));
        const QModelIndexList selected = session.treeSelection().selectedIndexes();
        ASSERT_EQ(selected.size(), 1);
        walk.append(text(selected.first())
            + (prompt.popups.isEmpty() ? QString() : QStringLiteral(" (tip)")));
    }
    // The start node is not examined; the press after "not found" examines the first node too.
    EXPECT_EQ(walk,
        (QStringList { QStringLiteral("Xa"), QStringLiteral("bx"), QStringLiteral("c (tip)"),
            G + QStringLiteral("gx"), QStringLiteral("Xa") }));
    ASSERT_EQ(found.size(), 4);
    EXPECT_EQ(text(found.at(1).at(0).toModelIndex().parent()), G + QStringLiteral("h"));
    EXPECT_EQ(session.pane(), SearchKind::Nodes);
    prompt.clear();
    session.treeSelection().select(copy.index(1, 0), QItemSelectionModel::ClearAndSelect);
    session.search(QStringLiteral("zz")); // from the last node: the whole tree, from the top
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        QStringList { QStringLiteral("文件夹/树结构 zz 没有找到") });
    EXPECT_EQ(text(session.treeSelection().selectedIndexes().first()), QStringLiteral("c"));
}

TEST_P(FindSessionTest, SingleNodeIsExaminedFromItself)
{
    makeTables({ { QStringLiteral("only"), {} } }, { QStringLiteral("only") });
    start();
    FindSession session(*ws, SearchKind::Nodes);
    session.treeSelection().select(
        session.treeCopy().index(0, 0), QItemSelectionModel::ClearAndSelect);
    QSignalSpy found(&session, &FindSession::nodeFound);
    session.search(QStringLiteral("NL"));
    EXPECT_EQ(found.size(), 1);
    EXPECT_TRUE(prompt.popups.isEmpty());
}
