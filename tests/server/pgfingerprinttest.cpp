// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/pgtestserver.h"

#include "store/pgstore.h"

#include <gtest/gtest.h>

using namespace zarvo;
using namespace zarvo::test;

namespace {

// The duplicate sets, largest pictures first, each as "folder/name folder/name ...".
QStringList sets(Store& store)
{
    QStringList found;
    for (const DuplicateGroup& group : store.duplicateGroups()) {
        QStringList members;
        for (const StoredPicture& p : group.pictures)
            members.append(p.folder + QLatin1Char('/') + p.name);
        found.append(members.join(QLatin1Char(' ')));
    }
    return found;
}

QString where(const std::optional<StoredPicture>& picture)
{
    return picture ? picture->folder + QLatin1Char('/') + picture->name : QString();
}

} // namespace

TEST(PgFingerprints, TheServerKeepsThemInStepWithEveryOperation)
{
    auto store = PgStore::open(freshServerStore()).store;
    ASSERT_TRUE(store);
    const QByteArray big(3000, 'x');
    const QByteArray small = "small picture";
    for (const char* folder : { "a", "b" })
        ASSERT_TRUE(store->CreateFolderTable(QLatin1String(folder)));
    store->appendPicture(QStringLiteral("a"), QStringLiteral("one"), QString(), big);
    store->appendPicture(QStringLiteral("a"), QStringLiteral("two"), QString(), small);
    store->appendPicture(QStringLiteral("b"), QStringLiteral("three"), QString(), big);
    EXPECT_TRUE(sets(*store).isEmpty()) << "nothing is found before the fingerprints are built";

    // A cancelled build keeps nothing; a whole one reports every picture.
    EXPECT_FALSE(store->buildFingerprints([](qint64 done, qint64) { return done == 0; }));
    EXPECT_FALSE(store->hasFingerprints());
    qint64 reported = 0;
    ASSERT_TRUE(store->buildFingerprints([&](qint64 done, qint64 total) {
        EXPECT_EQ(total, 3);
        reported = done;
        return true;
    }));
    EXPECT_EQ(reported, 3);
    EXPECT_FALSE(store->tableNames().contains(Store::kFingerprintTable));
    EXPECT_EQ(sets(*store), QStringList { QStringLiteral("a/one b/three") });

    // Copies made on the server, renames and new folders keep them; the folder is A-Z folded.
    store->pastePicture(
        QStringLiteral("b"), QStringLiteral("copy"), QStringLiteral("a"), QStringLiteral("TWO"));
    store->renameTable(QStringLiteral("a"), QStringLiteral("Renamed"));
    ASSERT_TRUE(store->CreateFolderTable(QStringLiteral("c")));
    store->copyFolderRows(QStringLiteral("c"), QStringLiteral("b"));
    EXPECT_EQ(sets(*store),
        (QStringList { QStringLiteral("Renamed/one b/three c/three"),
            QStringLiteral("Renamed/two b/copy c/copy") }));
    EXPECT_EQ(where(store->findSameBytes(small, QStringLiteral("RENAMED"))),
        QStringLiteral("Renamed/two"));
    EXPECT_EQ(where(store->findSameBytes(small + 'x')), QString());

    // Deleted pictures and dropped folders are forgotten.
    store->deletePicture(QStringLiteral("b"), QStringLiteral("three"));
    store->dropTable(QStringLiteral("c"));
    EXPECT_EQ(sets(*store), QStringList { QStringLiteral("Renamed/two b/copy") });
    EXPECT_EQ(where(store->findSameBytes(big)), QStringLiteral("Renamed/one"));
}
