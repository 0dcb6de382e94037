// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/addfiles.h"
#include "imaging/sanitizer.h"
#include "pictures/exportname.h"
#include "pictures/picturenames.h"
#include "store/gbtext.h"
#include "store/sqlitestore.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <SQLiteCpp/Statement.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

class AddFilesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(box.store().CreateFolderTable(QStringLiteral("f"))); }

    QStringList names()
    {
        QStringList list;
        for (const PictureRow& row : box.store().pictureRows(QStringLiteral("f")))
            list.append(row.name);
        return list;
    }

    Sandbox box;
    RecordingPrompt prompt;
};

#if !defined(ZARVO_ADDRESS_SANITIZER)
// Adds `big` and `small` in a process whose address space has room for what runs now, but not
// for the big file. 0 when only the big file failed, with its warning.
int addWithoutRoomFor(const QString& store, const QString& big, const QString& small)
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 2;
    const rlim_t used = statm.readAll().split(' ').first().toULongLong() * ::sysconf(_SC_PAGESIZE);
    const rlimit limit { used + (256 << 20), used + (256 << 20) };
    ::setrlimit(RLIMIT_AS, &limit);
    SqliteStore::Opened opened = SqliteStore::open(store);
    if (!opened.store)
        return 3;
    RecordingPrompt prompt;
    const AddFilesResult result
        = AddFiles(*opened.store, QStringLiteral("f"), { big, small }, prompt);
    const bool reported = prompt.popupTexts(PopupKind::Warning)
        == QStringList { QStringLiteral("文件 ") + big + QStringLiteral(" 添加失败") };
    return reported && result.failed == 1 && result.added.size() == 1 ? 0 : 1;
}
#endif

} // namespace

TEST(PictureNames, NameComesFromTheFileName)
{
    EXPECT_EQ(pictureNameFromPath(QStringLiteral("/pic/cat.jpg")), QStringLiteral("cat"));
    EXPECT_EQ(pictureNameFromPath(QStringLiteral("/pic/a.b.png")), QStringLiteral("a.b"));
    EXPECT_EQ(pictureNameFromPath(QStringLiteral("/pic.d/noext")), QStringLiteral("noext"));
    EXPECT_EQ(pictureNameFromPath(QStringLiteral("/p/abcdefghijklmnopqrstuvwxy")),
        QStringLiteral("abcdefghijklmnopqrst"));
    // Eleven Chinese characters are 22 bytes: ten fit, the eleventh is not split.
    EXPECT_EQ(pictureNameFromPath(QStringLiteral("/p/一二三四五六七八九十百.jpg")),
        QStringLiteral("一二三四五六七八九十"));
}

TEST(PictureNames, ComeKeepsTheEndOfLongPaths)
{
    const QString p149
        = QStringLiteral("/") + QString(144, QLatin1Char('d')) + QStringLiteral(".jpg");
    ASSERT_EQ(gbLength(p149), 149);
    EXPECT_EQ(comeFromPath(p149), p149);
    const QString p200
        = QStringLiteral("/") + QString(195, QLatin1Char('d')) + QStringLiteral(".png");
    const QString come = comeFromPath(p200);
    EXPECT_EQ(gbLength(come), 150);
    EXPECT_TRUE(come.endsWith(QStringLiteral("d.png")));
    EXPECT_TRUE(p200.endsWith(come));
}

TEST(PictureNames, ExportNamesStayInsideTheDirectory)
{
    EXPECT_EQ(exportFileName(QStringLiteral("cat"), QStringLiteral("/a/b/CAT.JPG")),
        QStringLiteral("cat.jpg"));
    EXPECT_EQ(
        exportFileName(QStringLiteral("cat"), QStringLiteral("/a.d/noext")), QStringLiteral("cat"));
    EXPECT_EQ(exportFileName(QStringLiteral("a\"b"), QStringLiteral("x.png")),
        QStringLiteral("a\"b.png"));
    EXPECT_TRUE(exportFileName(QStringLiteral("../up"), QStringLiteral("x.png")).isEmpty());
    EXPECT_TRUE(exportFileName(QStringLiteral(".."), QStringLiteral("noext")).isEmpty());
    EXPECT_TRUE(exportFileName(QStringLiteral("."), QString()).isEmpty());
    EXPECT_TRUE(exportFileName(QString(), QString()).isEmpty());
}

