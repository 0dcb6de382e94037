// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/pgtestserver.h"

#include "folders/findsession.h"
#include "store/pgpicturereader.h"
#include "store/pgstore.h"
#include "support/recordingprompt.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace zarvo;
using namespace zarvo::test;

namespace {

std::unique_ptr<PgStore> connect(const QString& uri)
{
    PgStore::Opened opened = PgStore::open(uri);
    EXPECT_TRUE(opened.store) << opened.detail.toStdString();
    return std::move(opened.store);
}

QByteArray everyByte(int repeat)
{
    QByteArray bytes;
    for (int r = 0; r < repeat; ++r)
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
    return bytes;
}

QStringList names(const QList<PictureRow>& rows)
{
    QStringList list;
    for (const PictureRow& row : rows)
        list.append(row.name);
    return list;
}

} // namespace

TEST(PgStoreOpen, UnreachableServerIsReportedAndUrisAreRecognised)
{
    EXPECT_FALSE(PgStore::open(QStringLiteral("postgresql:///none?host=/nonexistent")).store);
    EXPECT_FALSE(
        PgStore::open(QStringLiteral("postgresql:///none?host=/nonexistent")).detail.isEmpty());
    EXPECT_TRUE(PgStore::isUri(QStringLiteral("postgresql://h/db")));
    EXPECT_TRUE(PgStore::isUri(QStringLiteral("postgres://h/db")));
    EXPECT_FALSE(PgStore::isUri(QStringLiteral("data.mdb")));
    EXPECT_FALSE(PgStore::isUri(QStringLiteral("./postgresql://x")));
}

TEST(PgStoreTables, LiveInTheSearchPathsSchemaAndFoldOnlyAsciiLetters)
{
    const QString uri = freshServerStore();
    auto store = connect(uri);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->schema().toStdString(), "PgStoreTables.LiveInTheSearchPathsSchemaAndFoldOnl");
    store->createTreeTable();
    for (const QString& name : { QStringLiteral("Cat"), QStringLiteral("Été"),
             QStringLiteral("a\"b; DROP TABLE blob"), QStringLiteral("猫") })
        EXPECT_TRUE(store->CreateFolderTable(name)) << name.toStdString();
    // The same name up to A-Z is the table there is; other letters are other names.
    EXPECT_TRUE(store->CreateFolderTable(QStringLiteral("cAT")));
    EXPECT_TRUE(store->CreateFolderTable(QStringLiteral("été")));
    EXPECT_EQ(store->tableNames(),
        (QStringList { QStringLiteral("blob"), QStringLiteral("Cat"), QStringLiteral("Été"),
            QStringLiteral("a\"b; DROP TABLE blob"), QStringLiteral("猫"),
            QStringLiteral("été") }));
    EXPECT_EQ(store->existingTableName(QStringLiteral("CAT")), QStringLiteral("Cat"));
    EXPECT_TRUE(store->existingTableName(QStringLiteral("ÉTÉ")).isEmpty());

    // Names the server cannot take are refused, and nothing is made.
    const QString tooLong(22, QChar(0x732b)); // 66 UTF-8 bytes
    for (const QString& name : { tooLong, QString() })
        EXPECT_FALSE(store->CreateFolderTable(name));
    EXPECT_EQ(store->tableNames().size(), 6);

    // A table may take the name of one of the store's indexes, and a renamed table keeps
    // finding its pictures by name.
    EXPECT_TRUE(store->CreateFolderTable(QStringLiteral("Name index 1")));
    store->appendPicture(QStringLiteral("Cat"), QStringLiteral("tom"), QString(), "x");
    store->renameTable(QStringLiteral("Cat"), QStringLiteral("Name index 2"));
    EXPECT_TRUE(store->locate(QStringLiteral("Name index 2"), QStringLiteral("TOM")));
    EXPECT_THROW(store->renameTable(QStringLiteral("猫"), tooLong), PgStore::Error);
    store->dropTable(QStringLiteral("Name index 2"));
    EXPECT_FALSE(store->TableExists(QStringLiteral("name index 2")));

    // Another schema of the same database is another store.
    auto other = connect(freshServerStore(QStringLiteral("2")));
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->tableNames().isEmpty());
}

