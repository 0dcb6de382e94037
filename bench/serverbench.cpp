// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// A folder on a PostgreSQL server against the same folder in the store file it was pushed from.
// Usage: zarvo_bench_server [--repeat N] STORE URI SET
//        zarvo_bench_server --search URI
// Prints RESULT <tab> SET <tab> column <tab> value <tab> unit, ms per picture, best of N:
//   "server folder opening", "file folder opening", "server opening / file opening"
//       What opening a folder does, without the window: the rows (names, kinds, sizes) in one
//       query, then every picture's bytes read and decoded into a 150 x 150 thumbnail by the
//       opening's ThumbnailPipeline (no thumbnail cache, one worker per core), rows in stored
//       order, the bytes read by the folder view's own FolderReading: from the file each
//       picture when the pipeline needs it (Store::readBlob), from the server in batches read
//       ahead on a connection of its own (PgPictureReader) while the workers decode.
//   "server folder read", "file folder read", "server read / file read"
//       Reading alone, every row and its bytes and nothing else: PgStore::readFolder against
//       Store::pictureRows and readBlob per row.
//   "server round trips", "round-trip bound"
//       Statements of one server opening (its rows, then the reader's batches) against
//       N/50 + bytes/64 MB + 5; "server read round trips", those of readFolder alone.
// With --search, in the empty schema of URI: 20,000 pictures in 100 folders named as the file
// search bench names them, each 4 kB of noise (stored out of line like any picture over 2 kB,
// so a row holds its name and a pointer, as with photographs); then the file search as the
// search window runs it (the table list, then FindFiles), ms per search, best of 5, set
// "search": "server search: no match", "server search: 1% match", "server search: every name",
// and "server search round trips" of one search.

#include "folders/findsession.h"
#include "imaging/picturekind.h"
#include "store/heap.h"
#include "store/pgstore.h"
#include "store/sqlitestore.h"
#include "store/store.h"
#include "view/folderreading.h"
#include "view/thumbnailpipeline.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>

using namespace zarvo;

