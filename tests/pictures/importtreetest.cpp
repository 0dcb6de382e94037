// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/importtree.h"
#include "store/foldertree.h"
#include "store/treeblob.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"
#include "support/testpictures.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarvo::test {
namespace {

using namespace zarvo::testpictures;

QByteArray picture(int seed)
{
    return encodePng(photoLike(6 + seed % 7, 5 + seed / 7, quint32(seed)), PngKind::Rgb8);
}

// Writes a file (directories made on the way) from raw path bytes below `root`.
void put(const QString& root, const QByteArray& relative, const QByteArray& bytes)
{
    const QByteArray path = QFile::encodeName(root) + '/' + relative;
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1))
        mkdir(path.left(slash).constData(), 0755); // raw bytes: names need not be UTF-8
    FILE* file = std::fopen(path.constData(), "wb");
    ASSERT_NE(file, nullptr) << path.constData();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
    std::fclose(file);
}

// The tree as lines: indent, "+" for a group, then the name and, for a folder, its pictures.
QStringList treeLines(Store& store, const FolderTree& tree)
{
    QStringList lines;
    tree.forEachNode([&](QStandardItem* node) {
        const QString indent(2 * FolderTree::level(node), QLatin1Char(' '));
        const QString text = FolderTree::nodeText(node);
        if (FolderTree::isGroup(node)) {
            lines.append(indent + QLatin1Char('+') + text.mid(1));
            return;
        }
        QStringList names = store.pictureNames(text);
        lines.append(indent + text + QLatin1Char(':') + names.join(QLatin1Char(',')));
    });
    return lines;
}

struct Importing
{
    Sandbox box;
    RecordingPrompt prompt;
    Store& store = box.store();
    FolderTree tree;
    QString dir = box.path(QStringLiteral("photos"));

    Importing()
    {
        EXPECT_TRUE(OpenBlob(store, tree, prompt));
        EXPECT_TRUE(store.buildFingerprints());
    }
    ImportResult run(const ImportOptions& options = {}, qint64 cancelAfter = -1)
    {
        ImportHooks hooks;
        hooks.saveTree = [this] { return SaveTree(store, tree, prompt); };
        hooks.progress = [cancelAfter](qint64 done, qint64, qint64) {
            return cancelAfter < 0 || done < cancelAfter;
        };
        return importDirectory(store, tree, nullptr, dir, options, hooks);
    }
};

TEST(ImportTree, MapsDirectoriesToNodesWithTheStoresNameRules)
{
    Importing f;
    // Taken beforehand: a folder where the import's group goes, a group elsewhere and a table
    // of other names.
    ASSERT_TRUE(f.store.CreateFolderTable(QStringLiteral("photos")));
    f.tree.appendNode(nullptr, QStringLiteral("photos"));
    f.tree.appendNode(nullptr, FolderTree::kGroupMarker + QStringLiteral("Mixed"));
    ASSERT_TRUE(f.store.CreateFolderTable(QStringLiteral("Trip")));
    const QByteArray longName(200, 'L');
    put(f.dir, "top.png", picture(1));
    put(f.dir, "notes.txt", "not a picture");
    put(f.dir, "mixed/m.jpg", picture(2));
    put(f.dir, "mixed/inner/i.gif", picture(3));
    put(f.dir, "only dirs/trip/t.PNG", picture(4));
    put(f.dir, "only dirs/trip/same.png", picture(1)); // the bytes of top.png
    put(f.dir, "\"q\" [b] (c)/x.ico", picture(5));
    put(f.dir, longName + "/l.bmp", picture(6));
    put(f.dir, longName + "/" + QByteArray(200, 'p') + ".emf", picture(7));
    put(f.dir, "bad\xff/b.png", picture(8));
    put(f.dir, "ok/bad\xfe.png", picture(9));
    put(f.dir, "ok/good.wmf", picture(10));
    QDir().mkpath(f.dir + QStringLiteral("/empty/deeper"));
    ASSERT_EQ(symlink("..", QFile::encodeName(f.dir + QStringLiteral("/ok/loop")).constData()), 0);

    const ImportResult result = f.run();
    const QString l80 = QString(19, QLatin1Char('L'));
    EXPECT_EQ(treeLines(f.store, f.tree),
        (QStringList {
            QStringLiteral("photos:"),
            QStringLiteral("+Mixed"),
            QStringLiteral("+photos(1)"),
            QStringLiteral("  photos(2):top"),
            QStringLiteral("  \"q\"_[b]_(c):x"),
            QStringLiteral("  ") + l80 + QStringLiteral(":l,") + QString(20, QLatin1Char('p')),
            QStringLiteral("  +mixed(1)"),
            QStringLiteral("    mixed(2):m"),
            QStringLiteral("    inner:i"),
            QStringLiteral("  ok:good"),
            QStringLiteral("  +only_dirs"),
            QStringLiteral("    trip(1):t"),
        }));
    EXPECT_EQ(result.added, 8);
    EXPECT_EQ(result.duplicates, 1);
    EXPECT_EQ(result.skipped, 4); // notes.txt, the link, empty/deeper and empty
    EXPECT_EQ(result.failed, 2);
    ASSERT_EQ(result.failures.size(), 2);
    EXPECT_TRUE(result.failures[0].contains(QStringLiteral("bad")));
    // Nothing was stored under a mangled name, and no table lacks its node.
    for (const QString& table : f.store.tableNames())
        if (table != QStringLiteral("blob") && table != QStringLiteral("Trip")) {
            EXPECT_NE(f.tree.findFolder(table), nullptr) << qPrintable(table);
        }
    // Qt cannot name what is not UTF-8: the sandbox could not remove it.
    const QByteArray root = QFile::encodeName(f.dir);
    unlink((root + "/bad\xff/b.png").constData());
    rmdir((root + "/bad\xff").constData());
    unlink((root + "/ok/bad\xfe.png").constData());
}