TEST(PgStorePictures, BytesNamesAndRowsBehaveAsInTheFileStore)
{
    auto store = connect(freshServerStore());
    ASSERT_TRUE(store);
    const QString f = QStringLiteral("F");
    const QString g = QStringLiteral("G");
    ASSERT_TRUE(store->CreateFolderTable(f));
    ASSERT_TRUE(store->CreateFolderTable(g));

    const struct
    {
        QString name;
        QByteArray bytes;
    } pictures[] = {
        { QStringLiteral("empty"), QByteArray("") },
        { QStringLiteral("every byte"), everyByte(4) },
        { QStringLiteral("Tom"), QByteArray(3 << 20, '\0') + everyByte(1) },
        { QStringLiteral("it's \"q\""), QByteArray("\0\0\xff", 3) },
        { QStringLiteral("Ä"), QByteArray("a") },
    };
    QList<qint64> rows;
    for (const auto& p : pictures)
        rows.append(store->appendPicture(f, p.name, QStringLiteral("/in/") + p.name, p.bytes));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(store->readBlob(f, rows[i]), pictures[i].bytes) << i;
        if (i > 0) {
            EXPECT_GT(rows[i], rows[i - 1]);
        }
    }
    EXPECT_EQ(store->pictureRows(f).value(2).size, (3 << 20) + 256);
    EXPECT_EQ(store->rowCount(f), 5);
    EXPECT_THROW(store->readBlob(f, rows.last() + 1000), PgStore::Error);

    // Whole names, A-Z case ignored and nothing else; quotes never widen a match.
    const struct
    {
        QString asked;
        QString found; // empty: none
    } lookups[] = {
        { QStringLiteral("TOM"), QStringLiteral("Tom") },
        { QStringLiteral("to"), QString() },
        { QStringLiteral("tom%"), QString() },
        { QStringLiteral("ä"), QString() },
        { QStringLiteral("IT'S \"Q\""), QStringLiteral("it's \"q\"") },
        { QStringLiteral("' OR ''='"), QString() },
    };
    for (const auto& l : lookups) {
        const auto row = store->locate(f, l.asked);
        EXPECT_EQ(row ? row->name : QString(), l.found) << l.asked.toStdString();
    }
    EXPECT_EQ(store->deletePicture(f, QStringLiteral("' OR ''='")), 0);
    EXPECT_EQ(store->renamePicture(f, QStringLiteral("Jerry"), QStringLiteral("tOM")), 1);
    EXPECT_EQ(store->pastePicture(g, QStringLiteral("copy"), f, QStringLiteral("JERRY")), 1);
    EXPECT_EQ(store->pastePicture(g, QStringLiteral("none"), f, QStringLiteral("tom")), 0);
    EXPECT_EQ(
        store->readBlob(g, store->locate(g, QStringLiteral("copy"))->rowid), pictures[2].bytes);
    store->copyFolderRows(g, f);
    EXPECT_EQ(names(store->pictureRows(g)),
        (QStringList { QStringLiteral("copy"), QStringLiteral("empty"),
            QStringLiteral("every byte"), QStringLiteral("Jerry"), QStringLiteral("it's \"q\""),
            QStringLiteral("Ä") }));
    EXPECT_EQ(store->deletePicture(g, QStringLiteral("JERRY")), 1);
    EXPECT_EQ(store->pictureRows(g).size(), 5);

    // NULL fields read as empty texts and no bytes; names keep NULL as a null text.
    store->exec(QStringLiteral("INSERT INTO \"F\" (\"Name\") VALUES (NULL)"));
    const PictureRow last = store->pictureRows(f).last();
    EXPECT_TRUE(last.name.isEmpty() && last.come.isEmpty());
    EXPECT_EQ(last.size, 0);
    EXPECT_TRUE(store->pictureNames(f).last().isNull());
    EXPECT_TRUE(store->readBlob(f, last.rowid).isEmpty());

    // A transaction rolled back leaves nothing.
    {
        PgStore::Transaction transaction(*store);
        store->appendPicture(f, QStringLiteral("gone"), QString(), "x");
    }
    EXPECT_FALSE(store->locate(f, QStringLiteral("gone")));
}

