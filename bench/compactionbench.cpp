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
//   "compact after deleting half"   CompactStore after every other picture was deleted, once
//   "cp + sync of compacted"        as above, of the compacted store file, best of N
//   "compact / cp + sync"           the compaction over the copy of the compacted file
//   "size before", "size after"     the store file before and after that compaction, in MB
// The store files are read from the page cache: each was just written or copied. Every timing
// starts after a sync(), so that no write-back of earlier steps falls into it.
// Prints RESULT <tab> set <tab> column <tab> value <tab> unit (s, MB, ratio) for bench/run.sh.

#include "store/compaction.h"
#include "store/store.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <SQLiteCpp/Transaction.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unistd.h>

using namespace zarvo;

namespace {

const char kUsage[] = "zarvo_bench_compaction [--repeat N] [--megabytes M] WORKDIR";
const char kSet[] = "store";
constexpr int kPictureBytes = 2 << 20;

using Clock = std::chrono::steady_clock;

Clock::time_point compactionStart;

// The steps of a compaction on standard error, in seconds since it started.
void printStep(CompactionStep step)
{
    static const char* const names[] = { "copied", "checked", "replaced", "copying back" };
    std::fprintf(stderr, "  %-14s %.3f s\n", names[int(step)],
        std::chrono::duration<double>(Clock::now() - compactionStart).count());
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
    if (!Store::create(path))
        return false;
    Store::Opened opened = Store::open(path);
    if (!opened.store)
        return false;
    Store& store = *opened.store;
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
        ::sync();
        const Clock::time_point start = Clock::now();
        if (!CompactStore(path, QString(), nullptr, &error)) {
            std::fprintf(stderr, "compaction failed: %s\n", qPrintable(error));
            return 1;
        }
        const double seconds = secondsSince(start);
        unchanged = unchanged < 0 ? seconds : std::min(unchanged, seconds);
    }
    result("compact, nothing to reclaim", unchanged, "s");

    {
        Store::Opened opened = Store::open(path);
        if (!opened.store)
            return 1;
        SQLite::Transaction transaction(opened.store->database());
        opened.store->database().exec("DELETE FROM f WHERE rowid % 2 = 0");
        transaction.commit();
    }
    const qint64 before = QFileInfo(path).size();
    QString error;
    SetCompactionStepHook(printStep);
    ::sync();
    const Clock::time_point start = compactionStart = Clock::now();
    if (!CompactStore(path, QString(), nullptr, &error)) {
        std::fprintf(stderr, "compaction failed: %s\n", qPrintable(error));
        return 1;
    }
    const double compacted = secondsSince(start);
    SetCompactionStepHook(nullptr);
    const qint64 after = QFileInfo(path).size();
    result("compact after deleting half", compacted, "s");
    const double copiedCompacted = copyAndSync(path, dir.path(), repeat);
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