// An import stopped at any point (a cancel; a kill leaves the same committed state) and run again
// ends where one whole run ends, with no duplicate node or picture.
TEST(ImportTree, ResumesWhereItStopped)
{
    auto fill = [](const QString& dir) {
        int seed = 0;
        for (const char* sub : { "a", "a/b", "a/b/c", "d", "d/e" })
            for (int i = 0; i < 5; ++i)
                put(dir, QByteArray(sub) + "/p" + QByteArray::number(i) + ".png", picture(++seed));
        put(dir, "top.jpg", picture(99));
    };
    Importing whole;
    fill(whole.dir);
    EXPECT_EQ(whole.run().added, 26);
    const QStringList expected = treeLines(whole.store, whole.tree);

    for (const qint64 stop : { 0, 1, 7, 13, 25 }) {
        SCOPED_TRACE(stop);
        Importing f;
        fill(f.dir);
        const ImportResult first = f.run({}, stop);
        EXPECT_TRUE(first.cancelled);
        // Read back from the store, as a new process would.
        FolderTree reloaded;
        ASSERT_TRUE(OpenBlob(f.store, reloaded, f.prompt));
        f.tree.clear();
        ASSERT_TRUE(OpenBlob(f.store, f.tree, f.prompt));
        const ImportResult second = f.run();
        EXPECT_EQ(first.added + second.added, 26);
        EXPECT_EQ(second.duplicates, first.added);
        EXPECT_EQ(treeLines(f.store, f.tree), expected);
        EXPECT_TRUE(f.store.duplicateGroups().isEmpty());
    }
}

TEST(ImportTree, DryRunChangesNothingAndKeepDuplicatesAddsCopies)
{
    Importing f;
    put(f.dir, "a/1.png", picture(1));
    put(f.dir, "b/1.png", picture(1));
    ImportOptions dry;
    dry.dryRun = true;
    const ImportResult counted = f.run(dry);
    EXPECT_EQ(counted.added, 1);
    EXPECT_EQ(counted.duplicates, 1);
    EXPECT_EQ(f.tree.rowCount(), 0);
    EXPECT_EQ(f.store.tableNames(), QStringList { QStringLiteral("blob") });

    ImportOptions keep;
    keep.keepDuplicates = true;
    EXPECT_EQ(f.run(keep).added, 2);
    EXPECT_EQ(f.store.duplicateGroups().size(), 1);
    EXPECT_EQ(f.run(keep).added, 0); // again: each folder already holds its copy
}

} // namespace
} // namespace zarvo::test