TEST(PgStoreReading, AFolderComesInBatchesBoundedByCountAndBytes)
{
    auto store = connect(freshServerStore());
    ASSERT_TRUE(store);
    const QString f = QStringLiteral("F");
    ASSERT_TRUE(store->CreateFolderTable(f));
    const int count = 230;
    qint64 total = 0;
    for (int i = 0; i < count; ++i) {
        const QByteArray bytes = QByteArray::number(i).repeated(i * 300);
        total += bytes.size();
        store->appendPicture(f, QString::number(i), QString(), bytes);
    }
    const struct
    {
        int maxRows;
        qint64 maxBytes;
    } limits[] = { { 50, 64LL << 20 }, { 100, 1 << 20 }, { 1, 1 } };
    for (const auto& limit : limits) {
        const qint64 before = store->roundTrips();
        int seen = 0;
        bool inOrder = true;
        store->readFolder(
            f,
            [&](const PictureRow& row, const QByteArray& bytes) {
                inOrder = inOrder && row.name == QString::number(seen)
                    && bytes == QByteArray::number(seen).repeated(seen * 300);
                ++seen;
                return true;
            },
            limit.maxRows, limit.maxBytes);
        EXPECT_EQ(seen, count);
        EXPECT_TRUE(inOrder);
        // One round trip for the rows, then one per batch, each but the last one full.
        const qint64 batches = count / limit.maxRows + total / limit.maxBytes + 2;
        EXPECT_LE(store->roundTrips() - before, std::min<qint64>(batches, count + 1))
            << limit.maxRows << " rows, " << limit.maxBytes << " bytes";
    }
    int seen = 0;
    store->readFolder(f, [&](const PictureRow&, const QByteArray&) { return ++seen < 3; });
    EXPECT_EQ(seen, 3);
    // The rest of the batch was cancelled; the connection serves the next statement.
    EXPECT_EQ(store->rowCount(f), count);
}

