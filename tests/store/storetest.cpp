// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/sqlitestore.h"
#include "store/storelock.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

QString columnType(SqliteStore& store, const QString& table, int column)
{
    SQLite::Statement info(store.database(), "SELECT type FROM pragma_table_info(?) ORDER BY cid");
    info.bind(1, table.toStdString());
    for (int i = 0; info.executeStep(); ++i)
        if (i == column)
            return QString::fromStdString(info.getColumn(0).getString());
    return {};
}

// The folder tables, each with its indexes' names: "table: index, index".
QStringList indexesByTable(SqliteStore& store)
{
    SQLite::Statement query(store.database(),
        "SELECT t.name, group_concat(i.name, ', ') FROM sqlite_schema t LEFT JOIN sqlite_schema i "
        "ON i.type='index' AND i.tbl_name=t.name WHERE t.type='table' AND t.name<>'blob' "
        "GROUP BY t.name ORDER BY t.rowid");
    QStringList lines;
    while (query.executeStep())
        lines.append(QString::fromStdString(query.getColumn(0).getString()) + QStringLiteral(": ")
            + QString::fromStdString(query.getColumn(1).getString()));
    return lines;
}

// A folder table as stores made before the name index have them.
void createOldFolderTable(SqliteStore& store, const QString& name)
{
    store.database().exec(QStringLiteral("CREATE TABLE %1(Name varchar(20), Come varchar(150), "
                                         "Blob OLEObject)")
                              .arg(Store::quoted(name))
                              .toStdString());
}

// Database pages the call fetches (from the cache or the file).
template <typename F> int pagesRead(SqliteStore& store, F call)
{
    const auto fetched = [&] {
        int total = 0;
        for (int op : { SQLITE_DBSTATUS_CACHE_HIT, SQLITE_DBSTATUS_CACHE_MISS }) {
            int current = 0;
            int highest = 0;
            sqlite3_db_status(store.database().getHandle(), op, &current, &highest, 0);
            total += current;
        }
        return total;
    };
    const int before = fetched();
    call();
    return fetched() - before;
}

} // namespace

TEST(StoreOpen, TellsMissingDamagedAndLockedApart)
{
    Sandbox box;
    EXPECT_EQ(SqliteStore::open(box.storePath()).error, Store::OpenError::Missing);
    EXPECT_FALSE(QFile::exists(box.storePath())) << "opening must never create the store";

    box.writeFile(QStringLiteral("data.mdb"), QByteArray());
    EXPECT_EQ(SqliteStore::open(box.storePath()).error, Store::OpenError::NotADatabase);

    box.writeFile(QStringLiteral("data.mdb"), QByteArray(8192, 'x'));
    const SqliteStore::Opened text = SqliteStore::open(box.storePath());
    EXPECT_EQ(text.error, Store::OpenError::NotADatabase);
    EXPECT_FALSE(text.detail.isEmpty());

    QFile::remove(box.storePath());
    ASSERT_TRUE(SqliteStore::create(box.storePath()));
    EXPECT_FALSE(SqliteStore::create(box.storePath())) << "create must not overwrite";
    SqliteStore::Opened first = SqliteStore::open(box.storePath());
    ASSERT_EQ(first.error, Store::OpenError::None);
    EXPECT_EQ(SqliteStore::open(box.storePath()).error, Store::OpenError::Locked);
    first.store.reset();
    EXPECT_EQ(SqliteStore::open(box.storePath()).error, Store::OpenError::None)
        << "the lock goes with the store";
}

