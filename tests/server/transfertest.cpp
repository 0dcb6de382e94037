// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/pgtestserver.h"

#include "app/zarvoctl.h"
#include "store/pgstore.h"
#include "store/storetransfer.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

// Every folder of a store as "table: name come bytes-hash ..." lines, rows in order.
template <typename S> QStringList contents(S& store)
{
    QStringList lines;
    for (const QString& table : store.tableNames()) {
        if (table == QLatin1String("blob"))
            continue;
        QString line = table + QLatin1Char(':');
        for (const PictureRow& row : store.pictureRows(table))
            line += QStringLiteral(" %1|%2|%3")
                        .arg(row.name, row.come,
                            QString::number(qHash(store.readBlob(table, row.rowid))));
        lines.append(line);
    }
    lines.append(QString::fromUtf8(store.readTreeStream().toHex()));
    return lines;
}

// A store file of three folders, one of them empty, with 150 pictures of every byte value.
void fill(Store& store)
{
    RecordingPrompt prompt;
    store.createTreeTable();
    for (const QString& folder :
        { QStringLiteral("猫"), QStringLiteral("Dogs"), QStringLiteral("empty") })
        ASSERT_TRUE(store.CreateFolderTable(folder));
    for (int i = 0; i < 150; ++i) {
        QByteArray bytes(i * 37, char(i));
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b ^ i));
        store.appendPicture(i % 3 ? QStringLiteral("猫") : QStringLiteral("Dogs"),
            QStringLiteral("p%1").arg(i), QStringLiteral("/from/p%1.png").arg(i), bytes);
    }
    store.writeTreeStream("[\x01组]\r\n\t猫\r\n\tDogs\r\nempty\r\n");
}

int ctl(const QStringList& args)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = runZarvoctl(args, out, err);
    std::fclose(out);
    std::fclose(err);
    return status;
}

} // namespace

TEST(StoreTransfer, PushAndPullCopyEverythingAndRefuseAnUnmarkedTarget)
{
    Sandbox box;
    fill(box.store());
    const QStringList original = contents(box.store());
    box.closeStore();
    const QString uri = freshServerStore();

    EXPECT_EQ(ctl({ QStringLiteral("push"), box.storePath(), uri }), 0);
    auto server = PgStore::open(uri).store;
    ASSERT_TRUE(server);
    EXPECT_EQ(contents(*server), original);
    EXPECT_FALSE(server->TableExists(QStringLiteral("transfer mark")));
    // Once done, the server holds a store: a second push is refused and changes nothing.
    EXPECT_EQ(ctl({ QStringLiteral("push"), box.storePath(), uri }), 1);
    EXPECT_EQ(contents(*server), original);

    const QString copy = box.path(QStringLiteral("copy.mdb"));
    EXPECT_EQ(ctl({ QStringLiteral("pull"), uri, copy }), 0);
    Store::Opened pulled = Store::open(copy);
    ASSERT_TRUE(pulled.store);
    EXPECT_EQ(contents(*pulled.store), original);
    pulled.store.reset();

    // Merged into a store that has them, the pictures come again under free names.
    EXPECT_EQ(ctl({ QStringLiteral("pull"), uri, copy }), 1);
    EXPECT_EQ(ctl({ QStringLiteral("pull"), uri, copy, QStringLiteral("--merge") }), 0);
    pulled = Store::open(copy);
    ASSERT_TRUE(pulled.store);
    EXPECT_EQ(pulled.store->rowCount(QStringLiteral("Dogs")), 100);
    EXPECT_TRUE(pulled.store->locate(QStringLiteral("Dogs"), QStringLiteral("p3(1)")));
    EXPECT_EQ(pulled.store->readTreeStream(), box.store().readTreeStream());

    // Usage errors.
    for (const QStringList& args : { QStringList { QStringLiteral("push"), uri, copy },
             QStringList { QStringLiteral("pull"), copy, uri },
             QStringList { QStringLiteral("push"), copy } })
        EXPECT_EQ(ctl(args), 2) << args.join(QLatin1Char(' ')).toStdString();
}

TEST(StoreTransfer, AnInterruptedPushResumesFromItsMark)
{
    Sandbox box;
    fill(box.store());
    const QStringList original = contents(box.store());
    // Stopped after the first batch, in the second folder, and before the tree.
    for (int stopAfter : { 1, 2, 3 }) {
        const QString uri = freshServerStore(QString::number(stopAfter));
        auto server = PgStore::open(uri).store;
        ASSERT_TRUE(server);
        int batches = 0;
        const TransferOutcome stopped
            = pushStore(box.store(), box.storePath(), *server, false, [&](const QString&, qint64) {
                  if (++batches == stopAfter)
                      throw std::runtime_error("stopped");
              });
        EXPECT_EQ(stopped.result, TransferOutcome::Result::Failed);
        EXPECT_TRUE(server->TableExists(QStringLiteral("transfer mark")));
        // Another source may not continue it.
        EXPECT_EQ(pushStore(box.store(), QStringLiteral("/other.mdb"), *server, false).result,
            TransferOutcome::Result::OtherMark);
        const TransferOutcome resumed = pushStore(box.store(), box.storePath(), *server, false);
        EXPECT_EQ(resumed.result, TransferOutcome::Result::Done) << resumed.detail.toStdString();
        EXPECT_EQ(contents(*server), original) << stopAfter;
    }
}

TEST(StoreTransfer, APushKilledInTheMiddleOfABatchResumes)
{
    Sandbox box;
    fill(box.store());
    const QStringList original = contents(box.store());
    box.closeStore();
    const QString uri = freshServerStore();
    auto server = PgStore::open(uri).store;
    ASSERT_TRUE(server);

    QProcess push;
    push.start(qEnvironmentVariable("ZARVO_BINARY_DIR") + QStringLiteral("/zarvoctl"),
        { QStringLiteral("push"), box.storePath(), uri });
    ASSERT_TRUE(push.waitForStarted());
    // After its first batch, the next one waits for the mark while holding its pictures.
    while (!push.canReadLine())
        ASSERT_TRUE(push.waitForReadyRead(60000));
    PgStore::Transaction hold(*server);
    server->exec(QStringLiteral("LOCK TABLE \"transfer mark\" IN SHARE MODE"));
    while (server
               ->exec(QStringLiteral("SELECT count(*) FROM pg_locks WHERE NOT granted "
                                     "AND relation='\"transfer mark\"'::regclass"))
               .value(0)
        == QLatin1String("0"))
        ASSERT_EQ(push.state(), QProcess::Running);
    push.kill();
    push.waitForFinished();
    hold.commit();

    EXPECT_EQ(ctl({ QStringLiteral("push"), box.storePath(), uri }), 0);
    EXPECT_EQ(contents(*server), original);
}
