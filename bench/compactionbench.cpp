// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// The exit compaction on a large store, against copying the store file. Usage:
//   zarvo_bench_compaction [--repeat N] [--megabytes M] WORKDIR
// Makes a store of about M megabytes (default 1000) in a temporary directory under WORKDIR: one
// folder table of 2 MiB pictures of random bytes, one commit each. Then, in this order:
//   "cp + sync"                     `cp` of the store file and `sync` of the copy and its
//                                   directory, best of N
//   "compact, nothing to reclaim"   CompactStore on the store as it is, best of N (the store is
//                                   only checked)
//   "compact after deleting half"   CompactStore after every other picture was deleted, best of
//                                   N rounds, each on the same thinned store restored from a copy
//   "cp + sync of compacted"        as above, of the compacted store file, once after each
//                                   round, best of N
//   "compact / cp + sync"           the best compaction over the best copy of the compacted file
//   "size before", "size after"     the store file before and after that compaction, in MB
// Each round prints its steps on standard error: wall and CPU seconds (all threads) since the
// compaction started, with the load average, and its own ratio.
// The store files are read from the page cache: each was just written or copied. Every timing
// starts after a sync(), so that no write-back of earlier steps falls into it, and after a
// gigabyte of page cache was dropped (see ballast). The compactions run as the program runs its
// exit compaction: with the caller's lock on the store, released afterwards, outside the timing
// (the replaced store file is freed then; the round prints how long that took).
// Prints RESULT <tab> set <tab> column <tab> value <tab> unit (s, MB, ratio) for bench/run.sh.

#include "store/compaction.h"
#include "store/sqlitestore.h"
#include "store/storelock.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <SQLiteCpp/Transaction.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

using namespace zarvo;

