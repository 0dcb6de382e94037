// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/namebox.h"
#include "dialogs/tad.h"
#include "folders/addnode.h"
#include "store/foldertree.h"
#include "store/treeblob.h"
#include "store/treestream.h"
#include "support/formfixture.h"
#include "view/thumbnailmodel.h"

#include <QItemSelectionModel>
#include <QRadioButton>
#include <QTreeView>

using namespace zarvo;
using namespace zarvo::test;

namespace {

const QString G = QString(FolderTree::kGroupMarker);

class AddNodeTest : public FormFixture {
protected:
    // The tree in the store as "level:text" lines, group marker shown as '+'.
    QStringList savedTree()
    {
        FolderTree saved;
        OpenBlob(*form->store(), saved, prompt);
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
    QStandardItem* node(const QString& text) const
    {
        QStandardItem* found = nullptr;
        form->tree().forEachNode([&](QStandardItem* n) {
            if (!found && FolderTree::nodeText(n) == text)
                found = n;
        });
        return found;
    }
    // Starts on the tree "+A { F1 }", "F2".
    void startWithTree()
    {
        Store& store = box.store();
        ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("F1"), prompt));
        ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("F2"), prompt));
        store.createTreeTable();
        store.writeTreeStream((G + QStringLiteral("A\r\n\tF1\r\nF2\r\n")).toUtf8());
        start();
    }
};

} // namespace

TEST_F(AddNodeTest, EmptyTreeGetsItsFirstGroupNodeWithoutTouchingTheView)
{
    start();
    AddTreeNode(*form, QStringLiteral("相册"), Tad::SiblingGroup, nullptr);
    EXPECT_EQ(savedTree(), QStringList{QStringLiteral("0:+相册")});
    EXPECT_TRUE(FolderTree::isGroup(form->tree().item(0)));
    EXPECT_FALSE(form->isFolderOpen());
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST_F(AddNodeTest, SiblingsGoBeforeTheSelectedNodeChildrenLast)
{
    startWithTree();
    AddTreeNode(*form, QStringLiteral("B"), Tad::SiblingGroup, node(G + QStringLiteral("A")));
    AddTreeNode(*form, QStringLiteral("C"), Tad::ChildGroup, node(G + QStringLiteral("A")));
    EXPECT_TRUE(form->tree1()->isExpanded(node(G + QStringLiteral("A"))->index()));
    AddTreeNode(*form, QStringLiteral("F3"), Tad::SiblingFolder, node(QStringLiteral("F2")));
    AddTreeNode(*form, QStringLiteral("F4"), Tad::ChildFolder, node(G + QStringLiteral("B")));
    AddTreeNode(*form, QStringLiteral("A"), Tad::SiblingGroup, node(G + QStringLiteral("A"))); // names may repeat
    EXPECT_EQ(savedTree(), (QStringList{QStringLiteral("0:+B"), QStringLiteral("1:F4"), QStringLiteral("0:+A"),
                                        QStringLiteral("0:+A"), QStringLiteral("1:F1"), QStringLiteral("1:+C"),
                                        QStringLiteral("0:F3"), QStringLiteral("0:F2")}));
    EXPECT_TRUE(form->store()->TableExists(QStringLiteral("F3")));
    EXPECT_TRUE(form->store()->TableExists(QStringLiteral("F4")));
}

TEST_F(AddNodeTest, NewFolderIsAnnouncedSelectedAndOpened)
{
    startWithTree();
    clickNode(QStringLiteral("F2"));
    AddTreeNode(*form, QStringLiteral("新的"), Tad::ChildFolder, node(G + QStringLiteral("A")));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Success), QStringList{QStringLiteral("文件夹 新的 创建成功!")});
    EXPECT_EQ(form->openFolder(), QStringLiteral("新的"));
    EXPECT_EQ(form->items().rowCount(), 0);
    const QModelIndexList selected = form->tree1()->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first(), node(QStringLiteral("新的"))->index());
}

TEST_F(AddNodeTest, ExistingTableNamesAreRefusedInAnyCase)
{
    startWithTree();
    form->store()->CreateFolderTable(QStringLiteral("ABC"), prompt);
    const QStringList before = savedTree();
    for (const QString& name : {QStringLiteral("abc"), QStringLiteral("blob"), QStringLiteral("BLOB"), QStringLiteral("f1")})
        AddTreeNode(*form, name, Tad::SiblingFolder, node(QStringLiteral("F2")));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning), QStringList(4, QStringLiteral("该文件夹已经存在，请更改")));
    EXPECT_EQ(savedTree(), before);
}

TEST_F(AddNodeTest, FolderWhoseTableCannotBeMadeIsTakenOutAndCancelStillSaves)
{
    startWithTree();
    form->tree().appendNode(nullptr, QStringLiteral("unsaved"));
    AddTreeNode(*form, QStringLiteral("sqlite_x"), Tad::SiblingFolder, node(QStringLiteral("F2")));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning), QStringList{QStringLiteral("文件夹 sqlite_x 创建失败")});
    EXPECT_EQ(node(QStringLiteral("sqlite_x")), nullptr);
    EXPECT_EQ(savedTree().last(), QStringLiteral("0:unsaved")) << "the tree is saved all the same";

    form->tree().appendNode(nullptr, QStringLiteral("also"));
    AddTreeNode(*form, QStringLiteral("x"), Tad::Cancel, node(QStringLiteral("F2")));
    EXPECT_EQ(savedTree().last(), QStringLiteral("0:also")) << "Cancel saves the tree too";
}

TEST_F(AddNodeTest, CommandAsksForASelectionAndOffersWhatTheSelectionAllows)
{
    startWithTree();
    form->tree1()->selectionModel()->clearSelection();
    btn_addfolderClick(*form);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip), QStringList{QStringLiteral("请选择一个树或文件夹")});

    selectNode(QStringLiteral("F2"));
    bool offered = false;
    whenModal<Tad>([&](Tad& tad) {
        offered = true;
        EXPECT_FALSE(tad.findChild<QRadioButton*>(QStringLiteral("radio1"))->isEnabled());
        EXPECT_TRUE(tad.findChild<QRadioButton*>(QStringLiteral("radio3"))->isChecked());
        tad.findChild<NameBox*>(QStringLiteral("Edit1"))->setText(QStringLiteral("F0"));
        tad.SpeedButton1Click();
    });
    btn_addfolderClick(*form);
    EXPECT_TRUE(offered);
    EXPECT_EQ(savedTree(), (QStringList{QStringLiteral("0:+A"), QStringLiteral("1:F1"), QStringLiteral("0:F0"),
                                        QStringLiteral("0:F2")}));
    EXPECT_EQ(form->openFolder(), QStringLiteral("F0"));
}
