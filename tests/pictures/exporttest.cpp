// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/exportfolder.h"
#include "support/workspacefixture.h"

#include <QDir>

using namespace zarvo;
using namespace zarvo::test;

namespace {

const QString kDone = QStringLiteral("导出成功，请检查文件是否已经正确保存");

class ExportTest : public WorkspaceFixture
{
protected:
    // Folder "f": a JPEG whose path ends in ".JPG", and a picture whose path has no extension.
    void startWithFolder()
    {
        makeFolder(QStringLiteral("f"),
            { { QStringLiteral("/p/Cat.JPG"), QByteArray("\xff\xd8jpeg bytes\0x", 14) },
                { QStringLiteral("/p.d/readme"), QByteArray("plain") } });
        makeFolder(QStringLiteral("empty"), {});
        start();
        clickNode(QStringLiteral("f"));
        prompt.clear(); // the view's warning for the JPEG that does not decode
    }
    QStringList filesIn(const QString& dir) const
    {
        return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    void exportTo(const QString& dir)
    {
        prompt.answerDirectory(dir);
        menu_importallClick(*ws);
    }
};

} // namespace

TEST_F(ExportTest, WritesTheStoredBytesAndAsksBeforeReplacingAFile)
{
    startWithFolder();
    const QString dir = box.path(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(dir));
    exportTo(dir);
    EXPECT_EQ(prompt.popups, (QList<RecordingPrompt::Popup> { { PopupKind::Success, kDone } }));
    EXPECT_EQ(filesIn(dir), (QStringList { QStringLiteral("Cat.jpg"), QStringLiteral("readme") }))
        << "no temporary file left";
    EXPECT_EQ(Sandbox::readFile(dir + QStringLiteral("/Cat.jpg")),
        QByteArray("\xff\xd8jpeg bytes\0x", 14));
    EXPECT_EQ(Sandbox::readFile(dir + QStringLiteral("/readme")), QByteArray("plain"));

    // Again: one question per file; No keeps the file and is no failure.
    box.writeFile(QStringLiteral("out/Cat.jpg"), "old");
    box.writeFile(QStringLiteral("out/readme"), "old");
    prompt.clear();
    prompt.answer(true);
    prompt.answer(false);
    exportTo(dir);
    EXPECT_EQ(prompt.questions,
        (QStringList {
            QStringLiteral("文件 ") + dir + QStringLiteral("/Cat.jpg 已经存在，是否要覆盖它？"),
            QStringLiteral("文件 ") + dir + QStringLiteral("/readme 已经存在，是否要覆盖它？") }));
    EXPECT_EQ(Sandbox::readFile(dir + QStringLiteral("/Cat.jpg")),
        QByteArray("\xff\xd8jpeg bytes\0x", 14));
    EXPECT_EQ(Sandbox::readFile(dir + QStringLiteral("/readme")), QByteArray("old"));
    EXPECT_EQ(prompt.popups, (QList<RecordingPrompt::Popup> { { PopupKind::Success, kDone } }));
    EXPECT_EQ(filesIn(dir).size(), 2);
}

TEST_F(ExportTest, FilesThatCannotBeWrittenAreCountedNotReportedAsSuccess)
{
    startWithFolder();
    // A name that would leave the directory, and one that cannot be any file's name.
    ws->store()->appendPicture(
        QStringLiteral("f"), QStringLiteral("../up"), QStringLiteral("/p/up.png"), "x");
    ws->store()->appendPicture(
        QStringLiteral("f"), QStringLiteral(".."), QStringLiteral("/p/noext"), "x");
    const QString dir = box.path(QStringLiteral("a/out"));
    ASSERT_TRUE(QDir().mkpath(dir));
    exportTo(dir);
    EXPECT_EQ(prompt.popups,
        (QList<RecordingPrompt::Popup> {
            { PopupKind::Warning, QStringLiteral("有 2 个文件导出失败") } }));
    EXPECT_EQ(filesIn(dir).size(), 2);
    EXPECT_TRUE(filesIn(box.path(QStringLiteral("a"))).isEmpty());

    prompt.clear();
    exportTo(box.path(QStringLiteral("missing")));
    EXPECT_EQ(prompt.popups,
        (QList<RecordingPrompt::Popup> {
            { PopupKind::Warning, QStringLiteral("有 4 个文件导出失败") } }));
    EXPECT_FALSE(QFileInfo::exists(box.path(QStringLiteral("missing"))));
}

TEST_F(ExportTest, NeedsAnOpenFolderWithPicturesAndADirectory)
{
    startWithFolder();
    prompt.answerDirectory(QString()); // Cancel
    menu_importallClick(*ws);
    EXPECT_TRUE(prompt.popups.isEmpty());

    clickNode(QStringLiteral("empty"));
    menu_importallClick(*ws);
    ws->closeFolderTable();
    menu_importallClick(*ws);
    const QString tip = QStringLiteral("请选择相应的文件夹,并保证文件夹内存在文件");
    EXPECT_EQ(prompt.popupTexts(PopupKind::Tip), (QStringList { tip, tip }));
    EXPECT_EQ(prompt.directoryChoosers, 1);
}