TEST_F(AddFilesTest, TakenNamesGetAutomaticNamesOrAreSkipped)
{
    const QString cat = box.writeFile(QStringLiteral("cat.jpg"), "jpeg bytes");
    EXPECT_EQ(AddFiles(box.store(), QStringLiteral("f"), { cat }, prompt).added.size(), 1);
    prompt.answer(true);
    prompt.answer(true);
    const AddFilesResult twice = AddFiles(box.store(), QStringLiteral("f"), { cat, cat }, prompt);
    EXPECT_EQ(twice.added.size(), 2);
    EXPECT_EQ(names(),
        (QStringList {
            QStringLiteral("cat"), QStringLiteral("cat(0)"), QStringLiteral("cat(1)") }));
    EXPECT_EQ(prompt.questions.first(),
        QStringLiteral(
            "文件名 \"cat\" 已经存在!\n\r是否让系统自动更改名称？\n\r或者不添加该文件!"));

    prompt.answer(false);
    int advanced = 0;
    const AddFilesResult no
        = AddFiles(box.store(), QStringLiteral("f"), { cat }, prompt, [&] { ++advanced; });
    EXPECT_EQ(no.skipped, 1);
    EXPECT_EQ(advanced, 1);
    EXPECT_EQ(names().size(), 3);
    EXPECT_TRUE(prompt.allAnswersUsed());
}

TEST_F(AddFilesTest, SameNameLaterInTheRunAndLetterCase)
{
    box.store().appendPicture(
        QStringLiteral("f"), QStringLiteral("Dog"), QStringLiteral("/Dog.png"), "d");
    const QString cat = box.writeFile(QStringLiteral("cat.jpg"), "1");
    const QString catPng = box.writeFile(QStringLiteral("cat.png"), "2");
    const QString dog = box.writeFile(QStringLiteral("dog.gif"), "3");
    prompt.answer(true); // cat.png meets cat
    prompt.answer(true); // dog meets Dog
    AddFiles(box.store(), QStringLiteral("f"), { cat, catPng, dog }, prompt);
    EXPECT_EQ(names(),
        (QStringList { QStringLiteral("Dog"), QStringLiteral("cat"), QStringLiteral("cat(0)"),
            QStringLiteral("dog(0)") }));
    const PictureRow catRow = *box.store().locate(QStringLiteral("f"), QStringLiteral("cat(0)"));
    EXPECT_EQ(catRow.come, catPng);
    EXPECT_EQ(box.store().readBlob(QStringLiteral("f"), catRow.rowid), QByteArray("2"));
}

TEST_F(AddFilesTest, LongNamesAreCutBeforeTheAutomaticNumber)
{
    const QString file = box.writeFile(QStringLiteral("abcdefghijklmnopqrstuvwxy"), "x");
    AddFiles(box.store(), QStringLiteral("f"), { file }, prompt);
    prompt.answer(true);
    AddFiles(box.store(), QStringLiteral("f"), { file }, prompt);
    EXPECT_EQ(names(),
        (QStringList {
            QStringLiteral("abcdefghijklmnopqrst"), QStringLiteral("abcdefghijklmnopq(0)") }));
}

