// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/compaction.h"
#include "store/store.h"
#include "store/storelock.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <SQLiteCpp/Database.h>

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

QStringList leftovers(const QString& dir)
{
    return QDir(dir).entryList(
        { QStringLiteral("~ACP*"), QStringLiteral("*-journal") }, QDir::Files | QDir::Hidden);
}

ino_t inodeOf(const QString& path)
{
    struct stat st
    {
    };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_ino;
}

// A store with a folder of pictures, most of them deleted again: plenty of free pages.
QList<QByteArray> fillAndThin(Sandbox& box)
{
    RecordingPrompt prompt;
    Store& store = box.store();
    EXPECT_TRUE(store.CreateFolderTable(QStringLiteral("f"), prompt));
    QList<QByteArray> kept;
    for (int i = 0; i < 40; ++i) {
        const QByteArray bytes(200000 + i, char('a' + i % 26));
        store.appendPicture(
            QStringLiteral("f"), QString::number(i), QStringLiteral("/p.jpg"), bytes);
        if (i % 8 == 0)
            kept.append(bytes);
    }
    for (int i = 0; i < 40; ++i)
        if (i % 8 != 0)
            store.deletePicture(QStringLiteral("f"), QString::number(i));
    box.closeStore();
    return kept;
}

} // namespace

TEST(Compaction, HealthyStoreShrinksAndKeepsEveryPicture)
{
    Sandbox box;
    const QList<QByteArray> kept = fillAndThin(box);
    const qint64 before = QFileInfo(box.storePath()).size();
    const ino_t inode = inodeOf(box.storePath());
    QString error;
    ASSERT_TRUE(CompactStore(box.storePath(), QString(), nullptr, &error)) << error.toStdString();
    EXPECT_LT(QFileInfo(box.storePath()).size(), before / 2);
    EXPECT_EQ(inodeOf(box.storePath()), inode)
        << "the store file itself is rewritten, not replaced";
    EXPECT_TRUE(leftovers(box.dir()).isEmpty()) << leftovers(box.dir()).join(u' ').toStdString();

    Store& store = box.store();
    const QList<PictureRow> rows = store.pictureRows(QStringLiteral("f"));
    ASSERT_EQ(rows.size(), kept.size());
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(store.readBlob(QStringLiteral("f"), rows[i].rowid), kept[i]);
}

TEST(Compaction, ReusesTheLockItsCallerHolds)
{
    Sandbox box;
    fillAndThin(box);
    Store::Opened opened = Store::open(box.storePath());
    ASSERT_TRUE(opened.store);
    std::shared_ptr<StoreLock> lock = opened.store->lock();
    opened.store.reset(); // connection closed, lock still held
    EXPECT_FALSE(CompactStore(box.storePath(), QString()))
        << "without the lock it is someone else's store";
    EXPECT_TRUE(CompactStore(box.storePath(), QString(), lock));
    EXPECT_TRUE(leftovers(box.dir()).isEmpty());
}

TEST(Compaction, FailureLeavesTheStoreByteIdentical)
{
    Sandbox box;
    fillAndThin(box);
    const QByteArray original = Sandbox::readFile(box.storePath());

    {
        // Another connection is in the middle of writing.
        SQLite::Database writer(box.storePath().toStdString(), SQLite::OPEN_READWRITE);
        writer.exec("BEGIN IMMEDIATE");
        writer.exec("INSERT INTO f(Name) VALUES('pending')");
        EXPECT_FALSE(CompactStore(box.storePath(), QString()));
        writer.exec("ROLLBACK");
    }
    EXPECT_EQ(Sandbox::readFile(box.storePath()), original);
    EXPECT_TRUE(leftovers(box.dir()).isEmpty());

    EXPECT_FALSE(CompactStore(box.storePath(), QStringLiteral("secret")));
    EXPECT_FALSE(CompactStore(box.path(QStringLiteral("missing.mdb")), QString()));
    EXPECT_FALSE(QFileInfo::exists(box.path(QStringLiteral("missing.mdb"))));
    EXPECT_EQ(Sandbox::readFile(box.storePath()), original);
    EXPECT_TRUE(leftovers(box.dir()).isEmpty());
}

TEST(Compaction, DamagedStoreIsLeftAlone)
{
    Sandbox box;
    fillAndThin(box);
    QByteArray damaged = Sandbox::readFile(box.storePath());
    // Scribble over the pages after the schema: the table's b-tree is no longer readable.
    for (qsizetype i = 65536; i < damaged.size(); i += 997)
        damaged[i] = char(0xA5);
    box.writeFile(QStringLiteral("data.mdb"), damaged);
    EXPECT_FALSE(CompactStore(box.storePath(), QString()));
    EXPECT_EQ(Sandbox::readFile(box.storePath()), damaged);
    EXPECT_TRUE(leftovers(box.dir()).isEmpty());

    box.writeFile(QStringLiteral("data.mdb"), QByteArray(70000, 'z'));
    EXPECT_FALSE(CompactStore(box.storePath(), QString()));
    EXPECT_EQ(Sandbox::readFile(box.storePath()), QByteArray(70000, 'z'));
    EXPECT_TRUE(leftovers(box.dir()).isEmpty());
}
