// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/pgtestserver.h"

#include "store/pgstore.h"
#include "support/recordingprompt.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

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
    RecordingPrompt prompt;
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
    RecordingPrompt prompt;
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
    RecordingPrompt prompt;
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
    RecordingPrompt prompt;
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
}

TEST(PgStoreClients, ALostConnectionFailsItsTransactionAndIsMadeAgain)
{
    const QString uri = freshServerStore();
    auto a = connect(uri);
    auto b = connect(uri);
    ASSERT_TRUE(a && b);
    RecordingPrompt prompt;
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