TEST(StoreLock, LocksThroughADescriptorOpenForWritingAndSaysWhenInUse)
{
    // On NFS, flock() is emulated with byte-range locks, which need a descriptor open for writing.
    Sandbox box;
    box.store();
    box.closeStore();
    StoreLock::Failure failure = StoreLock::Failure::CannotLock;
    std::shared_ptr<StoreLock> lock = StoreLock::acquire(box.storePath(), nullptr, &failure);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(failure, StoreLock::Failure::None);
    int lockModes = 0;
    const QString target = QFileInfo(box.storePath()).canonicalFilePath();
    for (const QFileInfo& fd :
        QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files)) {
        if (fd.symLinkTarget() != target)
            continue;
        QFile info(QStringLiteral("/proc/self/fdinfo/") + fd.fileName());
        ASSERT_TRUE(info.open(QIODevice::ReadOnly));
        for (const QByteArray& line : info.readAll().split('\n'))
            if (line.startsWith("flags:"))
                lockModes |= 1 << (line.mid(6).trimmed().toInt(nullptr, 8) & O_ACCMODE);
    }
    EXPECT_EQ(lockModes, 1 << O_RDWR);

    QString error;
    EXPECT_EQ(StoreLock::acquire(box.storePath(), &error, &failure), nullptr);
    EXPECT_EQ(failure, StoreLock::Failure::InUse);
    EXPECT_EQ(error, QStringLiteral("the store is in use by another program"));
}

TEST(StoreOpen, DamagedHeaderIsNotADatabase)
{
    Sandbox box;
    RecordingPrompt prompt;
    box.store().CreateFolderTable(QStringLiteral("a"));
    box.closeStore();
    QByteArray bytes = Sandbox::readFile(box.storePath());
    ASSERT_GT(bytes.size(), 100);
    bytes.replace(0, 16, QByteArray(16, '\x7f'));
    box.writeFile(QStringLiteral("data.mdb"), bytes);
    EXPECT_EQ(SqliteStore::open(box.storePath()).error, Store::OpenError::NotADatabase);
}

TEST(StoreOpen, ReadOnlyStoreIsRefused)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes to read-only files";
    Sandbox box;
    box.store();
    box.closeStore();
    QFile::setPermissions(box.storePath(), QFileDevice::ReadOwner);
    EXPECT_EQ(SqliteStore::open(box.storePath()).error, Store::OpenError::ReadOnly);
}

TEST(StoreOpen, NewStoreHasLargePagesAndNoTables)
{
    Sandbox box;
    SqliteStore& store = box.store();
    SQLite::Statement pageSize(store.database(), "PRAGMA page_size");
    ASSERT_TRUE(pageSize.executeStep());
    EXPECT_EQ(pageSize.getColumn(0).getInt(), 65536);
    EXPECT_TRUE(store.tableNames().isEmpty());
}

TEST(StoreTables, FolderTablesHaveTheirColumnsAndNamesFoldOnlyAsciiLetters)
{
    Sandbox box;
    RecordingPrompt prompt;
    SqliteStore& store = box.store();
    store.createTreeTable();
    EXPECT_TRUE(store.TableExists(QStringLiteral("BLOB")));
    EXPECT_TRUE(store.TableExists(QStringLiteral("Blob")));

    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("Cats")));
    EXPECT_EQ(columnType(store, QStringLiteral("Cats"), 0), QStringLiteral("varchar(20)"));
    EXPECT_EQ(columnType(store, QStringLiteral("Cats"), 1), QStringLiteral("varchar(150)"));
    EXPECT_EQ(columnType(store, QStringLiteral("Cats"), 2), QStringLiteral("OLEObject"));
    EXPECT_TRUE(store.TableExists(QStringLiteral("cATS")));
    EXPECT_EQ(store.existingTableName(QStringLiteral("CATS")), QStringLiteral("Cats"));
    EXPECT_FALSE(store.TableExists(QStringLiteral("Cat")));

    // An existing name (any case) sends nothing and counts as success.
    EXPECT_TRUE(store.CreateFolderTable(QStringLiteral("cats")));
    EXPECT_EQ(store.tableNames(), (QStringList { QStringLiteral("blob"), QStringLiteral("Cats") }));
    EXPECT_TRUE(prompt.popups.isEmpty());

    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("猫A")));
    EXPECT_TRUE(store.TableExists(QStringLiteral("猫a")));
    EXPECT_FALSE(store.TableExists(QStringLiteral("狗A")));
}

