// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// The built zarvoctl under faults it cannot catch: killed with SIGKILL in the middle of adding
// or of compacting, and writing into a full disk (a file size limit, so that writes fail with
// EFBIG). After each, the store must be intact, every picture zarvoctl reported as added must be
// there unchanged, and nothing may be reported that did not happen.
//
// ZARVO_KILL_POINTS and ZARVO_KILL_PICTURES make the kill tests run longer (bench/kill.sh).
#include "store/sqlitestore.h"
#include "support/sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <SQLiteCpp/Statement.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

// The build's zarvoctl: in ZARVO_BINARY_DIR, else two levels above this test program.
QString zarvoctlBinary()
{
    const QString dir = qEnvironmentVariable("ZARVO_BINARY_DIR");
    return (dir.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../..") : dir)
        + QStringLiteral("/zarvoctl");
}

struct Child
{
    pid_t pid = -1;
    QString out;
    QString err;
};

// Starts zarvoctl with stdout and stderr going to files; fileSizeLimit > 0 sets RLIMIT_FSIZE
// with SIGXFSZ ignored, so that a write beyond it fails with EFBIG instead of killing.
Child start(
    const QStringList& args, const QString& out, const QString& err, rlim_t fileSizeLimit = 0)
{
    std::vector<QByteArray> storage { zarvoctlBinary().toLocal8Bit() };
    for (const QString& arg : args)
        storage.push_back(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : storage)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const QByteArray outPath = out.toLocal8Bit();
    const QByteArray errPath = err.toLocal8Bit();
    Child child { -1, out, err };
    child.pid = ::fork();
    if (child.pid == 0) {
        const int o = ::open(outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
            ::_exit(126);
        if (fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit { fileSizeLimit, fileSizeLimit };
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return child;
}

// The exit status, or -signal when it was killed.
int finish(const Child& child)
{
    int status = 0;
    while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) { }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

QString text(const QString& path)
{
    return QString::fromLocal8Bit(Sandbox::readFile(path));
}

// "path -> folder/name" lines of zarvoctl add: path for each name reported as added.
QHash<QString, QString> reportedPictures(const QString& output)
{
    QHash<QString, QString> pictures;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        const qsizetype arrow = line.indexOf(QStringLiteral(" -> "));
        const qsizetype slash = line.lastIndexOf(QLatin1Char('/'));
        if (arrow > 0 && slash > arrow)
            pictures.insert(line.mid(slash + 1), line.left(arrow));
    }
    return pictures;
}

// The store passes SQLite's check, every row of `folder` is whole (its bytes are those of the
// file its `Come` names), and every reported picture is there. Returns the names of the rows.
QStringList checkStore(
    const QString& storePath, const QString& folder, const QHash<QString, QString>& reported)
{
    SqliteStore::Opened opened
        = SqliteStore::open(storePath); // rolls back what a killed writer left
    if (!opened.store) {
        ADD_FAILURE() << "the store does not open: " << opened.detail.toStdString();
        return {};
    }
    SqliteStore& store = *opened.store;
    SQLite::Statement check(store.database(), "PRAGMA integrity_check");
    EXPECT_TRUE(check.executeStep());
    EXPECT_EQ(check.getColumn(0).getString(), "ok");
    QStringList names;
    if (!store.TableExists(folder)) {
        EXPECT_TRUE(reported.isEmpty());
        return names;
    }
    for (const PictureRow& row : store.pictureRows(folder)) {
        names.append(row.name);
        EXPECT_EQ(store.readBlob(folder, row.rowid), Sandbox::readFile(row.come))
            << row.name.toStdString();
    }
    for (auto it = reported.begin(); it != reported.end(); ++it) {
        const std::optional<PictureRow> row = store.locate(folder, it.key());
        EXPECT_TRUE(row.has_value()) << "reported but missing: " << it.key().toStdString();
        if (row) {
            EXPECT_EQ(row->come, it.value());
        }
    }
    return names;
}

int environmentNumber(const char* name, int otherwise)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : otherwise;
}

// zarvoctl with its output in the files "out" and "err" of the sandbox.
Child start(Sandbox& box, const QStringList& args)
{
    return start(args, box.path(QStringLiteral("out")), box.path(QStringLiteral("err")));
}

// count files in/pN.jpg of random bytes, each of low to high bytes.
QStringList randomFiles(Sandbox& box, QRandomGenerator& random, int count, int low, int high)
{
    QStringList files;
    for (int i = 0; i < count; ++i) {
        QByteArray bytes(int(random.bounded(low, high)), Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random.generate());
        files.append(box.writeFile(QStringLiteral("in/p%1.jpg").arg(i), bytes));
    }
    return files;
}

// Microseconds (at least 1000) that an undisturbed run of args took, or -1 when it failed.
qint64 timedRun(Sandbox& box, const QStringList& args, Child* child)
{
    const auto begun = std::chrono::steady_clock::now();
    *child = start(box, args);
    if (finish(*child) != 0)
        return -1;
    return std::max<qint64>(1000,
        std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - begun)
            .count());
}

// Starts args and kills it with SIGKILL after a random part of runMicroseconds; returns its exit
// status, or -SIGKILL when the kill came before its end.
int killedRun(Sandbox& box, const QStringList& args, QRandomGenerator& random,
    qint64 runMicroseconds, Child* child)
{
    *child = start(box, args);
    std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(runMicroseconds)));
    ::kill(child->pid, SIGKILL);
    return finish(*child);
}

} // namespace

