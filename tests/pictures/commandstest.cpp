// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/addcommand.h"
#include "pictures/pictureclipboard.h"
#include "pictures/renamedelete.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"
#include "view/thumbnailmodel.h"

#include <QSignalSpy>

using namespace zarvo;
using namespace zarvo::test;
using namespace zarvo::testpictures;

namespace {

QByteArray png(quint32 seed)
{
    return encodePng(photoLike(24, 16, seed), PngKind::Rgb8);
}

class CommandsTest : public WorkspaceFixture
{
protected:
    // Folders A (cat, dog, bird) and B (empty); A is open.
    void startWithTwoFolders()
    {
        makeFolder(QStringLiteral("A"),
            { { QStringLiteral("/p/cat.png"), png(1) }, { QStringLiteral("/p/dog.png"), png(2) },
                { QStringLiteral("/p/bird.png"), png(3) } });
        makeFolder(QStringLiteral("B"), {});
        start();
        clickNode(QStringLiteral("A"));
    }

    // Renames the selected picture to `name`, as the rename dialog answers.
    void renameTo(const QString& name)
    {
        prompt.answerNewName(name);
        btn_editfileClick(*ws);
    }
};

} // namespace

TEST_F(CommandsTest, AddingAsksTheDialogAndShowsThePicturesOnce)
{
    makeFolder(QStringLiteral("f"), {});
    start();
    btn_addfileClick(*ws);
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Tip), QStringList { QStringLiteral("请先选择一个文件夹") });
    EXPECT_TRUE(prompt.fileFilters.isEmpty());

    clickNode(QStringLiteral("f"));
    const QString a = box.writeFile(QStringLiteral("in/a.png"), png(1));
    const QString b = box.writeFile(QStringLiteral("in/b.emf"), "emf");
    prompt.answerFiles({ a, b });
    QSignalSpy started(ws, &Workspace::progressStarted);
    QSignalSpy advanced(ws, &Workspace::progressAdvanced);
    QSignalSpy ended(ws, &Workspace::progressEnded);
    btn_addfileClick(*ws);
    EXPECT_EQ(prompt.fileFilters, QStringList { QString::fromUtf8(kOpenPictureFilter) });
    EXPECT_EQ(
        rowNames(QStringLiteral("f")), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    EXPECT_EQ(captions(), QStringList { QStringLiteral("a") })
        << "the .emf is stored but has no thumbnail";
    // The adding runs from 0 to 2 and ends at 0; the reload of the view runs its own progress.
    ASSERT_GE(started.size(), 1);
    EXPECT_EQ(started.first().first().toInt(), 2);
    EXPECT_EQ(advanced.first().first().toBool(), true) << "adding paints each step at once";
    EXPECT_EQ(ended.size(), started.size());

    prompt.answerFiles({});
    btn_addfileClick(*ws); // cancelled
    EXPECT_EQ(rowNames(QStringLiteral("f")).size(), 2);
}

TEST_F(CommandsTest, DroppingKeepsOnlyPictureExtensionsInAnyCase)
{
    makeFolder(QStringLiteral("f"), {});
    start();
    const QString jpg
        = box.writeFile(QStringLiteral("x.JPG"), encodeJpeg(photoLike(20, 20, 1), 80));
    const QString txt = box.writeFile(QStringLiteral("x.txt"), "text");
    const QString jp = box.writeFile(QStringLiteral("x.jp"), "jp");
    const QString bare = box.writeFile(QStringLiteral("x."), "bare");
    const QString webp
        = box.writeFile(QStringLiteral("y.WebP"), encodeWebp(photoLike(20, 20, 2), 80));
    const QString emf = box.writeFile(
        QStringLiteral("z.emf"), encodeEmf(QSize(20, 20), QRect(2, 2, 8, 8), qRgb(200, 0, 0)));
    wmdropfiles(*ws, { jpg });
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        QStringList { QStringLiteral("请先打开一个文件夹，再进行文件拖放操作") });

    clickNode(QStringLiteral("f"));
    // Metafiles are kinds of their own, but the folder view does not show them: not dropped.
    wmdropfiles(*ws, { txt, jpg, jp, emf, bare, webp });
    EXPECT_EQ(
        rowNames(QStringLiteral("f")), (QStringList { QStringLiteral("x"), QStringLiteral("y") }));
    EXPECT_EQ(ws->store()->pictureRows(QStringLiteral("f")).first().come, jpg);
    wmdropfiles(*ws, { txt, jp, emf });
    EXPECT_EQ(rowNames(QStringLiteral("f")).size(), 2);
    EXPECT_EQ(captions(), (QStringList { QStringLiteral("x"), QStringLiteral("y") }));
    EXPECT_TRUE(prompt.questions.isEmpty());
}