namespace {

void result(const QString& set, const char* column, double value, const char* unit)
{
    std::printf("RESULT\t%s\t%s\t%.4f\t%s\n", set.toUtf8().constData(), column, value, unit);
}

// Opens the folder the way the folder view does; the number of thumbnails made. *trips: the
// round trips of the bytes' reading.
int openFolder(ThumbnailPipeline& pipeline, Store& store, const QString& folder,
    const QList<PictureRow>& rows, qint64* trips = nullptr)
{
    FolderReading reading(store, folder, rows, pipeline.cache());
    int made = 0;
    pipeline.run(
        int(rows.size()), [&](int i) { return reading.job(i); },
        [&](int, const DecodedPicture& result) { made += result.ok() ? 1 : 0; });
    if (trips)
        *trips = reading.roundTrips();
    return made;
}

int searchServer(const QString& uri)
{
    PgStore::Opened server = PgStore::open(uri);
    if (!server.store) {
        std::fprintf(stderr, "cannot open the server: %s\n", server.detail.toUtf8().constData());
        return 1;
    }
    PgStore& store = *server.store;
    constexpr int kPictures = 20000;
    constexpr int kFolders = 100;
    QRandomGenerator random(7);
    qint64 perHundred = 0;
    for (int f = 0; f < kFolders; ++f) {
        const QString folder = QStringLiteral("folder%1").arg(f);
        if (!store.CreateFolderTable(folder)) {
            std::fprintf(stderr, "%s\n", Store::createFailedText(folder).toUtf8().constData());
            return 1;
        }
        int p = 0;
        store.appendPictures(folder, [&](PgStore::NewPicture& picture) {
            if (p == kPictures / kFolders)
                return false;
            // One name in a hundred holds "qq".
            picture.name = QStringLiteral("IMG_%1_%2%3")
                               .arg(f)
                               .arg(p)
                               .arg(p % 100 == 7 ? QStringLiteral("qq") : QString());
            picture.come = QStringLiteral("/photos/") + picture.name + QStringLiteral(".jpg");
            picture.bytes = QByteArray(4096, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32*>(picture.bytes.data()), 1024);
            perHundred += p % 100 == 7 ? 1 : 0;
            ++p;
            return true;
        });
    }
    store.exec(QStringLiteral("ANALYZE"));
    struct Search
    {
        const char* column;
        QString text;
        qsizetype expected;
    };
    const Search searches[] = {
        { "server search: no match", QStringLiteral("nothing"), 0 },
        { "server search: 1% match", QStringLiteral("QQ"), perHundred },
        { "server search: every name", QStringLiteral("img_"), kPictures },
    };
    qint64 trips = 0;
    for (const Search& search : searches) {
        double best = std::numeric_limits<double>::max();
        for (int r = 0; r < 5; ++r) {
            QElapsedTimer timer;
            timer.start();
            const qint64 before = store.roundTrips();
            const QStringList found = FindFiles(store, store.tableNames(), search.text);
            best = qMin(best, timer.nsecsElapsed() / 1e6);
            trips = store.roundTrips() - before;
            if (found.size() != search.expected) {
                std::fprintf(stderr, "%s: %d results, %d expected\n", search.column,
                    int(found.size()), int(search.expected));
                return 1;
            }
        }
        result(QStringLiteral("search"), search.column, best, "ms");
    }
    result(QStringLiteral("search"), "server search round trips", double(trips), "count");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    keepPictureBuffersOnHeap();
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int repeat = 2;
    if (args.size() > 1 && args[0] == QLatin1String("--repeat")) {
        repeat = qMax(1, args[1].toInt());
        args = args.mid(2);
    }
    if (args.size() == 2 && args[0] == QLatin1String("--search"))
        return searchServer(args[1]);
    if (args.size() != 3) {
        std::fprintf(
            stderr, "usage: zarvo_bench_server [--repeat N] STORE URI SET | --search URI\n");
        return 2;
    }
    const QString set = args[2];
    SqliteStore::Opened file = SqliteStore::open(args[0]);
    PgStore::Opened server = PgStore::open(args[1]);
    if (!file.store || !server.store) {
        std::fprintf(stderr, "cannot open the stores: %s %s\n", file.detail.toUtf8().constData(),
            server.detail.toUtf8().constData());
        return 1;
    }
    const QString folder = file.store->existingTableName(set);
    double bestServer = std::numeric_limits<double>::max();
    double bestFile = bestServer;
    qint64 trips = 0;
    qint64 count = 0;
    qint64 bytes = 0;
    for (int r = 0; r < repeat; ++r) {
        QElapsedTimer timer;
        timer.start();
        count = 0;
        bytes = 0;
        const qint64 before = server.store->roundTrips();
        server.store->readFolder(folder, [&](const PictureRow&, const QByteArray& data) {
            ++count;
            bytes += data.size();
            return true;
        });
        trips = server.store->roundTrips() - before;
        bestServer = qMin(bestServer, timer.nsecsElapsed() / 1e6);

        timer.restart();
        qint64 fileBytes = 0;
        for (const PictureRow& row : file.store->pictureRows(folder))
            fileBytes += file.store->readBlob(folder, row.rowid).size();
        bestFile = qMin(bestFile, timer.nsecsElapsed() / 1e6);
        if (fileBytes != bytes) {
            std::fprintf(stderr, "the stores differ: %lld and %lld bytes\n",
                static_cast<long long>(fileBytes), static_cast<long long>(bytes));
            return 1;
        }
    }
    if (count == 0)
        return 1;

    // The openings.
    ThumbnailPipeline pipeline(std::shared_ptr<ThumbnailCache> {});
    double bestServerOpen = std::numeric_limits<double>::max();
    double bestFileOpen = bestServerOpen;
    qint64 openTrips = 0;
    for (int r = 0; r < repeat; ++r) {
        QElapsedTimer timer;
        timer.start();
        const qint64 before = server.store->roundTrips();
        const QList<PictureRow> serverRows = server.store->pictureRows(folder);
        qint64 readerTrips = 0;
        const int serverMade
            = openFolder(pipeline, *server.store, folder, serverRows, &readerTrips);
        openTrips = server.store->roundTrips() - before + readerTrips;
        bestServerOpen = qMin(bestServerOpen, timer.nsecsElapsed() / 1e6);

        timer.restart();
        const QList<PictureRow> fileRows = file.store->pictureRows(folder);
        const int fileMade = openFolder(pipeline, *file.store, folder, fileRows);
        bestFileOpen = qMin(bestFileOpen, timer.nsecsElapsed() / 1e6);
        if (serverMade != fileMade || fileMade != count) {
            std::fprintf(stderr, "thumbnails made: %d from the server, %d from the file of %lld\n",
                serverMade, fileMade, static_cast<long long>(count));
            return 1;
        }
    }

    result(set, "server folder opening", bestServerOpen / double(count), "ms");
    result(set, "file folder opening", bestFileOpen / double(count), "ms");
    result(set, "server opening / file opening", bestServerOpen / bestFileOpen, "ratio");
    result(set, "server folder read", bestServer / double(count), "ms");
    result(set, "file folder read", bestFile / double(count), "ms");
    result(set, "server read / file read", bestServer / bestFile, "ratio");
    result(set, "server round trips", double(openTrips), "count");
    result(set, "server read round trips", double(trips), "count");
    result(set, "round-trip bound", double(count) / 50 + double(bytes) / (64 << 20) + 5, "count");
    return 0;
}