TEST(StoreTables, OddNamesAreOrdinaryNames)
{
    Sandbox box;
    RecordingPrompt prompt;
    SqliteStore& store = box.store();
    store.createTreeTable();
    const QStringList names { QStringLiteral("a\"b"), QStringLiteral("x;DROP TABLE blob"),
        QStringLiteral("select"), QStringLiteral("猫咪的照片"),
        QStringLiteral("abcdefghijklmnopqrs") };
    for (const QString& name : names) {
        ASSERT_TRUE(store.CreateFolderTable(name)) << name.toStdString();
        store.appendPicture(
            name, name, QStringLiteral("/p/") + name + QStringLiteral(".jpg"), "bytes");
        ASSERT_EQ(store.pictureRows(name).size(), 1);
        EXPECT_EQ(store.pictureRows(name).first().name, name);
        EXPECT_EQ(
            store.locate(name, name)->come, QStringLiteral("/p/") + name + QStringLiteral(".jpg"));
    }
    EXPECT_TRUE(store.TableExists(QStringLiteral("blob")));
    EXPECT_EQ(store.tableNames().size(), names.size() + 1);
    store.dropTable(QStringLiteral("x;DROP TABLE blob"));
    EXPECT_TRUE(store.TableExists(QStringLiteral("blob")));
    EXPECT_FALSE(store.TableExists(QStringLiteral("x;DROP TABLE blob")));
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST(StoreTables, ImpossibleTableIsRefusedAndNothingIsMade)
{
    Sandbox box;
    SqliteStore& store = box.store();
    EXPECT_FALSE(store.CreateFolderTable(QString()));
    EXPECT_FALSE(store.CreateFolderTable(QStringLiteral("sqlite_mine")));
    EXPECT_TRUE(store.tableNames().isEmpty());
}

TEST(StorePictures, BytesComeBackExactlyAsBlobs)
{
    Sandbox box;
    RecordingPrompt prompt;
    SqliteStore& store = box.store();
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("f")));
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char(i * 7));
    const QByteArray numeric("12345"); // would become an integer under NUMERIC affinity as text
    const qint64 a = store.appendPicture(
        QStringLiteral("f"), QStringLiteral("a"), QStringLiteral("/a.jpg"), binary);
    const qint64 b = store.appendPicture(
        QStringLiteral("f"), QStringLiteral("b"), QStringLiteral("/b.jpg"), numeric);
    const qint64 c = store.appendPicture(
        QStringLiteral("f"), QStringLiteral("c"), QStringLiteral("/c.jpg"), QByteArray());
    EXPECT_EQ(store.readBlob(QStringLiteral("f"), a), binary);
    EXPECT_EQ(store.readBlob(QStringLiteral("f"), b), numeric);
    EXPECT_TRUE(store.readBlob(QStringLiteral("f"), c).isEmpty());

    SQLite::Statement types(store.database(), "SELECT typeof(Blob) FROM f ORDER BY rowid");
    QStringList kinds;
    while (types.executeStep())
        kinds.append(QString::fromStdString(types.getColumn(0).getString()));
    EXPECT_EQ(kinds,
        (QStringList { QStringLiteral("blob"), QStringLiteral("blob"), QStringLiteral("blob") }));

    const QList<PictureRow> rows = store.pictureRows(QStringLiteral("f"));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].size, binary.size());
    EXPECT_EQ(rows[1].size, 5);
    EXPECT_EQ(rows[2].size, 0);
    EXPECT_EQ(store.rowCount(QStringLiteral("f")), 3);
    EXPECT_THROW(store.readBlob(QStringLiteral("f"), 999), std::exception);
}

TEST(StorePictures, NullFieldsReadAsEmpty)
{
    Sandbox box;
    RecordingPrompt prompt;
    SqliteStore& store = box.store();
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("f")));
    store.database().exec("INSERT INTO f(Name,Come,Blob) VALUES(NULL,NULL,NULL)");
    const QList<PictureRow> rows = store.pictureRows(QStringLiteral("f"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].name.isEmpty());
    EXPECT_TRUE(rows[0].come.isEmpty());
    EXPECT_EQ(rows[0].size, 0);
    EXPECT_TRUE(store.readBlob(QStringLiteral("f"), rows[0].rowid).isEmpty());
}

