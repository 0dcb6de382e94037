// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/fingerprint.h"
#include "store/compaction.h"
#include "store/sqlitestore.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"
#include "support/testpictures.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace zarvo::test {
namespace {
using namespace zarvo::testpictures;

QByteArray picture(int seed)
{
    return encodePng(photoLike(8 + seed, 8, quint32(seed)), PngKind::Rgb8);
}

using Fingerprints = std::map<std::pair<QString, qint64>, std::pair<QByteArray, qint64>>;

// What the side table holds, folder names A-Z folded.
Fingerprints stored(SqliteStore& store)
{
    SQLite::Statement query(store.database(),
        "SELECT lower(Folder), Row, Hash, Size FROM \"Zarvo picture fingerprints\"");
    Fingerprints rows;
    while (query.executeStep()) {
        const auto* hash = static_cast<const char*>(query.getColumn(2).getBlob());
        rows[{
            QString::fromStdString(query.getColumn(0).getString()), query.getColumn(1).getInt64() }]
            = { QByteArray(hash, query.getColumn(2).getBytes()), query.getColumn(3).getInt64() };
    }
    return rows;
}

// What it should hold: every row of every folder table, fingerprinted afresh.
Fingerprints truth(SqliteStore& store)
{
    Fingerprints rows;
    for (const QString& table : store.tableNames()) {
        if (table.compare(QStringLiteral("blob"), Qt::CaseInsensitive) == 0)
            continue;
        for (const PictureRow& row : store.pictureRows(table)) {
            const QByteArray bytes = store.readBlob(table, row.rowid);
            rows[{ table.toLower(), row.rowid }] = { contentHash(bytes), bytes.size() };
        }
    }
    return rows;
}

struct Fixture
{
    Sandbox box;
    RecordingPrompt prompt;
    SqliteStore& store = box.store();