TEST(PgStoreRows, ACopyAppendsInOrderKeepsNullsAndLeavesNothingWhenItFails)
{
    auto store = connect(freshServerStore());
    ASSERT_TRUE(store);
    const QString f = QStringLiteral("F");
    ASSERT_TRUE(store->CreateFolderTable(f));
    store->appendPicture(f, QStringLiteral("first"), QString(), "1");
    const QList<PgStore::NewPicture> pictures = {
        { QString(), QStringLiteral("/a.jpg"), QByteArray() },
        { QStringLiteral("Ä b"), QString(), everyByte(3000) },
        { QStringLiteral("c"), QStringLiteral("/c.png"), QByteArray("\0\r\n", 3) },
    };
    qsizetype next = 0;
    const qint64 before = store->roundTrips();
    EXPECT_EQ(store->appendPictures(f,
                  [&](PgStore::NewPicture& picture) {
                      if (next == pictures.size())
                          return false;
                      picture = pictures[next++];
                      return true;
                  }),
        3);
    const qint64 trips = store->roundTrips() - before;
    QList<PgStore::NewPicture> read;
    store->readFolder(f, [&](const PictureRow& row, const QByteArray& bytes) {
        read.append({ row.name, row.come, bytes });
        return true;
    });
    ASSERT_EQ(read.size(), 4);
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        EXPECT_EQ(read[i + 1].name, pictures[i].name) << i;
        EXPECT_EQ(read[i + 1].come.isNull(), pictures[i].come.isNull()) << i;
        EXPECT_EQ(read[i + 1].bytes, pictures[i].bytes) << i;
    }
    // A NULL name stays NULL; an empty picture is empty bytes, not NULL.
    EXPECT_EQ(store->exec(QStringLiteral("SELECT count(*) FROM \"F\" WHERE \"Name\" IS NULL")),
        QStringList { QStringLiteral("1") });
    EXPECT_EQ(store->exec(QStringLiteral("SELECT count(*) FROM \"F\" WHERE \"Blob\" IS NULL")),
        QStringList { QStringLiteral("0") });

    // A failure while the rows are sent: none of them is kept, in a transaction or not, and
    // the round trips do not grow with the rows.
    for (const bool inTransaction : { false, true }) {
        std::optional<PgStore::Transaction> transaction;
        if (inTransaction)
            transaction.emplace(*store);
        int sent = 0;
        const qint64 start = store->roundTrips();
        EXPECT_THROW(store->appendPictures(f,
                         [&](PgStore::NewPicture& picture) {
                             if (++sent > 20)
                                 throw std::runtime_error("the source went away");
                             picture = { QStringLiteral("n"), QString(), everyByte(sent) };
                             return true;
                         }),
            std::runtime_error);
        EXPECT_LE(store->roundTrips() - start, trips);
        if (transaction)
            transaction->commit();
        EXPECT_EQ(store->rowCount(f), 4) << inTransaction;
    }
}

