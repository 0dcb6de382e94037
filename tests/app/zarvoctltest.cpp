// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/zarvoctl.h"
#include "store/foldertree.h"
#include "store/sqlitestore.h"
#include "store/treeblob.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

// Runs zarvoctl and keeps what it printed.
struct CtlRun
{
    int status = -1;
    QString out;
    QString err;
};

CtlRun zarvoctl(const QStringList& args)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    CtlRun run;
    run.status = runZarvoctl(args, out, err);
    auto slurp = [](std::FILE* f) {
        std::fflush(f);
        std::rewind(f);
        QByteArray bytes;
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.append(buffer, qsizetype(n));
        std::fclose(f);
        return QString::fromLocal8Bit(bytes);
    };
    run.out = slurp(out);
    run.err = slurp(err);
    return run;
}

} // namespace

TEST(Zarvoctl, InitAddListExportGiveEveryFileBack)
{
    Sandbox box;
    const QString store = box.storePath();
    const QString a
        = box.writeFile(QStringLiteral("in/a.jpg"), QByteArray("\xff\xd8 jpeg \x00 bytes", 15));
    const QString b = box.writeFile(QStringLiteral("in/b.PNG"), "png bytes");
    ASSERT_EQ(zarvoctl({ QStringLiteral("init"), store }).status, 0);
    ASSERT_EQ(zarvoctl({ QStringLiteral("init"), store }).status, 1) << "init never overwrites";
    const CtlRun added = zarvoctl({ QStringLiteral("add"), store, QStringLiteral("猫"), a, b });
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    // Adding a again gives an automatic name.
    ASSERT_EQ(zarvoctl({ QStringLiteral("add"), store, QStringLiteral("猫"), a }).status, 0);

    const CtlRun listed = zarvoctl({ QStringLiteral("list"), store });
    ASSERT_EQ(listed.status, 0);
    EXPECT_TRUE(listed.out.contains(QStringLiteral("  猫\n")));
    EXPECT_TRUE(listed.out.contains(QStringLiteral("  a\t15 字节\t") + a));
    EXPECT_TRUE(listed.out.contains(QStringLiteral("  b\t9 字节\t") + b));
    EXPECT_TRUE(listed.out.contains(QStringLiteral("  a(0)\t15 字节")));

    const QString dir = box.path(QStringLiteral("out"));
    const CtlRun exported
        = zarvoctl({ QStringLiteral("export"), store, QStringLiteral("猫"), dir });
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(Sandbox::readFile(dir + QStringLiteral("/a.jpg")), Sandbox::readFile(a));
    EXPECT_EQ(Sandbox::readFile(dir + QStringLiteral("/b.png")), Sandbox::readFile(b));
    EXPECT_EQ(Sandbox::readFile(dir + QStringLiteral("/a(0).jpg")), Sandbox::readFile(a));

    // The folder is in the tree, once.
    SqliteStore::Opened opened = SqliteStore::open(store);
    ASSERT_TRUE(opened.store);
    RecordingPrompt prompt;
    FolderTree tree;
    ASSERT_TRUE(OpenBlob(*opened.store, tree, prompt));
    EXPECT_EQ(tree.nodeCount(), 1);
    EXPECT_NE(tree.findFolder(QStringLiteral("猫")), nullptr);
}

TEST(Zarvoctl, ExportNeverOverwritesUnlessForcedAndNeverLeavesTheDirectory)
{
    Sandbox box;
    ASSERT_EQ(zarvoctl({ QStringLiteral("init"), box.storePath() }).status, 0);
    const QString a = box.writeFile(QStringLiteral("a.gif"), "GIF89a new");
    ASSERT_EQ(
        zarvoctl({ QStringLiteral("add"), box.storePath(), QStringLiteral("f"), a }).status, 0);
    {
        SqliteStore::Opened opened = SqliteStore::open(box.storePath());
        ASSERT_TRUE(opened.store);
        opened.store->appendPicture(
            QStringLiteral("f"), QStringLiteral("../escape"), QStringLiteral("/x.gif"), "evil");
    }
    const QString dir = box.path(QStringLiteral("out"));
    const QString existing = box.writeFile(QStringLiteral("out/a.gif"), "old");
    const CtlRun first
        = zarvoctl({ QStringLiteral("export"), box.storePath(), QStringLiteral("f"), dir });
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(Sandbox::readFile(existing), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(box.path(QStringLiteral("escape.gif"))));

    const CtlRun forced = zarvoctl({ QStringLiteral("export"), box.storePath(), QStringLiteral("f"),
        dir, QStringLiteral("--force") });
    EXPECT_EQ(forced.status, 1) << "the unsafe name is still not written";
    EXPECT_EQ(Sandbox::readFile(existing), QByteArray("GIF89a new"));
    EXPECT_FALSE(QFileInfo::exists(box.path(QStringLiteral("escape.gif"))));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList { QStringLiteral("a.gif") });
}

TEST(Zarvoctl, StoreInUseIsRefusedAndLeftAlone)
{
    Sandbox box;
    ASSERT_EQ(zarvoctl({ QStringLiteral("init"), box.storePath() }).status, 0);
    const QString a = box.writeFile(QStringLiteral("a.png"), "png");
    box.store(); // a running Zarvo holds it
    const QByteArray before = Sandbox::readFile(box.storePath());
    EXPECT_EQ(
        zarvoctl({ QStringLiteral("add"), box.storePath(), QStringLiteral("f"), a }).status, 1);
    EXPECT_EQ(zarvoctl({ QStringLiteral("compact"), box.storePath() }).status, 1);
    const CtlRun listed = zarvoctl({ QStringLiteral("list"), box.storePath() });
    EXPECT_EQ(listed.status, 1);
    EXPECT_TRUE(listed.err.contains(QStringLiteral("数据库打开错误")));
    EXPECT_EQ(Sandbox::readFile(box.storePath()), before);
    box.closeStore();
    EXPECT_EQ(zarvoctl({ QStringLiteral("compact"), box.storePath() }).status, 0);
}

TEST(Zarvoctl, UsageErrorsAndBadFolderNames)
{
    Sandbox box;
    ASSERT_EQ(zarvoctl({ QStringLiteral("init"), box.storePath() }).status, 0);
    const QString a = box.writeFile(QStringLiteral("a.png"), "png");
    EXPECT_EQ(zarvoctl({}).status, 2);
    EXPECT_EQ(zarvoctl({ QStringLiteral("frobnicate") }).status, 2);
    const CtlRun help = zarvoctl({ QStringLiteral("--help") });
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("export PATH FOLDER DIR")));
    for (const QString& bad : { QStringLiteral("a b"), QString(QChar(1)) + QStringLiteral("g"),
             QStringLiteral("tab\there"), QString(), QStringLiteral("一二三四五六七八九十"),
             QStringLiteral("BLOB") })
        EXPECT_EQ(zarvoctl({ QStringLiteral("add"), box.storePath(), bad, a }).status, 2)
            << bad.toStdString();
    EXPECT_EQ(zarvoctl({ QStringLiteral("add"), box.storePath(),
                           QStringLiteral("一二三四五六七八九a"), a })
                  .status,
        0)
        << "19 bytes fit";
    EXPECT_EQ(zarvoctl({ QStringLiteral("list"), box.path(QStringLiteral("none.mdb")) }).status, 1);
    EXPECT_FALSE(QFileInfo::exists(box.path(QStringLiteral("none.mdb"))));
}
