// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// The built zarvoctl under faults it cannot catch: killed with SIGKILL in the middle of adding,
// of importing a directory tree (then run again) or of compacting, and writing into a full disk (a
// file size limit, so that writes fail with EFBIG). After each, the store must be intact, every
// picture zarvoctl reported as added must be there unchanged, and nothing may be reported that did
// not happen.
//
// ZARVO_KILL_POINTS and ZARVO_KILL_PICTURES make the kill tests run longer (bench/kill.sh).
#include "store/foldertree.h"
#include "store/sqlitestore.h"
#include "store/store.h"
#include "store/treeblob.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <SQLiteCpp/Statement.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
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
// with SIGXFSZ ignored, so that a write beyond it fails with EFBIG instead of killing. With
// `pipeOut`, stdout goes into a pipe whose reading end it receives instead.
Child start(const QStringList& args, const QString& out, const QString& err,
    rlim_t fileSizeLimit = 0, int* pipeOut = nullptr)
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
    int ends[2] = { -1, -1 };
    if (pipeOut && ::pipe2(ends, O_CLOEXEC) != 0)
        return child;
    child.pid = ::fork();
    if (child.pid == 0) {
        const int o
            = pipeOut ? ends[1] : ::open(outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
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
    if (pipeOut) {
        ::close(ends[1]);
        *pipeOut = ends[0];
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

// Opens the store, which rolls back what a killed writer left, and expects SQLite's check to
// pass; null (a failure recorded) when it does not open.
std::unique_ptr<SqliteStore> openChecked(const QString& storePath)
{
    SqliteStore::Opened opened = SqliteStore::open(storePath);
    if (!opened.store) {
        ADD_FAILURE() << "the store does not open: " << opened.detail.toStdString();
        return nullptr;
    }
    SQLite::Statement check(opened.store->database(), "PRAGMA integrity_check");
    EXPECT_TRUE(check.executeStep());
    EXPECT_EQ(check.getColumn(0).getString(), "ok");
    return std::move(opened.store);
}

// The store passes SQLite's check, every row of `folder` is whole (its bytes are those of the
// file its `Come` names), and every reported picture is there. Returns the names of the rows.
QStringList checkStore(
    const QString& storePath, const QString& folder, const QHash<QString, QString>& reported)
{
    const std::unique_ptr<SqliteStore> opened = openChecked(storePath);
    if (!opened)
        return {};
    SqliteStore& store = *opened;
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

// A directory tree of `count` picture files of random bytes (no two alike) and a text file, with
// every kind of node: folders, a group, a group with pictures of its own and two directories of
// one name (the second becomes a suffixed node).
void writeImportTree(Sandbox& box, QRandomGenerator& random, int count)
{
    static const char* const kDirectories[] = { "tree/2024", "tree/2024/spring", "tree/2024/summer",
        "tree/cards/a", "tree/cards/summer" };
    box.writeFile(QStringLiteral("tree/cards/notes.txt"), "not a picture");
    // About 12 MB whatever the count.
    const int high = std::max(4000, 24'000'000 / count);
    for (int i = 0; i < count; ++i) {
        QByteArray bytes(int(random.bounded(2000, high)), Qt::Uninitialized);
        for (char& c : bytes)
            c = char(random.generate());
        box.writeFile(QStringLiteral("%1/IMG_%2.jpg")
                          .arg(QLatin1String(kDirectories[i % std::size(kDirectories)]))
                          .arg(i),
            bytes);
    }
}

// Runs args with stdout into a pipe and kills it with SIGKILL once `lines` lines have come out;
// returns its exit status (-SIGKILL when the kill came before its end), its output in `out`.
int killedAfterLines(Sandbox& box, const QStringList& args, int lines, QString* out)
{
    int fd = -1;
    const Child child = start(args, QString(), box.path(QStringLiteral("err")), 0, &fd);
    if (child.pid < 0)
        return -1;
    QByteArray output;
    bool killed = false;
    for (;;) {
        if (!killed && output.count('\n') >= lines)
            killed = ::kill(child.pid, SIGKILL) == 0;
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        output.append(buffer, got);
    }
    ::close(fd);
    *out = QString::fromLocal8Bit(output);
    return finish(child);
}

// The "path -> folder/name" lines of zarvoctl import: path for each "folder/name".
QHash<QString, QString> reportedImports(const QString& output)
{
    QHash<QString, QString> pictures;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        const qsizetype arrow = line.indexOf(QStringLiteral(" -> "));
        if (arrow > 0)
            pictures.insert(line.mid(arrow + 4), line.left(arrow));
    }
    return pictures;
}

// What any run of the import, killed or not, must leave: SQLite's check ok, node names unique
// in the tree, a table for every folder node and a folder node for every table, every row whole
// (its bytes are those of the file its `Come` names) and fingerprinted, no two rows of the same
// bytes, and every reported picture there. Returns the tree with each folder's names, sorted.
QStringList checkImport(const QString& storePath, const QHash<QString, QString>& reported)
{
    const std::unique_ptr<SqliteStore> opened = openChecked(storePath);
    if (!opened)
        return {};
    SqliteStore& store = *opened;
    FolderTree tree;
    RecordingPrompt prompt;
    if (store.TableExists(QStringLiteral("blob"))) {
        EXPECT_TRUE(OpenBlob(store, tree, prompt));
    }
    QStringList layout;
    QSet<QString> nodeNames;
    QSet<QString> folders;
    QSet<QByteArray> contents;
    qint64 rows = 0;
    tree.forEachNode([&](QStandardItem* node) {
        const QString text = FolderTree::nodeText(node);
        const QString name = FolderTree::isGroup(node) ? text.mid(1) : text;
        EXPECT_FALSE(nodeNames.contains(name.toLower())) << "a second node " << text.toStdString();
        nodeNames.insert(name.toLower());
        QString line = QString(2 * FolderTree::level(node), QLatin1Char(' ')) + text;
        if (!FolderTree::isGroup(node)) {
            folders.insert(text);
            QStringList names;
            for (const PictureRow& row : store.pictureRows(text)) {
                names.append(row.name);
                ++rows;
                const QByteArray bytes = store.readBlob(text, row.rowid);
                EXPECT_EQ(bytes, Sandbox::readFile(row.come)) << row.come.toStdString();
                EXPECT_FALSE(contents.contains(bytes))
                    << "stored twice: " << row.come.toStdString();
                contents.insert(bytes);
            }
            names.sort();
            line += QLatin1Char(':') + names.join(QLatin1Char(','));
        }
        layout.append(line);
    });
    const QStringList tableNames = store.tableNames();
    QSet<QString> tables(tableNames.begin(), tableNames.end());
    tables.remove(QStringLiteral("blob"));
    EXPECT_EQ(tables, folders) << "tables and folder nodes differ";
    if (rows > 0) {
        SQLite::Statement fingerprints(store.database(),
            "SELECT count(*) FROM " + Store::quoted(Store::kFingerprintTable).toStdString());
        EXPECT_TRUE(fingerprints.executeStep());
        EXPECT_EQ(fingerprints.getColumn(0).getInt64(), rows);
    }
    for (auto it = reported.begin(); it != reported.end(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(QLatin1Char('/'));
        const std::optional<PictureRow> row
            = store.locate(it.key().left(slash), it.key().mid(slash + 1));
        EXPECT_TRUE(row.has_value()) << "reported but missing: " << it.key().toStdString();
        if (row) {
            EXPECT_EQ(row->come, it.value());
        }
    }
    return layout;
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

// zarvoctl import killed at random points and run again, over and over: after every kill the
// store is intact, holds no node twice, no table without its node and no picture twice, and the
// run that ends leaves the layout an undisturbed import makes.
TEST(ZarvoctlFaults, KilledImportResumesWithoutDuplicates)
{
    ASSERT_TRUE(QFileInfo(zarvoctlBinary()).isExecutable()) << zarvoctlBinary().toStdString();
    Sandbox box;
    const int points = environmentNumber("ZARVO_KILL_POINTS", 6);
    const int count = environmentNumber("ZARVO_KILL_PICTURES", 60);
    QRandomGenerator random(16);
    writeImportTree(box, random, count);
    const QString tree = box.path(QStringLiteral("tree"));
    const auto importInto = [&](const QString& store) {
        return QStringList { QStringLiteral("import"), store, tree };
    };
    const auto init = [&](const QString& store) {
        QFile::remove(store);
        return finish(start(box, { QStringLiteral("init"), store }));
    };

    // Undisturbed, into a store of its own: the layout every import must end with (three
    // groups, five folders).
    const QString reference = box.path(QStringLiteral("reference.mdb"));
    ASSERT_EQ(init(reference), 0);
    Child whole;
    const qint64 runMicroseconds = timedRun(box, importInto(reference), &whole);
    ASSERT_GT(runMicroseconds, 0) << text(whole.err).toStdString();
    const QHash<QString, QString> all = reportedImports(text(whole.out));
    EXPECT_EQ(all.size(), count);
    const QStringList expected = checkImport(reference, all);
    ASSERT_EQ(expected.size(), 8) << expected.join(u'\n').toStdString();

    int killedMidway = 0;
    bool fresh = true;
    for (int point = 0; point < points; ++point) {
        SCOPED_TRACE(point);
        if (fresh) {
            ASSERT_EQ(init(box.storePath()), 0);
        }
        // Every other kill comes after a random count of committed pictures, the others after a
        // random delay (inside a commit, the fingerprint build, the making of a folder).
        QString output;
        int status = 0;
        if (point % 2 == 0) {
            status = killedAfterLines(
                box, importInto(box.storePath()), int(random.bounded(count + 1)), &output);
        } else {
            Child child;
            status = killedRun(box, importInto(box.storePath()), random, runMicroseconds, &child);
            output = text(child.out);
        }
        const QStringList layout = checkImport(box.storePath(), reportedImports(output));
        killedMidway += status == -SIGKILL ? 1 : 0;
        fresh = status != -SIGKILL;
        if (fresh) {
            EXPECT_EQ(status, 0) << text(box.path(QStringLiteral("err"))).toStdString();
            EXPECT_EQ(layout, expected);
        }
    }
    // The last run ends, having added what was missing.
    Child last;
    EXPECT_GT(timedRun(box, importInto(box.storePath()), &last), 0) << text(last.err).toStdString();
    EXPECT_EQ(checkImport(box.storePath(), reportedImports(text(last.out))), expected);
    std::printf("%d of %d kills landed inside an import\n", killedMidway, points);
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