TEST_F(CommandsTest, LongPathsAndDeepNamesAreStoredCut)
{
    makeFolder(QStringLiteral("f"), {});
    start();
    clickNode(QStringLiteral("f"));
    const QString deep = box.writeFile(
        QString(120, QLatin1Char('d')) + QStringLiteral("/abcdefghijklmnopqrstuvwxy.png"), png(4));
    wmdropfiles(*ws, { deep });
    const PictureRow row = ws->store()->pictureRows(QStringLiteral("f")).first();
    EXPECT_EQ(row.name, QStringLiteral("abcdefghijklmnopqrst"));
    EXPECT_EQ(row.come.size(), 150);
    EXPECT_TRUE(deep.endsWith(row.come));
}

TEST_F(CommandsTest, RenameChecksTheFolderIgnoringCase)
{
    startWithTwoFolders();
    select({});
    btn_editfileClick(*ws);
    select({ 0, 1 });
    btn_editfileClick(*ws);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        QStringList(2, QStringLiteral("请选择一个文件夹，并选择其中的一个文件")));

    select({ 0 });
    renameTo(QStringLiteral("Cat")); // passes the dialog, but the folder has cat
    renameTo(QStringLiteral("DOG"));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        (QStringList { QStringLiteral("文件名 Cat 在文件夹 A 已经存在，请更改名称"),
            QStringLiteral("文件名 DOG 在文件夹 A 已经存在，请更改名称") }));
    EXPECT_EQ(rowNames(QStringLiteral("A")),
        (QStringList { QStringLiteral("cat"), QStringLiteral("dog"), QStringLiteral("bird") }));

    select({ 0 });
    renameTo(QStringLiteral("say\"meow\""));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Success),
        QStringList { QStringLiteral("文件 cat 成功改名为 say\"meow\"") });
    EXPECT_EQ(rowNames(QStringLiteral("A")),
        (QStringList {
            QStringLiteral("say\"meow\""), QStringLiteral("dog"), QStringLiteral("bird") }));
    EXPECT_EQ(captions().first(), QStringLiteral("say\"meow\""));
}

TEST_F(CommandsTest, DeleteAsksAndDeletesTheSelection)
{
    startWithTwoFolders();
    select({});
    btn_delfileClick(*ws);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        QStringList { QStringLiteral("请打开文件夹并选中要删除的文件") });

    select({ 0, 2 });
    prompt.answer(false);
    btn_delfileClick(*ws);
    EXPECT_EQ(rowNames(QStringLiteral("A")).size(), 3);

    prompt.answer(true);
    btn_delfileClick(*ws);
    EXPECT_EQ(prompt.questions.last(), QStringLiteral("是否真的要删除这些文件?"));
    EXPECT_EQ(rowNames(QStringLiteral("A")), QStringList { QStringLiteral("dog") });
    EXPECT_EQ(captions(), QStringList { QStringLiteral("dog") });
}

TEST_F(CommandsTest, DeleteAllAsksTwice)
{
    startWithTwoFolders();
    prompt.answer(true);
    prompt.answer(false);
    menu_delallClick(*ws);
    EXPECT_EQ(rowNames(QStringLiteral("A")).size(), 3);
    EXPECT_EQ(ws->selectedRows().size(), 3) << "the pictures stay selected";

    prompt.answer(true);
    prompt.answer(true);
    menu_delallClick(*ws);
    EXPECT_EQ(prompt.questions,
        (QStringList { QStringLiteral("真的要删除该文件夹下的全部文件吗?"),
            QStringLiteral("是否真的要删除这些文件?"),
            QStringLiteral("真的要删除该文件夹下的全部文件吗?"),
            QStringLiteral("是否真的要删除这些文件?") }));
    EXPECT_TRUE(rowNames(QStringLiteral("A")).isEmpty());

    // An empty folder: the first question, then the tip.
    prompt.answer(true);
    menu_delallClick(*ws);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        QStringList { QStringLiteral("请打开文件夹并选中要删除的文件") });
    EXPECT_TRUE(prompt.allAnswersUsed());
}

TEST_F(CommandsTest, CutTwoPicturesMovesThem)
{
    startWithTwoFolders();
    select({ 0, 2 });
    pop_cutClick(*ws);
    EXPECT_TRUE(ws->items().isCut(0));
    EXPECT_FALSE(ws->items().isCut(1));
    EXPECT_TRUE(ws->items().isCut(2));
    EXPECT_EQ(
        ws->clipboard().copylist, (QStringList { QStringLiteral("cat"), QStringLiteral("bird") }));

    pop_pasteClick(*ws);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("不能在同一文件夹中进行粘贴操作") });
    EXPECT_EQ(ws->clipboard().copylist.size(), 2) << "the clipboard is unchanged";

    clickNode(QStringLiteral("B"));
    const QByteArray catBytes = png(1);
    pop_pasteClick(*ws);
    EXPECT_EQ(rowNames(QStringLiteral("B")),
        (QStringList { QStringLiteral("cat"), QStringLiteral("bird") }));
    EXPECT_EQ(rowNames(QStringLiteral("A")), QStringList { QStringLiteral("dog") });
    EXPECT_EQ(ws->store()->readBlob(QStringLiteral("B"),
                  ws->store()->locate(QStringLiteral("B"), QStringLiteral("cat"))->rowid),
        catBytes);
    EXPECT_TRUE(ws->clipboard().copylist.isEmpty());
    EXPECT_FALSE(ws->clipboard().cutflag);
    EXPECT_EQ(captions(), (QStringList { QStringLiteral("cat"), QStringLiteral("bird") }));
}