TEST(ZarvoctlFaults, KilledAddLeavesEveryReportedPictureAndNoHalfRow)
{
    ASSERT_TRUE(QFileInfo(zarvoctlBinary()).isExecutable()) << zarvoctlBinary().toStdString();
    Sandbox box;
    const int points = environmentNumber("ZARVO_KILL_POINTS", 5);
    const int count = environmentNumber("ZARVO_KILL_PICTURES", 40);
    QRandomGenerator random(15);
    // About 12 MB a run whatever the count.
    const QStringList files
        = randomFiles(box, random, count, 2000, std::max(4000, 24'000'000 / count));
    ASSERT_EQ(finish(start(box, { QStringLiteral("init"), box.storePath() })), 0);

    // One run undisturbed, to know how long a run takes.
    Child whole;
    const qint64 runMicroseconds = timedRun(box,
        QStringList { QStringLiteral("add"), box.storePath(), QStringLiteral("whole") } + files,
        &whole);
    ASSERT_GT(runMicroseconds, 0) << text(whole.err).toStdString();
    EXPECT_EQ(
        checkStore(box.storePath(), QStringLiteral("whole"), reportedPictures(text(whole.out)))
            .size(),
        count);

    int killedMidway = 0;
    for (int point = 0; point < points; ++point) {
        SCOPED_TRACE(point);
        const QString folder = QStringLiteral("k%1").arg(point);
        Child child;
        const int status
            = killedRun(box, QStringList { QStringLiteral("add"), box.storePath(), folder } + files,
                random, runMicroseconds, &child);
        const QHash<QString, QString> reported = reportedPictures(text(child.out));
        const QStringList names = checkStore(box.storePath(), folder, reported);
        EXPECT_GE(names.size(), reported.size());
        killedMidway += status == -SIGKILL ? 1 : 0;
        if (status != -SIGKILL) {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(reported.size(), count);
        }
        // Earlier pictures are untouched by every kill.
        EXPECT_EQ(checkStore(box.storePath(), QStringLiteral("whole"), {}).size(), count);
    }
    ::testing::Test::RecordProperty("killed_inside_a_run", killedMidway);
    std::printf("%d of %d kills landed inside a run\n", killedMidway, points);
}

// zarvoctl compact does what every exit does. Killed at any moment, it leaves the store as it
// was or compacted, never damaged, with every picture unchanged; the next compaction clears what
// the killed one left.
TEST(ZarvoctlFaults, KilledCompactionLeavesTheOldOrTheNewStore)
{
    ASSERT_TRUE(QFileInfo(zarvoctlBinary()).isExecutable()) << zarvoctlBinary().toStdString();
    Sandbox box;
    const int points = environmentNumber("ZARVO_KILL_POINTS", 5);
    QRandomGenerator random(14);
    const QStringList files = randomFiles(box, random, 60, 100'000, 500'000);
    ASSERT_EQ(finish(start(box, { QStringLiteral("init"), box.storePath() })), 0);
    ASSERT_EQ(
        finish(start(box,
            QStringList { QStringLiteral("add"), box.storePath(), QStringLiteral("f") } + files)),
        0);
    QStringList kept;
    {
        SqliteStore::Opened opened = SqliteStore::open(box.storePath());
        ASSERT_TRUE(opened.store);
        opened.store->database().exec("DELETE FROM f WHERE rowid % 2 = 0");
        for (const PictureRow& row : opened.store->pictureRows(QStringLiteral("f")))
            kept.append(row.name);
    }
    const QString thinned = box.path(QStringLiteral("thinned.mdb"));
    ASSERT_TRUE(QFile::copy(box.storePath(), thinned));
    const qint64 thinnedSize = QFileInfo(thinned).size();
    const auto fresh = [&] {
        QFile::remove(box.storePath());
        return QFile::copy(thinned, box.storePath());
    };
    const QStringList compact { QStringLiteral("compact"), box.storePath() };

    // One run undisturbed, to know how long a compaction takes.
    ASSERT_TRUE(fresh());
    Child whole;
    const qint64 runMicroseconds = timedRun(box, compact, &whole);
    ASSERT_GT(runMicroseconds, 0) << text(whole.err).toStdString();
    ASSERT_LT(QFileInfo(box.storePath()).size(), thinnedSize * 3 / 4);

    int killedMidway = 0;
    int compacted = 0;
    for (int point = 0; point < points; ++point) {
        SCOPED_TRACE(point);
        ASSERT_TRUE(fresh());
        Child child;
        const int status = killedRun(box, compact, random, runMicroseconds, &child);
        killedMidway += status == -SIGKILL ? 1 : 0;
        if (status != -SIGKILL) {
            EXPECT_EQ(status, 0) << text(child.err).toStdString();
        }
        compacted += QFileInfo(box.storePath()).size() < thinnedSize ? 1 : 0;
        EXPECT_EQ(checkStore(box.storePath(), QStringLiteral("f"), {}), kept);

        // The next compaction works and clears what the killed one left.
        EXPECT_GT(timedRun(box, compact, &child), 0) << text(child.err).toStdString();
        const QStringList left = QDir(box.dir()).entryList(
            { QStringLiteral("~ACP*"), QStringLiteral("*-journal") }, QDir::Files | QDir::Hidden);
        EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
        EXPECT_EQ(checkStore(box.storePath(), QStringLiteral("f"), {}), kept);
    }
    std::printf("%d of %d kills landed inside a compaction, %d stores were compacted by then\n",
        killedMidway, points, compacted);
}

