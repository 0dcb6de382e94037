// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "dialogs/tdups.h"
#include "pictures/duplicates.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"

#include <QPushButton>
#include <QTreeWidget>

namespace zarvo::test {
namespace {

using namespace zarvo::testpictures;

class TdupsTest : public WorkspaceFixture
{
};

// The window lists the sets, opens a folder at a picture, and deletes the selected copies after
// the delete question.
TEST_F(TdupsTest, OpensAtAPictureAndDeletesSelectedCopies)
{
    const QByteArray big = encodePng(photoLike(40, 30, 7), PngKind::Rgb8);
    const QByteArray small = encodePng(photoLike(8, 8, 3), PngKind::Rgb8);
    const QByteArray single = encodePng(photoLike(9, 9, 4), PngKind::Rgb8);
    makeFolder(QStringLiteral("a"),
        { { QStringLiteral("/s1.png"), small }, { QStringLiteral("/b1.png"), big } });
    makeFolder(QStringLiteral("b"),
        { { QStringLiteral("/x.png"), single }, { QStringLiteral("/s2.png"), small },
            { QStringLiteral("/b2.png"), big }, { QStringLiteral("/b3.png"), big } });
    start();
    ASSERT_TRUE(ws->ensureFingerprints());
    DuplicateSession session(*ws);
    {
        Tdups window(session);
        QTreeWidget* list = window.List1();
        ASSERT_EQ(list->topLevelItemCount(), 2);
        QTreeWidgetItem* bigSet = list->topLevelItem(0); // the larger pictures first
        ASSERT_EQ(bigSet->childCount(), 3);
        EXPECT_EQ(bigSet->child(0)->text(0), QStringLiteral("a"));
        EXPECT_EQ(bigSet->child(0)->text(1), QStringLiteral("b1"));
        EXPECT_EQ(list->topLevelItem(1)->childCount(), 2);
        EXPECT_FALSE(window.deleteButton()->isEnabled());
        list->setCurrentItem(bigSet->child(2));
        ASSERT_TRUE(window.openButton()->isEnabled());
        window.openButton()->click();
        EXPECT_EQ(ws->openFolder(), QStringLiteral("b"));
        EXPECT_EQ(ws->selectedNames(), QStringList { QStringLiteral("b3") });
    }
    Tdups window(session);
    QTreeWidget* list = window.List1();
    list->topLevelItem(0)->child(1)->setSelected(true);
    list->topLevelItem(0)->child(2)->setSelected(true);
    prompt.answer(false); // the question, answered No: nothing goes
    window.deleteButton()->click();
    EXPECT_EQ(rowNames(QStringLiteral("b")).size(), 4);
    list->topLevelItem(0)->child(1)->setSelected(true);
    list->topLevelItem(0)->child(2)->setSelected(true);
    prompt.answer(true);
    window.deleteButton()->click();
    EXPECT_EQ(prompt.questions.size(), 2);
    EXPECT_EQ(
        rowNames(QStringLiteral("b")), (QStringList { QStringLiteral("x"), QStringLiteral("s2") }));
    EXPECT_EQ(captions(), rowNames(QStringLiteral("b"))); // the open folder was reloaded
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->child(1)->text(1), QStringLiteral("s2"));
}

} // namespace
} // namespace zarvo::test
