// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// Importing a directory tree against `cp -r` + `sync`, the duplicate lookup on a store of 100,000
// fingerprints, and fingerprinting a store that has none against reading its bytes.
//   zarvo_bench_importdir WORKDIR
// Prints "RESULT<TAB>set<TAB>column<TAB>value<TAB>unit" lines.
#include "pictures/importtree.h"
#include "store/foldertree.h"
#include "store/sqlitestore.h"
#include "store/treeblob.h"
#include "view/consoleprompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <SQLiteCpp/Database.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

using namespace zarvo;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void result(const char* set, const char* column, double value, const char* unit)
{
    std::printf("RESULT\t%s\t%s\t%.3f\t%s\n", set, column, value, unit);
    std::fflush(stdout);
}

QByteArray randomBytes(std::mt19937_64& random, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; i += 8) {
        const quint64 word = random();
        std::memcpy(bytes.data() + i, &word, size_t(std::min<qsizetype>(8, size - i)));
    }
    return bytes;
}

// 2,000 files in 60 directories three levels deep (3 x 4 x 5); with photos, every fourth file
// is a photo of about 1.5 MB, the others icons of a few KB. Returns the bytes written.
qint64 makeTree(const QString& root, bool photos, quint64 seed)
{
    std::mt19937_64 random(seed);
    qint64 total = 0;
    int file = 0;
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 4; ++b)
            for (int c = 0; c < 5; ++c) {
                const QString dir
                    = QStringLiteral("%1/album %2/year %3/day %4").arg(root).arg(a).arg(b).arg(c);
                QDir().mkpath(dir);
                const int count = (a * 20 + b * 5 + c) < 20 ? 34 : 33;
                for (int i = 0; i < count && file < 2000; ++i, ++file) {
                    const bool photo = photos && file % 4 == 0;
                    static const char* const kSmall[] = { "ico", "gif", "bmp", "png" };
                    const QString name = photo ? QStringLiteral("IMG_%1.jpg").arg(file)
                                               : QStringLiteral("icon%1.%2")
                                                     .arg(file)
                                                     .arg(QLatin1String(kSmall[file % 4]));
                    const QByteArray bytes = randomBytes(random,
                        photo ? 1'400'000 + qsizetype(random() % 200'000)
                              : 1'000 + qsizetype(random() % 7'000));
                    QFile out(dir + QLatin1Char('/') + name);
                    if (out.open(QIODevice::WriteOnly))
                        out.write(bytes);
                    total += bytes.size();
                }
            }
    return total;
}

void dropCaches()
{
    // Best effort: the source files stay in the page cache for both sides alike otherwise.
    QProcess::execute(QStringLiteral("sync"), {});
}

void measureImport(const QString& work, const char* set, bool photos)
{
    const QString source = work + QStringLiteral("/source-") + QLatin1String(set);
    const qint64 bytes = makeTree(source, photos, photos ? 1 : 2);
    dropCaches();
    const QString copy = work + QStringLiteral("/copy-") + QLatin1String(set);
    auto start = Clock::now();
    QProcess::execute(QStringLiteral("sh"),
        { QStringLiteral("-c"), QStringLiteral("cp -r \"$0\" \"$1\" && sync -f \"$1\""), source,
            copy });
    const double copied = secondsSince(start);
    QDir(copy).removeRecursively();

    const QString path
        = work + QStringLiteral("/import-") + QLatin1String(set) + QStringLiteral(".mdb");
    QFile::remove(path);
    SqliteStore::create(path);
    dropCaches();
    start = Clock::now();
    {
        SqliteStore::Opened opened = SqliteStore::open(path);
        ConsolePrompt prompt(true, nullptr);
        FolderTree tree;
        OpenBlob(*opened.store, tree, prompt);
        opened.store->buildFingerprints();
        ImportHooks hooks;
        hooks.saveTree = [&] { return SaveTree(*opened.store, tree, prompt); };
        const ImportResult imported
            = importDirectory(*opened.store, tree, nullptr, source, ImportOptions {}, hooks);
        if (imported.added != 2000)
            std::fprintf(stderr, "imported %d of 2000\n", imported.added);
    }
    const double importing = secondsSince(start);
    result(set, "import MB/s", bytes / 1e6 / importing, "MB/s");
    result(set, "cp -r + sync MB/s", bytes / 1e6 / copied, "MB/s");
    result(set, "import / cp", copied / importing, "ratio");

    if (photos) {
        // Fingerprinting the same store without its fingerprints, against reading its bytes.
        SqliteStore::Opened opened = SqliteStore::open(path);
        opened.store->database().exec("DROP TABLE \"Zarvo picture fingerprints\"");
        opened.store.reset(); // the lock goes with it
        opened = SqliteStore::open(path);
        SqliteStore& store = *opened.store;
        start = Clock::now();
        qint64 read = 0;
        for (const QString& table : store.tableNames())
            if (table != QStringLiteral("blob"))
                for (const PictureRow& row : store.pictureRows(table))
                    read += store.readBlob(table, row.rowid).size();
        const double reading = secondsSince(start);
        start = Clock::now();
        store.buildFingerprints();
        const double fingerprinting = secondsSince(start);
        result(set, "read all bytes s", reading, "s");
        result(set, "fingerprint store s", fingerprinting, "s");
        result(set, "fingerprint / read", fingerprinting / reading, "ratio");
    }
    QDir(source).removeRecursively();
    QFile::remove(path);
}

void measureLookup(const QString& work)
{
    const QString path = work + QStringLiteral("/lookup.mdb");
    QFile::remove(path);
    SqliteStore::create(path);
    SqliteStore::Opened opened = SqliteStore::open(path);
    SqliteStore& store = *opened.store;
    ConsolePrompt prompt(true, nullptr);
    store.CreateFolderTable(QStringLiteral("f"));
    store.buildFingerprints();
    std::mt19937_64 random(3);
    QList<QByteArray> stored;
    {
        Store::Transaction transaction(store);
        for (int i = 0; i < 100'000; ++i) {
            const QByteArray bytes = randomBytes(random, 64);
            store.appendPicture(
                QStringLiteral("f"), QString::number(i), QStringLiteral("/x.png"), bytes);
            if (i % 100 == 0)
                stored.append(bytes);
        }
        transaction.commit();
    }
    const int lookups = 1000;
    auto start = Clock::now();
    int found = 0;
    for (int i = 0; i < lookups; ++i)
        found += store.findSameBytes(randomBytes(random, 64)).has_value();
    const double misses = secondsSince(start);
    start = Clock::now();
    for (const QByteArray& bytes : stored)
        found += store.findSameBytes(bytes).has_value();
    const double hits = secondsSince(start);
    if (found != stored.size())
        std::fprintf(stderr, "found %d of %lld\n", found, qint64(stored.size()));
    result("100,000 fingerprints", "lookup, new content", misses * 1000 / lookups, "ms");
    result("100,000 fingerprints", "lookup, stored content", hits * 1000 / stored.size(), "ms");
    opened.store.reset();
    QFile::remove(path);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarvo_bench_importdir WORKDIR\n");
        return 2;
    }
    QTemporaryDir dir(
        QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("importdir-XXXXXX")));
    if (!dir.isValid())
        return 1;
    measureImport(dir.path(), "tree: photos and icons", true);
    measureImport(dir.path(), "tree: small files", false);
    measureLookup(dir.path());
    return 0;
}