TEST(ZarvoctlFaults, FullDiskFailsWithWarningsAndKeepsTheStore)
{
    ASSERT_TRUE(QFileInfo(zarvoctlBinary()).isExecutable()) << zarvoctlBinary().toStdString();
    Sandbox box;
    QStringList earlier;
    QStringList later;
    for (int i = 0; i < 10; ++i) {
        earlier.append(box.writeFile(
            QStringLiteral("in/e%1.png").arg(i), QByteArray(50000 + i, char('a' + i))));
        later.append(box.writeFile(
            QStringLiteral("in/l%1.png").arg(i), QByteArray(100000 + i, char('A' + i))));
    }
    const QString out = box.path(QStringLiteral("out"));
    const QString err = box.path(QStringLiteral("err"));
    ASSERT_EQ(finish(start({ QStringLiteral("init"), box.storePath() }, out, err)), 0);
    ASSERT_EQ(
        finish(start(
            QStringList { QStringLiteral("add"), box.storePath(), QStringLiteral("f") } + earlier,
            out, err)),
        0);
    const QByteArray before = Sandbox::readFile(box.storePath());

    // Room for about one more picture of 100 kB (two 64 KiB pages).
    const Child adding
        = start(QStringList { QStringLiteral("add"), box.storePath(), QStringLiteral("f") } + later,
            out, err, rlim_t(before.size() + 150000));
    EXPECT_EQ(finish(adding), 1);
    const QHash<QString, QString> reported = reportedPictures(text(adding.out));
    EXPECT_LT(reported.size(), later.size());
    const QString warnings = text(adding.err);
    int warned = 0;
    for (const QString& file : later) {
        const bool failed
            = warnings.contains(QStringLiteral("文件 ") + file + QStringLiteral(" 添加失败"));
        EXPECT_NE(failed, reported.values().contains(file)) << file.toStdString();
        warned += failed ? 1 : 0;
    }
    EXPECT_EQ(warned + reported.size(), later.size());
    QStringList names = checkStore(box.storePath(), QStringLiteral("f"), reported);
    EXPECT_EQ(names.size(), earlier.size() + reported.size())
        << "no picture stored without being reported";

    // A new node in the tree whose save cannot write: the tree stays as it was.
    {
        SqliteStore::Opened opened = SqliteStore::open(box.storePath());
        ASSERT_TRUE(opened.store);
        opened.store->database().exec(
            "CREATE TABLE g(Name varchar(20), Come varchar(150), Blob OLEObject)");
    }
    const QByteArray tree = SqliteStore::open(box.storePath()).store->readTreeStream();
    const Child saving
        = start({ QStringLiteral("add"), box.storePath(), QStringLiteral("g"), earlier.first() },
            out, err, rlim_t(1024));
    EXPECT_EQ(finish(saving), 1);
    EXPECT_TRUE(text(saving.err).contains(QStringLiteral("树结构保存失败！")))
        << text(saving.err).toStdString();
    EXPECT_TRUE(text(saving.out).isEmpty());
    names = checkStore(box.storePath(), QStringLiteral("f"), reported);
    EXPECT_EQ(names.size(), earlier.size() + reported.size());
    EXPECT_EQ(SqliteStore::open(box.storePath()).store->readTreeStream(), tree);
    EXPECT_TRUE(checkStore(box.storePath(), QStringLiteral("g"), {}).isEmpty());
}