TEST(StorePictures, NamesMatchWholeAndIgnoreAsciiCase)
{
    Sandbox box;
    RecordingPrompt prompt;
    SqliteStore& store = box.store();
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("f")));
    store.appendPicture(
        QStringLiteral("f"), QStringLiteral("cat2"), QStringLiteral("/cat2.jpg"), "2");
    store.appendPicture(
        QStringLiteral("f"), QStringLiteral("Cat"), QStringLiteral("/cat.jpg"), "1");
    EXPECT_EQ(
        store.locate(QStringLiteral("f"), QStringLiteral("cat"))->come, QStringLiteral("/cat.jpg"));
    EXPECT_FALSE(store.locate(QStringLiteral("f"), QStringLiteral("ca")).has_value());
    EXPECT_FALSE(store.locate(QStringLiteral("f"), QStringLiteral("cat%")).has_value());

    EXPECT_EQ(
        store.renamePicture(QStringLiteral("f"), QStringLiteral("kitty"), QStringLiteral("CAT")),
        1);
    EXPECT_EQ(store.pictureRows(QStringLiteral("f"))[1].name, QStringLiteral("kitty"));
    EXPECT_EQ(store.deletePicture(QStringLiteral("f"), QStringLiteral("KITTY")), 1);
    EXPECT_EQ(store.rowCount(QStringLiteral("f")), 1);
}

TEST(StorePictures, QuotesInANameNeverWidenADeletion)
{
    Sandbox box;
    RecordingPrompt prompt;
    SqliteStore& store = box.store();
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("f")));
    for (const char* name : { "a", "b", "c" })
        store.appendPicture(
            QStringLiteral("f"), QString::fromLatin1(name), QStringLiteral("/x.jpg"), "x");
    const QString evil = QStringLiteral("x\" OR \"a\"=\"a");
    store.appendPicture(QStringLiteral("f"), evil, QStringLiteral("/y.jpg"), "y");
    EXPECT_EQ(store.deletePicture(QStringLiteral("f"), evil), 1);
    EXPECT_EQ(store.rowCount(QStringLiteral("f")), 3);
    EXPECT_EQ(store.renamePicture(
                  QStringLiteral("f"), QStringLiteral("z"), QStringLiteral("a\" OR 1=1 --")),
        0);
    EXPECT_EQ(store.locate(QStringLiteral("f"), QStringLiteral("b"))->name, QStringLiteral("b"));
}

TEST(StorePictures, PasteCopiesRowsAndCopyFolderKeepsOrder)
{
    Sandbox box;
    RecordingPrompt prompt;
    SqliteStore& store = box.store();
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("A")));
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("B")));
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("C")));
    store.appendPicture(QStringLiteral("A"), QStringLiteral("one"), QStringLiteral("/1.png"), "1");
    store.appendPicture(QStringLiteral("A"), QStringLiteral("two"), QStringLiteral("/2.gif"), "2");
    EXPECT_EQ(store.pastePicture(QStringLiteral("B"), QStringLiteral("uno"), QStringLiteral("A"),
                  QStringLiteral("ONE")),
        1);
    EXPECT_EQ(store.pastePicture(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("A"),
                  QStringLiteral("missing")),
        0);
    const QList<PictureRow> b = store.pictureRows(QStringLiteral("B"));
    ASSERT_EQ(b.size(), 1);
    EXPECT_EQ(b[0].name, QStringLiteral("uno"));
    EXPECT_EQ(b[0].come, QStringLiteral("/1.png"));
    EXPECT_EQ(store.readBlob(QStringLiteral("B"), b[0].rowid), QByteArray("1"));
    EXPECT_THROW(store.pastePicture(QStringLiteral("B"), QStringLiteral("x"),
                     QStringLiteral("gone"), QStringLiteral("one")),
        std::exception);

    store.copyFolderRows(QStringLiteral("C"), QStringLiteral("A"));
    const QList<PictureRow> c = store.pictureRows(QStringLiteral("C"));
    ASSERT_EQ(c.size(), 2);
    EXPECT_EQ(c[0].name, QStringLiteral("one"));
    EXPECT_EQ(c[1].name, QStringLiteral("two"));
}

