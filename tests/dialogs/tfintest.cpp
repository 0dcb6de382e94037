// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tfin.h"
#include "folders/findsession.h"
#include "store/foldertree.h"
#include "support/workspacefixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace zarvo;
using namespace zarvo::test;

namespace {

class TfinTest : public WorkspaceFixture
{
protected:
    // "+g { cat }", "dog": folders with one picture each, named after them.
    void startStore()
    {
        Store& store = box.store();
        for (const char* folder : { "cat", "dog" }) {
            ASSERT_TRUE(store.CreateFolderTable(QLatin1String(folder)));
            store.appendPicture(QLatin1String(folder), QLatin1String(folder) + QStringLiteral("1"),
                QStringLiteral("/p/x.jpg"), QByteArray("x"));
        }
        store.createTreeTable();
        store.writeTreeStream("\x01g\r\n\tcat\r\ndog\r\n");
        start();
    }
};

} // namespace

TEST_F(TfinTest, WindowHasItsControlsAndShowsOnePaneForTheKind)
{
    startStore();
    FindSession session(*ws, SearchKind::Files);
    Tfin tfin(session);
    tfin.show();
    EXPECT_EQ(tfin.objectName(), QStringLiteral("Tfin"));
    EXPECT_EQ(tfin.windowTitle(), QStringLiteral("查询"));
    EXPECT_EQ(tfin.size(), QSize(759, 261));
    EXPECT_EQ(tfin.focusWidget(), tfin.Edit1()) << "the name box has the focus when shown";
    auto* group = tfin.findChild<QGroupBox*>(QStringLiteral("RadioGroup1"));
    ASSERT_NE(group, nullptr);
    const QList<QAbstractButton*> kinds = group->findChildren<QAbstractButton*>();
    ASSERT_EQ(kinds.size(), 2);
    EXPECT_EQ(kinds[0]->text(), QStringLiteral("文件(&F)"));
    EXPECT_EQ(kinds[1]->text(), QStringLiteral("文件夹(&O)/树结构(&T)"));
    EXPECT_TRUE(kinds[0]->isChecked());
    auto* tables = tfin.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    ASSERT_NE(tables, nullptr);
    EXPECT_FALSE(tables->isVisible());
    EXPECT_EQ(tables->count(), 3);
    EXPECT_EQ(tfin.SpeedButton1()->text(), QStringLiteral("查找(&S)"));
    EXPECT_TRUE(tfin.ListBox1()->isVisible());
    EXPECT_FALSE(tfin.TreeView1()->isVisible());
    EXPECT_EQ(tfin.ListBox1()->geometry(), tfin.TreeView1()->geometry());

    QTest::keyClicks(tfin.Edit1(), QStringLiteral("1"));
    QTest::keyClick(tfin.Edit1(), Qt::Key_Return);
    ASSERT_EQ(tfin.ListBox1()->count(), 2);
    EXPECT_EQ(tfin.ListBox1()->item(1)->text(), QStringLiteral("文件夹: dog  -> 文件名:dog1"));

    kinds[1]->click();
    EXPECT_FALSE(tfin.ListBox1()->isVisible());
    EXPECT_TRUE(tfin.TreeView1()->isVisible());
    kinds[0]->click();
    EXPECT_TRUE(tfin.ListBox1()->isVisible());
}

TEST_F(TfinTest, FoundNodeIsSelectedAndShownInTheCollapsedTreeCopy)
{
    startStore();
    FindSession session(*ws, SearchKind::Nodes);
    Tfin tfin(session);
    tfin.show();
    QTreeView* copy = tfin.TreeView1();
    EXPECT_TRUE(copy->isVisible());
    EXPECT_FALSE(copy->isExpanded(copy->model()->index(0, 0))) << "the copy starts collapsed";
    copy->setFocus(); // sets a current node, which is no start node
    tfin.Edit1()->setText(QStringLiteral("CAT"));
    tfin.SpeedButton1()->click();
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        QStringList { QStringLiteral("请先选择一个查找的启始点") });

    copy->selectionModel()->select(copy->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
    tfin.SpeedButton1()->click();
    const QModelIndexList selected = copy->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().data().toString(), QStringLiteral("cat"));
    EXPECT_TRUE(copy->isExpanded(selected.first().parent()));
    EXPECT_EQ(tfin.focusWidget(), copy);
    QTest::mouseDClick(
        copy->viewport(), Qt::LeftButton, {}, copy->visualRect(selected.first()).center());
    EXPECT_FALSE(ws->isFolderOpen()) << "results change nothing in the main window";
}
