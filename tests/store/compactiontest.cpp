// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/compaction.h"
#include "store/sqlitestore.h"
#include "store/storelock.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <SQLiteCpp/Database.h>

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

QStringList leftovers(const QString& dir)
{
    return QDir(dir).entryList(
        { QStringLiteral("~ACP*"), QStringLiteral("*-journal") }, QDir::Files | QDir::Hidden);
}

struct stat statOf(const QString& path)
{
    struct stat st
    {
    };
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

// A store with a folder of 48 pictures, three in four of them deleted again when thin: then
// most of the file is free pages. Returns the pictures that stay, in order.
QList<QByteArray> fill(Sandbox& box, bool thin = true)
{
    RecordingPrompt prompt;
    SqliteStore& store = box.store();
    EXPECT_TRUE(store.CreateFolderTable(QStringLiteral("f")));
    QList<QByteArray> kept;
    for (int i = 0; i < 48; ++i) {
        QByteArray bytes(300000 + i, char('a' + i % 26));
        bytes[i] = char(i); // no two alike
        store.appendPicture(
            QStringLiteral("f"), QString::number(i), QStringLiteral("/p.jpg"), bytes);
        if (!thin || i % 4 == 0)
            kept.append(bytes);
    }
    for (int i = 0; thin && i < 48; ++i)
        if (i % 4 != 0)
            store.deletePicture(QStringLiteral("f"), QString::number(i));
    box.closeStore();
    return kept;
}

// The store at path opens, passes the full check and holds exactly the pictures kept.
void expectWholeStore(const QString& path, const QList<QByteArray>& kept)
{
    SqliteStore::Opened opened = SqliteStore::open(path);
    ASSERT_TRUE(opened.store) << opened.detail.toStdString();
    SqliteStore& store = *opened.store;
    EXPECT_EQ(store.database().execAndGet("PRAGMA integrity_check").getString(), "ok");
    const QList<PictureRow> rows = store.pictureRows(QStringLiteral("f"));
    ASSERT_EQ(rows.size(), kept.size());
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(store.readBlob(QStringLiteral("f"), rows[i].rowid), kept[i]) << "picture " << i;
}

// Runs body in a child process and returns its wait status.
int inChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    return status;
}

CompactionStep killAt;
QString damageIn;

// Scribbles over the pages after the schema of the file at path: its table's b-tree is no
// longer readable, the header still is.
QByteArray scribbled(QByteArray bytes)
{
    for (qsizetype i = 65536; i < bytes.size(); i += 997)
        bytes[i] = char(0xA5);
    return bytes;
}

} // namespace