TEST(StoreTree, StreamLivesInTheFirstRow)
{
    Sandbox box;
    SqliteStore& store = box.store();
    store.createTreeTable();
    EXPECT_TRUE(store.readTreeStream().isEmpty());
    store.writeTreeStream("A\r\n");
    store.writeTreeStream("B\r\n");
    EXPECT_EQ(store.readTreeStream(), QByteArray("B\r\n"));
    SQLite::Statement rows(store.database(), "SELECT count(*), count(Name) FROM blob");
    ASSERT_TRUE(rows.executeStep());
    EXPECT_EQ(rows.getColumn(0).getInt(), 1);
    EXPECT_EQ(rows.getColumn(1).getInt(), 0) << "Name of the tree row stays NULL";
}

TEST(StoreNameIndex, FollowsItsTableThroughRenameDropAndReuse)
{
    Sandbox box;
    RecordingPrompt prompt;
    SqliteStore& store = box.store();
    store.createTreeTable();
    const QString odd = QStringLiteral("猫 a\"b");
    ASSERT_TRUE(store.CreateFolderTable(odd));
    createOldFolderTable(store, QStringLiteral("old"));
    EXPECT_EQ(indexesByTable(store),
        (QStringList { odd + QStringLiteral(": Name index 1"), QStringLiteral("old: ") }));

    EXPECT_FALSE(store.locate(QStringLiteral("OLD"), QStringLiteral("x")).has_value());
    store.renameTable(odd, QStringLiteral("renamed"));
    ASSERT_TRUE(store.CreateFolderTable(odd)) << "a new table under the old name";
    EXPECT_EQ(indexesByTable(store),
        (QStringList { QStringLiteral("renamed: Name index 1"), QStringLiteral("old: Name index 2"),
            odd + QStringLiteral(": Name index 3") }));

    // A table may take the name of an index: the index makes way and comes back on next use.
    store.pictureNames(QStringLiteral("renamed"));
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("name INDEX 1")));
    store.pictureNames(QStringLiteral("renamed"));
    store.renameTable(QStringLiteral("old"), QStringLiteral("Name index 3"));
    store.pictureNames(odd);
    store.pictureNames(QStringLiteral("blob"));
    EXPECT_EQ(indexesByTable(store),
        (QStringList { QStringLiteral("renamed: Name index 5"),
            QStringLiteral("Name index 3: Name index 2"), odd + QStringLiteral(": Name index 6"),
            QStringLiteral("name INDEX 1: Name index 4") }));
    for (const QString& table : store.tableNames())
        EXPECT_EQ(store.hasNameIndex(table), table != QStringLiteral("blob"))
            << table.toStdString();

    store.dropTable(QStringLiteral("renamed"));
    EXPECT_EQ(indexesByTable(store).size(), 3);
    EXPECT_EQ(store.tableNames(),
        (QStringList { QStringLiteral("blob"), QStringLiteral("Name index 3"), odd,
            QStringLiteral("name INDEX 1") }));
    EXPECT_TRUE(prompt.popups.isEmpty());
}