TEST_F(AddFilesTest, MissingAndUnreadableFilesAreReportedAndTheRunGoesOn)
{
    const QString good = box.writeFile(QStringLiteral("good.png"), "png");
    const QString missing = box.path(QStringLiteral("missing.png"));
    const QString directory = box.path(QStringLiteral("adir.png"));
    QDir().mkpath(directory);
    const QString empty = box.writeFile(QStringLiteral("empty.bmp"), QByteArray());
    int advanced = 0;
    const AddFilesResult result = AddFiles(box.store(), QStringLiteral("f"),
        { missing, directory, good, empty }, prompt, [&] { ++advanced; });
    EXPECT_EQ(advanced, 4);
    EXPECT_EQ(result.failed, 2);
    EXPECT_EQ(names(), (QStringList { QStringLiteral("good"), QStringLiteral("empty") }));
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        (QStringList {
            QStringLiteral("文件 ") + missing + QStringLiteral(" 不存在,不能添加到文件夹中"),
            QStringLiteral("文件 ") + directory + QStringLiteral(" 不存在,不能添加到文件夹中") }));
}

TEST_F(AddFilesTest, StoreRefusalIsReportedAndTheRunGoesOn)
{
    const QString a = box.writeFile(QStringLiteral("a.png"), "a");
    const QString b = box.writeFile(QStringLiteral("b.png"), "b");
    const AddFilesResult result
        = AddFiles(box.store(), QStringLiteral("no such folder"), { a, b }, prompt);
    EXPECT_EQ(result.failed, 2);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        (QStringList { QStringLiteral("文件 ") + a + QStringLiteral(" 添加失败"),
            QStringLiteral("文件 ") + b + QStringLiteral(" 添加失败") }));
}

TEST_F(AddFilesTest, UnreadableFileIsReported)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const QString secret = box.writeFile(QStringLiteral("secret.png"), "s");
    QFile::setPermissions(secret, QFileDevice::WriteOwner);
    const AddFilesResult result = AddFiles(box.store(), QStringLiteral("f"), { secret }, prompt);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件 ") + secret + QStringLiteral(" 添加失败") });
}

TEST_F(AddFilesTest, FileTooLargeForMemoryIsReportedAndTheRunGoesOn)
{
#if defined(ZARVO_ADDRESS_SANITIZER)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit below leaves";
#else
    const QString big = box.path(QStringLiteral("big.png"));
    QFile sparse(big);
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(900'000'000));
    sparse.close();
    const QString small = box.writeFile(QStringLiteral("small.png"), "png");
    const QString store = box.storePath();
    box.closeStore();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(addWithoutRoomFor(store, big, small)), ::testing::ExitedWithCode(0), "");
#endif
}

TEST_F(AddFilesTest, PicturesAreCommittedTogetherAndReportedOnlyOnceCommitted)
{
    QStringList files;
    for (const char* name : { "p1", "p2", "bad", "p3", "p4", "p5" })
        files.append(box.writeFile(QString::fromLatin1(name) + QStringLiteral(".png"), name));
    // A record the store refuses in the middle of a transaction must not take the others with it.
    box.store().database().exec("CREATE TRIGGER refuse BEFORE INSERT ON f WHEN NEW.Name = 'bad' "
                                "BEGIN SELECT RAISE(ABORT, 'no'); END");
    SQLite::Database reader(box.storePath().toStdString(), SQLite::OPEN_READONLY);
    QStringList reported;
    QList<qint64> visibleAtReport;
    AddBatching batching;
    batching.pictures = 3;
    batching.time = std::chrono::hours(1); // only the count decides here
    const AddFilesResult result = AddFiles(
        box.store(), QStringLiteral("f"), files, prompt, {},
        [&](const AddedPicture& added) {
            reported.append(added.name);
            SQLite::Statement count(reader, "SELECT count(*) FROM f");
            count.executeStep();
            visibleAtReport.append(count.getColumn(0).getInt64());
        },
        batching);
    EXPECT_EQ(reported,
        (QStringList { QStringLiteral("p1"), QStringLiteral("p2"), QStringLiteral("p3"),
            QStringLiteral("p4"), QStringLiteral("p5") }));
    EXPECT_EQ(names(), reported);
    // What another connection saw at each report: p1 and p2 were tried again one by one after
    // "bad" failed in their transaction; p3 to p5 were committed together before being reported.
    EXPECT_EQ(visibleAtReport, (QList<qint64> { 1, 2, 5, 5, 5 }));
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件 ") + files[2] + QStringLiteral(" 添加失败") });
}
