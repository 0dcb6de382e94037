// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Reading a whole folder, rows and bytes, from a store on a PostgreSQL server (PgStore's batched
// reading) against the same folder in the store file it was pushed from (rows, then each BLOB).
// Usage: zarvo_bench_server [--repeat N] STORE URI SET
// Prints RESULT <tab> SET <tab> column <tab> value <tab> unit:
//   "server folder read", "file folder read"  ms per picture, best of N
//   "server read / file read"                 their ratio
//   "server round trips", "round-trip bound"  statements of one server reading, against
//                                             N/50 + bytes/64 MB + 5

#include "store/pgstore.h"
#include "store/sqlitestore.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <limits>

using namespace zarvo;

namespace {

void result(const QString& set, const char* column, double value, const char* unit)
{
    std::printf("RESULT\t%s\t%s\t%.4f\t%s\n", set.toUtf8().constData(), column, value, unit);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    int repeat = 2;
    if (args.size() > 1 && args[0] == QLatin1String("--repeat")) {
        repeat = qMax(1, args[1].toInt());
        args = args.mid(2);
    }
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: zarvo_bench_server [--repeat N] STORE URI SET\n");
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
    result(set, "server folder read", bestServer / double(count), "ms");
    result(set, "file folder read", bestFile / double(count), "ms");
    result(set, "server read / file read", bestServer / bestFile, "ratio");
    result(set, "server round trips", double(trips), "count");
    result(set, "round-trip bound", double(count) / 50 + double(bytes) / (64 << 20) + 5, "count");
    return 0;
}