TEST(StoreNameIndex, NamesAndLookupsReadIndexPagesOnlyInRowOrder)
{
    Sandbox box;
    SqliteStore& store = box.store();
    createOldFolderTable(store, QStringLiteral("f"));
    // Each picture fills a table page of its own; the names are out of order, folded alike, and
    // one is NULL.
    const QStringList stored { QStringLiteral("b"), QStringLiteral("A"), QString(),
        QStringLiteral("ｂ"), QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("c") };
    QStringList names;
    for (int i = 0; i < 42; ++i)
        names.append(stored[i % stored.size()]);
    for (qsizetype i = 0; i < names.size(); ++i) {
        SQLite::Statement insert(store.database(), "INSERT INTO f VALUES(?, ?, ?)");
        if (!names[i].isNull())
            insert.bind(1, names[i].toStdString());
        insert.bind(2, i % 5 ? "/p.jpg" : "/q.png");
        insert.bind(3, QByteArray(60000, 'x').constData(), 60000);
        insert.exec();
    }
    const auto lookups = [&](const char* when) {
        SCOPED_TRACE(when);
        QStringList read;
        const int pages = pagesRead(store, [&] { read = store.pictureNames(QStringLiteral("f")); });
        EXPECT_EQ(read, names);
        EXPECT_TRUE(read[2].isNull());
        // A folder opening's rows: the table's own, sizes left out.
        std::optional<QList<PictureRow>> listed;
        const int listing
            = pagesRead(store, [&] { listed = store.indexedPictureRows(QStringLiteral("f")); });
        if (listed) {
            EXPECT_LT(listing, 10);
            QList<PictureRow> rows = store.pictureRows(QStringLiteral("f"));
            EXPECT_EQ(listed->size(), rows.size());
            for (qsizetype i = 0; i < std::min(rows.size(), listed->size()); ++i) {
                EXPECT_EQ((*listed)[i].rowid, rows[i].rowid);
                EXPECT_EQ((*listed)[i].name, rows[i].name);
                EXPECT_EQ((*listed)[i].come, rows[i].come);
            }
        }
        EXPECT_EQ(listed.has_value(), store.hasNameIndex(QStringLiteral("f")));
        EXPECT_EQ(store.locate(QStringLiteral("f"), QStringLiteral("B"))->rowid, 1);
        EXPECT_EQ(
            store.locate(QStringLiteral("f"), QStringLiteral("a"))->name, QStringLiteral("A"));
        EXPECT_EQ(store.locate(QStringLiteral("f"), QStringLiteral("ｂ"))->rowid, 4);
        EXPECT_FALSE(store.locate(QStringLiteral("f"), QStringLiteral("Ｂ")).has_value());
        return pages;
    };

    // Inside a transaction the index waits: the same answers from the table itself.
    store.database().exec("SAVEPOINT caller");
    EXPECT_GE(lookups("inside a transaction"), 42);
    EXPECT_FALSE(store.hasNameIndex(QStringLiteral("f")));
    store.database().exec("RELEASE caller");

    // The index on names alone that earlier versions made gives way to one that holds the kinds
    // once the rows were read to their end.
    store.database().exec("CREATE INDEX \"Name index 1\" ON f(Name COLLATE NOCASE)");
    EXPECT_FALSE(store.indexedPictureRows(QStringLiteral("f")).has_value());
    EXPECT_EQ(store.pictureRows(QStringLiteral("f"), 0, 40).size(), 40);
    EXPECT_FALSE(store.hasNameIndex(QStringLiteral("f")));
    EXPECT_EQ(store.pictureRows(QStringLiteral("f"), 40, 40).size(), 2);
    EXPECT_TRUE(store.hasNameIndex(QStringLiteral("f")));
    EXPECT_EQ(indexesByTable(store), QStringList { QStringLiteral("f: Name index 1") });
    EXPECT_LT(lookups("with the index"), 10);
    EXPECT_LT(
        pagesRead(store, [&] { store.locate(QStringLiteral("f"), QStringLiteral("c")); }), 10);
    EXPECT_EQ(
        store.renamePicture(QStringLiteral("f"), QStringLiteral("C"), QStringLiteral("C")), 6);
    EXPECT_EQ(store.deletePicture(QStringLiteral("f"), QStringLiteral("C")), 6);
}

TEST(StoreNameIndex, AStoreHeldByAnotherProgramStillAnswers)
{
    Sandbox box;
    SqliteStore& store = box.store();
    createOldFolderTable(store, QStringLiteral("f"));
    createOldFolderTable(store, QStringLiteral("g"));
    store.appendPicture(QStringLiteral("f"), QStringLiteral("a"), QStringLiteral("/a.jpg"), "a");
    store.appendPicture(QStringLiteral("g"), QStringLiteral("b"), QStringLiteral("/b.jpg"), "b");
    {
        // A reader's lock keeps every writer out, and nobody waits for it.
        SQLite::Database reader(box.storePath().toStdString(), SQLite::OPEN_READONLY);
        reader.exec("BEGIN");
        reader.exec("SELECT count(*) FROM f");
        EXPECT_EQ(store.pictureNames(QStringLiteral("f")), QStringList { QStringLiteral("a") });
        EXPECT_FALSE(store.hasNameIndex(QStringLiteral("f")));
    }
    EXPECT_EQ(store.locate(QStringLiteral("g"), QStringLiteral("B"))->name, QStringLiteral("b"));
    EXPECT_FALSE(store.hasNameIndex(QStringLiteral("g"))) << "no second try on this connection";
    store.appendPicture(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("/c.jpg"), "c");
}