TEST(PgStoreRows, TheNamesOfManyTablesComeInOneQueryAndAGoneTableIsSkipped)
{
    auto store = connect(freshServerStore());
    ASSERT_TRUE(store);
    for (const char* name : { "A", "B", "C" })
        ASSERT_TRUE(store->CreateFolderTable(QString::fromLatin1(name)));
    store->appendPicture(QStringLiteral("A"), QStringLiteral("x1"), QString(), "1");
    store->appendPicture(QStringLiteral("A"), QString(), QString(), "2");
    store->appendPicture(QStringLiteral("A"), QStringLiteral("Xy"), QString(), "3");
    store->appendPicture(QStringLiteral("C"), QStringLiteral("zx"), QString(), "4");
    const QStringList tables = { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") };

    qint64 before = store->roundTrips();
    const QList<QStringList> names = store->pictureNames(tables);
    EXPECT_EQ(store->roundTrips() - before, 1);
    ASSERT_EQ(names.size(), 3);
    EXPECT_EQ(names[0], (QStringList { QStringLiteral("x1"), QString(), QStringLiteral("Xy") }));
    EXPECT_TRUE(names[0][1].isNull());
    EXPECT_TRUE(names[1].isEmpty());
    EXPECT_EQ(names[2], QStringList { QStringLiteral("zx") });

    // The search finds in the tables' order and rows' order, A-Z folded, NULL names never.
    before = store->roundTrips();
    EXPECT_EQ(FindFiles(*store, tables, QStringLiteral("X")),
        (QStringList { QStringLiteral("文件夹: A  -> 文件名:x1"),
            QStringLiteral("文件夹: A  -> 文件名:Xy"),
            QStringLiteral("文件夹: C  -> 文件名:zx") }));
    EXPECT_EQ(store->roundTrips() - before, 1);

    // A table another client dropped since the list was read.
    store->dropTable(QStringLiteral("B"));
    EXPECT_EQ(FindFiles(*store, tables, QStringLiteral("x")).size(), 3);
}

TEST(PgPictureReaderTest, ReadsAheadInBatchesFollowsTheOrderItIsGivenAndFallsBackCleanly)
{
    const QString uri = freshServerStore();
    auto store = connect(uri);
    ASSERT_TRUE(store);
    const QString f = QStringLiteral("F");
    ASSERT_TRUE(store->CreateFolderTable(f));
    const int count = 40;
    for (int i = 0; i < count; ++i)
        store->appendPicture(f, QString::number(i), QString(), everyByte(i));
    const QList<PictureRow> rows = store->pictureRows(f);
    // A picture deleted after the rows were read is gone when asked for.
    store->deletePicture(f, QStringLiteral("5"));
    const auto readAll = [&](PictureReader& reader, const QList<int>& order) {
        for (int i : order) {
            if (i == 5)
                EXPECT_THROW(reader.read(rows[i].rowid), PgStore::Error);
            else
                EXPECT_EQ(reader.read(rows[i].rowid), everyByte(i)) << i;
        }
    };
    QList<int> inOrder;
    for (int i = 0; i < count; ++i)
        inOrder.append(i);

    const qint64 ownTrips = store->roundTrips();
    {
        // Asked in the order expected: one round trip per batch of 4 rows.
        PgPictureReader reader(*store, f, 4, 1 << 20);
        reader.expect(rows);
        readAll(reader, inOrder);
        EXPECT_EQ(reader.roundTrips(), count / 4);
    }
    {
        // The order moves (the user scrolled): rows 30.. first, then row 12 that was never
        // expected; the connection the first reader gave back serves this one. Up to 30 kB
        // wait: the rows up to 15 may be read ahead before the order moves.
        PgPictureReader reader(*store, f, 4, 30'000);
        reader.expect(rows);
        EXPECT_EQ(reader.read(rows[0].rowid), everyByte(0));
        reader.expect(rows.mid(30) + rows.mid(1, 10));
        QList<int> moved = inOrder.mid(30);
        moved.append(12);
        moved += inOrder.mid(1, 10);
        readAll(reader, moved);
        // Up to 4 batches before the order moved, batches of 4 for the 21 rows expected after,
        // the row asked out of turn.
        EXPECT_LE(reader.roundTrips(), 4 + (21 + 3) / 4 + 1);
    }
    EXPECT_EQ(store->roundTrips(), ownTrips) << "the readers have connections of their own";
    {
        // Left after two pictures: the reading stops, the reader goes without waiting for it.
        PgPictureReader reader(*store, f, 1, 1);
        reader.expect(rows);
        readAll(reader, { 0, 1 });
    }
    // A folder that cannot be read: the reading fails, and each row asked is read as readBlob
    // reads it, failing the same way.
    PgPictureReader gone(*store, QStringLiteral("no such folder"));
    gone.expect(rows);
    EXPECT_THROW(gone.read(rows[0].rowid), PgStore::Error);
    EXPECT_THROW(gone.read(rows[1].rowid), PgStore::Error);
}

TEST(PgStoreClients, AnOlderTreeIsRefusedAndChangesAreAnnounced)
{
    const QString uri = freshServerStore();
    auto a = connect(uri);
    auto b = connect(uri);
    ASSERT_TRUE(a && b);
    a->createTreeTable();
    EXPECT_EQ(a->readTree().version, 0);
    b->listen();

    qint64 version = 0;
    ASSERT_EQ(a->saveTree("first\r\n", 0, &version), PgStore::TreeSave::Saved);
    const PgStore::Tree seen = b->readTree();
    EXPECT_EQ(seen.stream, QByteArray("first\r\n"));
    EXPECT_EQ(seen.version, version);
    EXPECT_EQ(a->saveTree("first\r\nsecond\r\n", version), PgStore::TreeSave::Saved);
    // b still builds on what it read: refused, and a's tree stays.
    EXPECT_EQ(b->saveTree("mine\r\n", seen.version), PgStore::TreeSave::Conflict);
    EXPECT_EQ(a->readTreeStream(), QByteArray("first\r\nsecond\r\n"));
    const PgStore::Tree reloaded = b->readTree();
    EXPECT_EQ(b->saveTree("first\r\nmine\r\n", reloaded.version), PgStore::TreeSave::Saved);
    EXPECT_EQ(a->readTreeStream(), QByteArray("first\r\nmine\r\n"));
    EXPECT_EQ(
        a->exec(QStringLiteral("SELECT count(*) FROM blob")), QStringList(QStringLiteral("1")));

    // b hears of a's tree saves and of pictures added to a folder, never of its own changes.
    ASSERT_TRUE(a->CreateFolderTable(QStringLiteral("Cat")));
    a->appendPicture(QStringLiteral("Cat"), QStringLiteral("tom"), QString(), "x");
    b->appendPicture(QStringLiteral("Cat"), QStringLiteral("jerry"), QString(), "y");
    b->exec(QStringLiteral("SELECT 1")); // what a committed before this has arrived after it
    int trees = 0;
    QStringList folders;
    for (const PgStore::Notification& n : b->takeNotifications()) {
        trees += n.tree ? 1 : 0;
        if (!n.folder.isEmpty())
            folders.append(n.folder);
    }
    EXPECT_EQ(trees, 2);
    EXPECT_EQ(folders, QStringList(QStringLiteral("Cat")));
    EXPECT_GE(b->socket(), 0);

    // A tree saved in a transaction that rolls back: a save based on the version it got is
    // based on the one before; so it is taken when nobody saved meanwhile, and refused, not
    // written over, when another client saved a tree that got that same version.
    const qint64 before = a->readTree().version;
    qint64 undone = 0;
    {
        Store::Transaction transaction(*a);
        ASSERT_EQ(a->saveTree("undone\r\n", before, &undone), PgStore::TreeSave::Saved);
    }
    EXPECT_EQ(a->readTree().version, before);
    qint64 saved = 0;
    EXPECT_EQ(a->saveTree("kept\r\n", undone, &saved), PgStore::TreeSave::Saved);
    {
        Store::Transaction transaction(*a);
        ASSERT_EQ(a->saveTree("undone\r\n", saved, &undone), PgStore::TreeSave::Saved);
    }
    qint64 others = 0;
    ASSERT_EQ(b->saveTree("b's\r\n", saved, &others), PgStore::TreeSave::Saved);
    ASSERT_EQ(others, undone);
    EXPECT_EQ(a->saveTree("lost\r\n", undone), PgStore::TreeSave::Conflict);
    EXPECT_EQ(a->readTreeStream(), QByteArray("b's\r\n"));
}

TEST(PgStoreClients, ALostConnectionFailsItsTransactionAndIsMadeAgain)
{
    const QString uri = freshServerStore();
    auto a = connect(uri);
    auto b = connect(uri);
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->CreateFolderTable(QStringLiteral("F")));
    // Only b's own server process goes: other tests use the server at the same time.
    const auto killB = [&] {
        const QString pid = b->exec(QStringLiteral("SELECT pg_backend_pid()")).value(0);
        // Waits until the process has ended.
        a->exec(QStringLiteral("SELECT pg_terminate_backend($1::int, 60000)"), { pid });
    };
    {
        PgStore::Transaction transaction(*b);
        b->appendPicture(QStringLiteral("F"), QStringLiteral("half"), QString(), "x");
        killB();
        EXPECT_THROW(b->appendPicture(QStringLiteral("F"), QStringLiteral("more"), QString(), "y"),
            PgStore::Error);
        EXPECT_THROW(transaction.commit(), PgStore::Error);
    }
    EXPECT_EQ(a->rowCount(QStringLiteral("F")), 0);
    // Outside a transaction too, the command that finds the connection lost fails (whether its
    // statement reached the server is unknown, so it is not sent again); the next reconnects.
    killB();
    EXPECT_THROW(b->appendPicture(QStringLiteral("F"), QStringLiteral("lost"), QString(), "z"),
        PgStore::Error);
    b->appendPicture(QStringLiteral("F"), QStringLiteral("after"), QString(), "z");
    EXPECT_EQ(a->pictureNames(QStringLiteral("F")), QStringList(QStringLiteral("after")));
}