namespace {

const char kUsage[] = "zarvo_bench_compaction [--repeat N] [--megabytes M] WORKDIR";
const char kSet[] = "store";
constexpr int kPictureBytes = 2 << 20;

using Clock = std::chrono::steady_clock;

double loadAverage()
{
    double load = -1;
    ::getloadavg(&load, 1);
    return load;
}

Clock::time_point compactionStart;

double compactionCpuStart;

// The CPU time of the process so far (all threads, user and system), in seconds.
double cpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A step of a compaction on standard error: wall and CPU seconds since it started.
void printAt(const char* name)
{
    std::fprintf(stderr, "  %-14s %.3f s wall  %.3f s CPU  load %.2f\n", name,
        std::chrono::duration<double>(Clock::now() - compactionStart).count(),
        cpuSeconds() - compactionCpuStart, loadAverage());
}

void printStep(CompactionStep step)
{
    static const char* const names[] = { "copied", "checked", "replaced", "copying back" };
    printAt(names[int(step)]);
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void result(const char* column, double value, const char* unit)
{
    std::printf("RESULT\t%s\t%s\t%.3f\t%s\n", kSet, column, value, unit);
    std::fflush(stdout);
}

QString shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1String("'"), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// A file of a gigabyte whose page cache is dropped before every timed step. In a virtual machine
// that hands free memory back to its host, the first write into memory the guest has not used
// lately costs several times a write into memory it freed a moment ago (2.7 s against 0.3 s of
// system time per GB written here), and the page cache of whatever is written next takes such
// memory. Dropping a gigabyte of page cache just before each timed step gives the compaction and
// the cp it is compared with the same, recently freed memory, as on a machine of its own.
QString ballast;

bool makeBallast(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(1 << 20, 'b');
    for (int i = 0; i < 1024; ++i)
        if (file.write(block) != block.size())
            return false;
    ballast = path;
    return file.flush();
}

// Called after the sync() that precedes a timing: reads the ballast into the page cache, then
// drops it again, freeing a gigabyte of memory.
void freeRecentMemory()
{
    const int fd = ::open(QFile::encodeName(ballast).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    static char buffer[1 << 20];
    while (::read(fd, buffer, sizeof buffer) > 0) { }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// Best of `repeat` runs of cp + sync of file into dir; negative when a run failed.
double copyAndSync(const QString& file, const QString& dir, int repeat)
{
    const QString copy = QDir(dir).filePath(QStringLiteral("copy.mdb"));
    const QByteArray command = QStringLiteral("cp %1 %2 && sync %2 %3")
                                   .arg(shellQuoted(file), shellQuoted(copy), shellQuoted(dir))
                                   .toLocal8Bit();
    double best = -1;
    for (int r = 0; r < repeat; ++r) {
        QFile::remove(copy);
        ::sync();
        freeRecentMemory();
        const Clock::time_point start = Clock::now();
        if (std::system(command.constData()) != 0)
            return -1;
        const double seconds = secondsSince(start);
        best = best < 0 ? seconds : std::min(best, seconds);
    }
    QFile::remove(copy);
    return best;
}

// A store of `pictures` random pictures in the folder "f"; false when that failed.
bool makeStore(const QString& path, int pictures)
{
    if (!SqliteStore::create(path))
        return false;
    SqliteStore::Opened opened = SqliteStore::open(path);
    if (!opened.store)
        return false;
    SqliteStore& store = *opened.store;
    store.database().exec("CREATE TABLE f(Name varchar(20), Come varchar(150), Blob OLEObject)");
    std::mt19937_64 random(20260101);
    QByteArray bytes(kPictureBytes, Qt::Uninitialized);
    for (int i = 0; i < pictures; ++i) {
        auto* words = reinterpret_cast<std::uint64_t*>(bytes.data());
        std::generate(words, words + kPictureBytes / 8, random);
        store.appendPicture(
            QStringLiteral("f"), QString::number(i), QStringLiteral("/random.jpg"), bytes);
    }
    return true;
}

int run(int repeat, int megabytes, const QString& workDir)
{
    QTemporaryDir dir(QDir(workDir).filePath(QStringLiteral("compaction-XXXXXX")));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a directory in %s\n", qPrintable(workDir));
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    if (!makeBallast(dir.filePath(QStringLiteral("ballast")))) {
        std::fprintf(
            stderr, "cannot write %s\n", qPrintable(dir.filePath(QStringLiteral("ballast"))));
        return 1;
    }
    const int pictures = std::max(2, int(qint64(megabytes) * 1000000 / kPictureBytes));
    std::fprintf(stderr, "making a store of %d pictures of %d bytes\n", pictures, kPictureBytes);
    if (!makeStore(path, pictures)) {
        std::fprintf(stderr, "cannot make the store %s\n", qPrintable(path));
        return 1;
    }

    const double copied = copyAndSync(path, dir.path(), repeat);
    result("cp + sync", copied, "s");

    double unchanged = -1;
    for (int r = 0; r < repeat; ++r) {
        QString error;
        std::shared_ptr<StoreLock> lock = StoreLock::acquire(path, &error);
        ::sync();
        freeRecentMemory();
        const Clock::time_point start = Clock::now();
        if (!lock || !CompactStore(path, QString(), lock, &error)) {
            std::fprintf(stderr, "compaction failed: %s\n", qPrintable(error));
            return 1;
        }
        const double seconds = secondsSince(start);
        unchanged = unchanged < 0 ? seconds : std::min(unchanged, seconds);
    }
    result("compact, nothing to reclaim", unchanged, "s");

    {
        SqliteStore::Opened opened = SqliteStore::open(path);
        if (!opened.store)
            return 1;
        SQLite::Transaction transaction(opened.store->database());
        opened.store->database().exec("DELETE FROM f WHERE rowid % 2 = 0");
        transaction.commit();
    }
    // Each round compacts the same thinned store, restored from a copy, then copies the result.
    const qint64 before = QFileInfo(path).size();
    const QString thinned = dir.filePath(QStringLiteral("thinned.mdb"));
    if (!QFile::copy(path, thinned))
        return 1;
    qint64 after = 0;
    double compacted = -1;
    double copiedCompacted = -1;
    SetCompactionStepHook(printStep);
    for (int r = 0; r < repeat; ++r) {
        if (r > 0 && (!QFile::remove(path) || !QFile::copy(thinned, path)))
            return 1;
        QString error;
        std::shared_ptr<StoreLock> lock = StoreLock::acquire(path, &error);
        ::sync();
        freeRecentMemory();
        std::fprintf(stderr, "compaction after deleting half, round %d:\n", r + 1);
        compactionCpuStart = cpuSeconds();
        const Clock::time_point start = compactionStart = Clock::now();
        if (!lock || !CompactStore(path, QString(), lock, &error)) {
            std::fprintf(stderr, "compaction failed: %s\n", qPrintable(error));
            return 1;
        }
        const double seconds = secondsSince(start);
        printAt("returned");
        lock.reset(); // the old store file goes, as when the program ends after the compaction
        printAt("lock released");
        after = QFileInfo(path).size();
        const double copiedOnce = copyAndSync(path, dir.path(), 1);
        std::fprintf(stderr, "  cp + sync of compacted %.3f s, ratio %.2f\n", copiedOnce,
            seconds / copiedOnce);
        compacted = compacted < 0 ? seconds : std::min(compacted, seconds);
        copiedCompacted = copiedCompacted < 0 ? copiedOnce : std::min(copiedCompacted, copiedOnce);
    }
    SetCompactionStepHook(nullptr);
    result("compact after deleting half", compacted, "s");
    result("cp + sync of compacted", copiedCompacted, "s");
    if (copiedCompacted > 0)
        result("compact / cp + sync", compacted / copiedCompacted, "ratio");
    result("size before", double(before) / 1e6, "MB");
    result("size after", double(after) / 1e6, "MB");
    return copied > 0 && copiedCompacted > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    int repeat = 2;
    int megabytes = 1000;
    int at = 1;
    for (; at + 1 < argc && argv[at][0] == '-'; at += 2) {
        const std::string option = argv[at];
        if (option == "--repeat")
            repeat = std::max(1, std::atoi(argv[at + 1]));
        else if (option == "--megabytes")
            megabytes = std::max(1, std::atoi(argv[at + 1]));
        else
            break;
    }
    if (at + 1 != argc) {
        std::fprintf(stderr, "usage: %s\n", kUsage);
        return 2;
    }
    return run(repeat, megabytes, QString::fromLocal8Bit(argv[at]));
}