TEST_F(CommandsTest, CopyPastedTwiceAsksAndNamesAutomatically)
{
    startWithTwoFolders();
    select({ 0 });
    pop_copyClick(*ws);
    clickNode(QStringLiteral("B"));
    pop_pasteClick(*ws);
    prompt.answer(true);
    pop_pasteClick(*ws);
    EXPECT_EQ(prompt.questions,
        QStringList { QStringLiteral("文件 cat 在文件夹 B 中已经存在，是否让系统自动给它改名?") });
    EXPECT_EQ(rowNames(QStringLiteral("B")),
        (QStringList { QStringLiteral("cat"), QStringLiteral("cat(0)") }));
    EXPECT_EQ(rowNames(QStringLiteral("A")).size(), 3);
    EXPECT_EQ(ws->clipboard().copylist, QStringList { QStringLiteral("cat") })
        << "a copy stays on the clipboard";
}

TEST_F(CommandsTest, CollisionAnsweredNoAfterACutKeepsThatPicture)
{
    startWithTwoFolders();
    ws->store()->appendPicture(
        QStringLiteral("B"), QStringLiteral("DOG"), QStringLiteral("/q/dog.png"), png(9));
    select({ 0, 1 });
    pop_cutClick(*ws);
    clickNode(QStringLiteral("B"));
    prompt.answer(false);
    pop_pasteClick(*ws);
    EXPECT_EQ(rowNames(QStringLiteral("B")),
        (QStringList { QStringLiteral("DOG"), QStringLiteral("cat") }));
    EXPECT_EQ(rowNames(QStringLiteral("A")),
        (QStringList { QStringLiteral("dog"), QStringLiteral("bird") }));
    EXPECT_TRUE(ws->clipboard().copylist.isEmpty());
}

TEST_F(CommandsTest, RenamedSourceIsNotPastedAndNotRemoved)
{
    startWithTwoFolders();
    select({ 0, 1 });
    pop_cutClick(*ws);
    ws->store()->renamePicture(QStringLiteral("A"), QStringLiteral("kitty"), QStringLiteral("cat"));
    clickNode(QStringLiteral("B"));
    pop_pasteClick(*ws);
    EXPECT_TRUE(prompt.popups.isEmpty());
    EXPECT_EQ(rowNames(QStringLiteral("B")), QStringList { QStringLiteral("dog") });
    EXPECT_EQ(rowNames(QStringLiteral("A")),
        (QStringList { QStringLiteral("kitty"), QStringLiteral("bird") }));
}

TEST_F(CommandsTest, DeletedSourceFolderIsReportedPerPicture)
{
    startWithTwoFolders();
    select({ 0, 1 });
    pop_cutClick(*ws);
    clickNode(QStringLiteral("B"));
    ws->store()->dropTable(QStringLiteral("A"));
    pop_pasteClick(*ws);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        (QStringList { QStringLiteral("文件 cat 在粘贴时发生错误"),
            QStringLiteral("文件 dog 在粘贴时发生错误") }));
    EXPECT_TRUE(rowNames(QStringLiteral("B")).isEmpty());
}

TEST_F(CommandsTest, NewCopyDropsAnEarlierCutAndItsMarks)
{
    startWithTwoFolders();
    select({ 0 });
    pop_cutClick(*ws);
    select({ 1 });
    pop_copyClick(*ws);
    EXPECT_FALSE(ws->items().isCut(0));
    EXPECT_FALSE(ws->clipboard().cutflag);
    clickNode(QStringLiteral("B"));
    pop_pasteClick(*ws);
    EXPECT_EQ(rowNames(QStringLiteral("A")).size(), 3) << "the cut picture stays where it was";
    EXPECT_EQ(rowNames(QStringLiteral("B")), QStringList { QStringLiteral("dog") });
}

TEST_F(CommandsTest, ClipboardTipsAndSelectAll)
{
    makeFolder(QStringLiteral("empty"), {});
    start();
    pop_pasteClick(*ws);
    pop_copyClick(*ws);
    pop_cutClick(*ws);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip),
        (QStringList { QStringLiteral("请先打开文件夹，再进行粘贴操作"),
            QStringLiteral("请先选择要复制的文件"), QStringLiteral("请先选择要剪切的文件") }));
    clickNode(QStringLiteral("empty"));
    A2Click(*ws);
    EXPECT_TRUE(ws->selectedRows().isEmpty());
    pop_pasteClick(*ws); // nothing copied: only reloads
    EXPECT_EQ(prompt.popups.size(), 3);
}