TEST(Compaction, ReplacesTheStoreKeepingModeOwnerAttributesAndEveryPicture)
{
    Sandbox box;
    const QList<QByteArray> kept = fill(box);
    // The copy is made whatever the folder tables hold: an index is rebuilt and checked too.
    SQLite::Database(box.storePath().toStdString(), SQLite::OPEN_READWRITE)
        .exec("CREATE INDEX fName ON f(Name)");
    const QByteArray native = QFile::encodeName(box.storePath());
    ASSERT_EQ(::chmod(native.constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) { // another owner, which only root can give the new file
        ASSERT_EQ(::chown(native.constData(), 4321, 4322), 0);
    }
    const bool attributes = ::setxattr(native.constData(), "user.zarvo", "kept", 4, 0) == 0;
    const struct stat before = statOf(box.storePath());

    QString error;
    ASSERT_TRUE(CompactStore(box.storePath(), QString(), nullptr, &error)) << error.toStdString();
    const struct stat after = statOf(box.storePath());
    EXPECT_LT(after.st_size, before.st_size / 2);
    EXPECT_NE(after.st_ino, before.st_ino) << "the checked copy is renamed over the store";
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    if (attributes) {
        char value[8] = {};
        EXPECT_EQ(::getxattr(native.constData(), "user.zarvo", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
    EXPECT_TRUE(leftovers(box.dir()).isEmpty()) << leftovers(box.dir()).join(u' ').toStdString();
    expectWholeStore(box.storePath(), kept);
    EXPECT_EQ(SQLite::Database(box.storePath().toStdString())
                  .execAndGet("SELECT count(*) FROM sqlite_schema WHERE name = 'fName'")
                  .getInt(),
        1);
}

TEST(Compaction, SymlinkedStoreIsCompactedWhereItsFileLies)
{
    Sandbox box;
    const QList<QByteArray> kept = fill(box);
    ASSERT_TRUE(QDir(box.dir()).mkdir(QStringLiteral("elsewhere")));
    const QString target = box.path(QStringLiteral("elsewhere/real.mdb"));
    ASSERT_TRUE(QFile::rename(box.storePath(), target));
    ASSERT_TRUE(QFile::link(target, box.storePath()));
    const qint64 before = QFileInfo(target).size();

    ASSERT_TRUE(CompactStore(box.storePath(), QString()));
    EXPECT_TRUE(QFileInfo(box.storePath()).isSymLink());
    EXPECT_EQ(QFileInfo(box.storePath()).symLinkTarget(), target);
    EXPECT_LT(QFileInfo(target).size(), before / 2);
    EXPECT_TRUE(leftovers(box.dir()).isEmpty());
    EXPECT_TRUE(leftovers(box.path(QStringLiteral("elsewhere"))).isEmpty());
    expectWholeStore(box.storePath(), kept);
}

TEST(Compaction, HardLinkedStoreIsCopiedBackInPlace)
{
    Sandbox box;
    const QList<QByteArray> kept = fill(box);
    const QString link = box.path(QStringLiteral("link.mdb"));
    ASSERT_EQ(
        ::link(QFile::encodeName(box.storePath()).constData(), QFile::encodeName(link).constData()),
        0);
    const struct stat before = statOf(box.storePath());

    ASSERT_TRUE(CompactStore(box.storePath(), QString()));
    const struct stat after = statOf(box.storePath());
    EXPECT_EQ(after.st_ino, before.st_ino) << "a rename would part the store from its other name";
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_LT(after.st_size, before.st_size / 2);
    EXPECT_TRUE(leftovers(box.dir()).isEmpty());
    expectWholeStore(link, kept);
}

TEST(Compaction, NothingToReclaimLeavesTheStoreByteIdentical)
{
    Sandbox box;
    const QList<QByteArray> kept = fill(box, false);
    const QByteArray original = Sandbox::readFile(box.storePath());
    const struct stat before = statOf(box.storePath());

    ASSERT_TRUE(CompactStore(box.storePath(), QString()));
    const struct stat after = statOf(box.storePath());
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(Sandbox::readFile(box.storePath()), original);
    EXPECT_TRUE(leftovers(box.dir()).isEmpty());
    expectWholeStore(box.storePath(), kept);
}

// Killed at each step, the compaction leaves the old or the new store, whole; the next one
// removes what the killed one left and succeeds.
TEST(Compaction, KilledAtAnyStepLeavesAWholeStore)
{
    const struct
    {
        CompactionStep step;
        bool hardLinked; // forces the backup-API copy back
        bool replaced; // the new store is in place
    } cases[] = {
        { CompactionStep::Copied, false, false },
        { CompactionStep::Checked, false, false },
        { CompactionStep::Replaced, false, true },
        { CompactionStep::CopyingBack, true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.step));
        Sandbox box;
        const QList<QByteArray> kept = fill(box);
        if (c.hardLinked) {
            ASSERT_EQ(::link(QFile::encodeName(box.storePath()).constData(),
                          QFile::encodeName(box.path(QStringLiteral("link.mdb"))).constData()),
                0);
        }
        const qint64 before = QFileInfo(box.storePath()).size();
        killAt = c.step;
        const int status = inChild([&] {
            SetCompactionStepHook([](CompactionStep step) {
                if (step == killAt)
                    ::raise(SIGKILL);
            });
            CompactStore(box.storePath(), QString());
            return 0;
        });
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the step was never reached";
        EXPECT_EQ(QFileInfo(box.storePath()).size() < before / 2, c.replaced);
        expectWholeStore(box.storePath(), kept);

        ASSERT_TRUE(CompactStore(box.storePath(), QString()));
        EXPECT_TRUE(leftovers(box.dir()).isEmpty())
            << leftovers(box.dir()).join(u' ').toStdString();
        expectWholeStore(box.storePath(), kept);
    }
}

TEST(Compaction, DiskTooFullForTheCopyLeavesTheStoreAlone)
{
    Sandbox box;
    fill(box);
    const QByteArray original = Sandbox::readFile(box.storePath());
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { 1 << 20, 1 << 20 }; // less than the compacted store needs
        ::setrlimit(RLIMIT_FSIZE, &limit);
        QString error;
        return !CompactStore(box.storePath(), QString(), nullptr, &error) && !error.isEmpty() ? 0
                                                                                              : 1;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the compaction did not fail";
    EXPECT_EQ(Sandbox::readFile(box.storePath()), original);
    EXPECT_TRUE(leftovers(box.dir()).isEmpty()) << leftovers(box.dir()).join(u' ').toStdString();
}

TEST(Compaction, ReusesTheLockItsCallerHolds)
{
    Sandbox box;
    fill(box);
    SqliteStore::Opened opened = SqliteStore::open(box.storePath());
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
    fill(box);
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

// Damage is found whether the store is rewritten (thin) or only checked.
TEST(Compaction, DamagedStoreIsLeftAlone)
{
    for (const bool thin : { true, false }) {
        SCOPED_TRACE(thin);
        Sandbox box;
        fill(box, thin);
        const QByteArray damaged = scribbled(Sandbox::readFile(box.storePath()));
        box.writeFile(QStringLiteral("data.mdb"), damaged);
        EXPECT_FALSE(CompactStore(box.storePath(), QString()));
        EXPECT_EQ(Sandbox::readFile(box.storePath()), damaged);
        EXPECT_TRUE(leftovers(box.dir()).isEmpty());
    }

    Sandbox box;
    box.writeFile(QStringLiteral("data.mdb"), QByteArray(70000, 'z'));
    EXPECT_FALSE(CompactStore(box.storePath(), QString()));
    EXPECT_EQ(Sandbox::readFile(box.storePath()), QByteArray(70000, 'z'));
    EXPECT_TRUE(leftovers(box.dir()).isEmpty());
}

// A copy that turns out damaged once written (a bad disk, a bug) is never put in place, though
// it is being synced while it is checked.
TEST(Compaction, DamagedCopyIsNeverPutInPlace)
{
    Sandbox box;
    fill(box);
    const QByteArray original = Sandbox::readFile(box.storePath());
    damageIn = box.dir();
    SetCompactionStepHook([](CompactionStep step) {
        if (step != CompactionStep::Copied)
            return;
        const QStringList copies = QDir(damageIn).entryList({ QStringLiteral("~ACP*") });
        ASSERT_EQ(copies.size(), 1);
        QFile copy(QDir(damageIn).filePath(copies[0]));
        ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
        const QByteArray damaged = scribbled(copy.readAll());
        ASSERT_TRUE(copy.seek(0));
        ASSERT_EQ(copy.write(damaged), damaged.size());
    });
    QString error;
    const bool compacted = CompactStore(box.storePath(), QString(), nullptr, &error);
    SetCompactionStepHook(nullptr);
    EXPECT_FALSE(compacted);
    EXPECT_EQ(error.toStdString(), "the compacted copy is damaged");
    EXPECT_EQ(Sandbox::readFile(box.storePath()), original);
    EXPECT_TRUE(leftovers(box.dir()).isEmpty()) << leftovers(box.dir()).join(u' ').toStdString();
}