    Fixture()
    {
        for (const char* folder : { "a", "b" })
            EXPECT_TRUE(store.CreateFolderTable(QString::fromLatin1(folder)));
        store.appendPicture(
            QStringLiteral("a"), QStringLiteral("one"), QStringLiteral("/1.png"), picture(1));
        store.appendPicture(
            QStringLiteral("a"), QStringLiteral("two"), QStringLiteral("/2.png"), picture(2));
        store.appendPicture(
            QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("/3.png"), picture(3));
    }
};

// Every operation that changes rows or tables keeps the side table equal to the pictures, and
// the duplicate sets follow.
TEST(Fingerprints, EveryStoreOperationKeepsThemInStep)
{
    struct Case
    {
        const char* what;
        std::function<void(SqliteStore&, RecordingPrompt&)> change;
        int duplicateSets; // afterwards
    };
    const Case cases[] = {
        { "append a copy",
            [](SqliteStore& s, RecordingPrompt&) {
                s.appendPicture(
                    QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("/c.png"), picture(1));
            },
            1 },
        { "paste",
            [](SqliteStore& s, RecordingPrompt&) {
                s.pastePicture(QStringLiteral("b"), QStringLiteral("p"), QStringLiteral("a"),
                    QStringLiteral("TWO"));
            },
            1 },
        { "paste into the same folder",
            [](SqliteStore& s, RecordingPrompt&) {
                s.pastePicture(QStringLiteral("a"), QStringLiteral("p"), QStringLiteral("a"),
                    QStringLiteral("one"));
            },
            1 },
        { "delete",
            [](SqliteStore& s, RecordingPrompt&) {
                s.deletePicture(QStringLiteral("a"), QStringLiteral("ONE"));
            },
            0 },
        { "rename a picture",
            [](SqliteStore& s, RecordingPrompt&) {
                s.renamePicture(QStringLiteral("a"), QStringLiteral("n"), QStringLiteral("one"));
            },
            0 },
        { "rename a folder",
            [](SqliteStore& s, RecordingPrompt&) {
                s.renameTable(QStringLiteral("a"), QStringLiteral("Z"));
            },
            0 },
        { "copy a folder's rows",
            [](SqliteStore& s, RecordingPrompt&) {
                ASSERT_TRUE(s.CreateFolderTable(QStringLiteral("c")));
                s.copyFolderRows(QStringLiteral("c"), QStringLiteral("a"));
            },
            2 },
        { "drop a folder",
            [](SqliteStore& s, RecordingPrompt&) { s.dropTable(QStringLiteral("A")); }, 0 },
        { "cut and paste in one transaction",
            [](SqliteStore& s, RecordingPrompt&) {
                Store::Transaction transaction(s);
                s.pastePicture(QStringLiteral("b"), QStringLiteral("m"), QStringLiteral("a"),
                    QStringLiteral("one"));
                s.deletePicture(QStringLiteral("a"), QStringLiteral("one"));
                transaction.commit();
            },
            0 },
        { "a change rolled back",
            [](SqliteStore& s, RecordingPrompt&) {
                Store::Transaction transaction(s);
                s.appendPicture(
                    QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("/c.png"), picture(2));
                s.dropTable(QStringLiteral("a"));
            },
            0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        ASSERT_TRUE(f.store.buildFingerprints());
        ASSERT_EQ(stored(f.store), truth(f.store));
        c.change(f.store, f.prompt);
        EXPECT_EQ(stored(f.store), truth(f.store));
        EXPECT_EQ(f.store.duplicateGroups().size(), c.duplicateSets);
    }
}

TEST(Fingerprints, BuiltOnceInvisibleAsAFolderAndKeptByCompaction)
{
    Fixture f;
    EXPECT_FALSE(f.store.hasFingerprints());
    // Stopped half way: nothing is kept.
    int calls = 0;
    EXPECT_FALSE(f.store.buildFingerprints([&](qint64, qint64 total) {
        EXPECT_EQ(total, 3);
        return ++calls < 3;
    }));
    EXPECT_FALSE(f.store.hasFingerprints());
    EXPECT_EQ(f.store.findSameBytes(picture(1)), std::nullopt);

    // Read a part at a time: a picture of several parts, and values an older program may have
    // left (NULL, text) are fingerprinted as readBlob gives their bytes.
    QByteArray large(2'500'000, Qt::Uninitialized);
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = char(i * 7 + i / 1000);
    f.store.appendPicture(QStringLiteral("b"), QStringLiteral("large"), {}, large);
    f.store.database().exec("INSERT INTO b(Name, Blob) VALUES('null', NULL), ('text', 'abc')");
    ASSERT_TRUE(f.store.buildFingerprints());
    EXPECT_EQ(stored(f.store), truth(f.store));
    EXPECT_EQ(f.store.findSameBytes(large)->name, QStringLiteral("large"));
    EXPECT_EQ(f.store.tableNames(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    EXPECT_FALSE(f.store.TableExists(Store::kFingerprintTable));
    const auto same = f.store.findSameBytes(picture(2));
    ASSERT_TRUE(same.has_value());
    EXPECT_EQ(same->folder, QStringLiteral("a"));
    EXPECT_EQ(same->name, QStringLiteral("two"));
    EXPECT_EQ(f.store.findSameBytes(picture(2), QStringLiteral("b")), std::nullopt);
    EXPECT_EQ(f.store.findSameBytes(picture(9)), std::nullopt);

    // A fingerprint that matches other bytes (a hash collision) is no match.
    const QByteArray other = picture(1);
    f.store.database().exec("UPDATE \"Zarvo picture fingerprints\" SET Size="
        + std::to_string(other.size()) + " WHERE Row=2 AND Folder='a'");
    {
        SQLite::Statement forge(f.store.database(),
            "UPDATE \"Zarvo picture fingerprints\" SET Hash=? WHERE Row=2 AND Folder='a'");
        const QByteArray hash = contentHash(other);
        forge.bind(1, hash.constData(), int(hash.size()));
        forge.exec();
    }
    const auto first = f.store.findSameBytes(other);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->name, QStringLiteral("one"));
    EXPECT_TRUE(f.store.duplicateGroups().isEmpty());

    f.box.closeStore();
    ASSERT_TRUE(CompactStore(f.box.storePath(), QString()));
    SqliteStore::Opened opened = SqliteStore::open(f.box.storePath());
    ASSERT_TRUE(opened.store);
    EXPECT_TRUE(opened.store->hasFingerprints());
    EXPECT_TRUE(opened.store->findSameBytes(picture(3)).has_value());
}

} // namespace
} // namespace zarvo::test
