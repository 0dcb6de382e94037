// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/addnode.h"
#include "folders/opennode.h"
#include "imaging/thumbnailer.h"
#include "store/foldertree.h"
#include "store/sqlitestore.h"
#include "store/store.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"
#include "view/folderreading.h"
#include "view/placeholderthumbnail.h"
#include "view/thumbnailcache.h"
#include "view/thumbnailmodel.h"
#include "view/thumbnailpipeline.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

using namespace zarvo;
using namespace zarvo::test;

namespace {

using WorkspaceTest = WorkspaceFixture;

QByteArray png(quint32 seed)
{
    return testpictures::encodePng(
        testpictures::photoLike(16, 12, seed), testpictures::PngKind::Rgb8);
}

} // namespace

TEST_F(WorkspaceTest, OpeningAFolderReportsCountsProgressAndTheSelectedPicture)
{
    makeFolder(QStringLiteral("f"),
        { { QStringLiteral("/p/a.png"), png(1) }, { QStringLiteral("/p/b.PNG"), png(2) } });
    start();
    QSignalSpy status(ws, &Workspace::statusTextChanged);
    QSignalSpy started(ws, &Workspace::progressStarted);
    QSignalSpy advanced(ws, &Workspace::progressAdvanced);
    QSignalSpy busy(ws, &Workspace::busyChanged);
    clickNode(QStringLiteral("f"));
    EXPECT_EQ(captions(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started.first().first().toInt(), 2);
    EXPECT_EQ(advanced.size(), 2);
    EXPECT_EQ(status.last().at(1).toString(),
        QStringLiteral(
            "GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:2个 | JPG/JPEG文件有:0个"));
    ASSERT_EQ(busy.size(), 2);
    EXPECT_TRUE(busy.first().first().toBool());
    EXPECT_FALSE(busy.last().first().toBool());

    QSignalSpy hint(ws, &Workspace::hintChanged);
    ws->selectRows({ 1 });
    ASSERT_TRUE(ws->currentRow().has_value());
    EXPECT_EQ(ws->currentRow()->come, QStringLiteral("/p/b.PNG"));
    ASSERT_FALSE(hint.isEmpty());
    EXPECT_TRUE(hint.last().first().toBool());
    ws->selectAll();
    EXPECT_EQ(ws->selectedNames(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
}

// Every item and the counts are there before the first thumbnail; the thumbnails of the items on
// screen come first (after the folder's first rows, two per worker, which start while the others
// are read, for the top a view opens at), and those that come into sight next; the progress bar,
// the counts and the warnings end as a row-order opening leaves them. One worker decodes, so the
// order in which it is given the pictures is the order it decodes them in.
TEST_F(WorkspaceTest, OpeningFillsTheItemsOnScreenFirstAndEndsAsARowOrderOpening)
{
    constexpr int kPictures = 30;
    QList<std::pair<QString, QByteArray>> pictures { { QStringLiteral("/p/drawing.emf"),
        QByteArray("not decoded") } };
    QHash<QByteArray, int> itemOf;
    for (int i = 0; i < kPictures; ++i) {
        const QByteArray bytes = i == 22 ? QByteArray("not a picture") : png(quint32(i + 1));
        pictures.append({ QStringLiteral("/p/%1.png").arg(i, 2, 10, QLatin1Char('0')), bytes });
        itemOf.insert(bytes, i);
    }
    makeFolder(QStringLiteral("f"), pictures);
    start();
    std::mutex mutex;
    std::condition_variable changed;
    QList<int> decoded; // items, in decoding order
    bool filled24 = false;
    ws->setThumbnailPipeline(std::make_unique<ThumbnailPipeline>(
        [&](const ThumbnailJob& job) {
            std::unique_lock lock(mutex);
            const int item = itemOf.value(job.bytes, -1);
            decoded.append(item);
            // The last item on screen waits until the one before it is delivered: whatever the
            // opening reads after that delivery is then queued behind it.
            if (item == 25)
                changed.wait_for(lock, std::chrono::seconds(60), [&] { return filled24; });
            lock.unlock();
            return Thumbnailer().makeThumbnail(job.format, job.bytes);
        },
        1));
    // Items 20-25 show; once they have their thumbnails the user scrolls to items 2-4.
    std::pair<int, int> onScreen(20, 25);
    ws->setVisibleItemsQuery([&] { return onScreen; });
    QStringList namesAtFirstThumbnail;
    QString countsAtFirstThumbnail;
    QSignalSpy status(ws, &Workspace::statusTextChanged);
    QSignalSpy advanced(ws, &Workspace::progressAdvanced);
    QSignalSpy ended(ws, &Workspace::progressEnded);
    QObject::connect(&ws->items(), &QAbstractItemModel::dataChanged, ws, [&] {
        if (namesAtFirstThumbnail.isEmpty()) {
            namesAtFirstThumbnail = captions();
            countsAtFirstThumbnail = status.last().at(1).toString();
        }
        if (ws->items().isFilled(24)) {
            std::lock_guard lock(mutex);
            filled24 = true;
            changed.notify_all();
        }
        bool shownFilled = true;
        for (int item = 20; item <= 25; ++item)
            shownFilled = shownFilled && ws->items().isFilled(item);
        if (shownFilled)
            onScreen = { 2, 4 };
    });
    clickNode(QStringLiteral("f"));

    QStringList names;
    for (int i = 0; i < kPictures; ++i)
        names.append(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    EXPECT_EQ(namesAtFirstThumbnail, names);
    const QString counts = QStringLiteral(
        "GIF文件有:0个 | ICO文件有:0个 | BMP文件有:0个 | PNG文件有:30个 | JPG/JPEG文件有:0个");
    EXPECT_EQ(countsAtFirstThumbnail, counts);
    EXPECT_EQ(status.last().at(1).toString(), counts);
    EXPECT_EQ(captions(), names);

    ASSERT_EQ(decoded.size(), kPictures);
    // The drawing (row 0) is not decoded; picture 0 (row 1) started with it.
    EXPECT_EQ(decoded.mid(0, 7), (QList<int> { 0, 20, 21, 22, 23, 24, 25 }));
    // Nothing off screen starts while the screen's rows are in flight, so the rows scrolled to
    // once those are in come next.
    EXPECT_EQ(decoded.mid(7, 3), (QList<int> { 2, 3, 4 }));
    QList<int> sorted = decoded;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < kPictures; ++i)
        EXPECT_EQ(sorted[i], i);

    // Every row one step, the bar back at 0, the undecodable picture warned about and kept.
    EXPECT_EQ(advanced.size(), kPictures + 1);
    EXPECT_EQ(ended.size(), 1);
    EXPECT_EQ(prompt.popupTexts(PopupKind::Warning),
        QStringList { QStringLiteral("文件：/p/22.png 在读取时发生错误！") });
    for (int item = 0; item < kPictures; ++item)
        EXPECT_TRUE(ws->items().isFilled(item)) << item;
    EXPECT_EQ(
        ws->items().thumbnail(22), ThumbnailModel::normalizedThumbnail(placeholderThumbnail()));
    EXPECT_EQ(
        ws->items().thumbnail(3), Thumbnailer().makeThumbnail(PictureFormat::Png, png(4)).image);
}

// An opening reads its first rows before the others; what it read first must be where the folder
// starts when it has read them all, or its first thumbnails would be of other pictures.
TEST_F(WorkspaceTest, TheFirstRowsOfAnOpeningMustStartTheFolderItReadsAfter)
{
    makeFolder(QStringLiteral("f"),
        { { QStringLiteral("/p/a.png"), png(1) }, { QStringLiteral("/p/b.png"), png(2) },
            { QStringLiteral("/p/c.png"), png(3) } });
    const QList<PictureRow> rows = store().pictureRows(QStringLiteral("f"));
    ASSERT_EQ(rows.size(), 3);
    QList<PictureRow> renamed = rows;
    renamed[0].name = QStringLiteral("a2");
    FolderReading reading(store(), QStringLiteral("f"), rows.mid(0, 2), nullptr);
    for (const QList<PictureRow>& changed : { rows.mid(1), rows.mid(0, 1), renamed })
        EXPECT_FALSE(reading.extend(changed));
    EXPECT_EQ(reading.job(1).bytes, png(2));
    ASSERT_TRUE(reading.extend(rows));
    EXPECT_EQ(reading.job(2).bytes, png(3));
}

TEST_F(WorkspaceTest, ACommandRunsOnlyOnAStoreWhileNoFolderIsBeingOpened)
{
    makeFolder(QStringLiteral("f"), { { QStringLiteral("/p/a.png"), png(1) } });
    start();
    int runs = 0;
    const auto command = [&runs](Workspace&) { ++runs; };
    // Building the view lets the progress through, never a second command.
    QList<bool> ranWhileBuilding;
    QObject::connect(ws, &Workspace::progressAdvanced, ws, [&] {
        ranWhileBuilding.append(ws->canRunCommand());
        ranWhileBuilding.append(ws->run(command));
    });
    clickNode(QStringLiteral("f"));
    EXPECT_EQ(ranWhileBuilding, (QList<bool> { false, false }));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(ws->run(command));
    EXPECT_EQ(runs, 1);
    ws->closeStore();
    EXPECT_FALSE(ws->canRunCommand());
    EXPECT_FALSE(ws->run(command));
    EXPECT_EQ(runs, 1);
}

TEST_F(WorkspaceTest, NoSaveOverwritesTheStoredTreeAfterAFailedLoad)
{
    Store& store = box.store();
    ASSERT_TRUE(store.CreateFolderTable(QStringLiteral("kept")));
    store.createTreeTable();
    // The third line is two levels deeper than the one before it: only "+g" and "kept" load.
    const QByteArray damaged = "\x01g\r\n\tkept\r\n\t\t\tlost\r\nmissing\r\n";
    store.writeTreeStream(damaged);
    start();
    EXPECT_FALSE(ws->isTreeLoaded());
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Warning), QStringList { QStringLiteral("树结构读取失败！") });

    // Each command that ends with a save: adding a node, and the missing-table question's No.
    prompt.clear();
    selectNode(QStringLiteral("g"));
    AddTreeNode(*ws, { NodePlacement::ChildGroup, QStringLiteral("new") }, ws->selectedNode());
    ws->tree().appendNode(nullptr, QStringLiteral("missing"));
    prompt.answer(false);
    clickNode(QStringLiteral("missing"));
    EXPECT_EQ(
        prompt.popupTexts(PopupKind::Warning), QStringList(2, QStringLiteral("树结构保存失败！")));
    EXPECT_EQ(ws->store()->readTreeStream(), damaged) << "the stored tree is untouched";

    // Once a load succeeds, saves go through again.
    ws->store()->writeTreeStream("kept\r\n");
    ASSERT_TRUE(ws->loadTree());
    EXPECT_TRUE(ws->saveTree());
}

TEST_F(WorkspaceTest, TreeLoadedAgainDuringTheMissingTableQuestionIsAnsweredOnTheNewTree)
{
    makeFolder(QStringLiteral("f"), {});
    Store& store = box.store();
    store.writeTreeStream("f\r\ngone\r\nother\r\n");
    start();
    // The window comes back from the tray while the question is open: the tree is loaded again,
    // and every node of the old tree is freed.
    prompt.whileAsking = [this] { ws->loadTree(); };
    prompt.answer(false);
    clickNode(QStringLiteral("gone"));
    prompt.whileAsking = nullptr;
    EXPECT_EQ(ws->tree().findFolder(QStringLiteral("gone")), nullptr);
    EXPECT_NE(ws->tree().findFolder(QStringLiteral("other")), nullptr);
    EXPECT_EQ(ws->store()->readTreeStream(), QByteArray("f\r\nother\r\n"));

    ws->store()->writeTreeStream("f\r\ngone\r\n");
    ws->loadTree();
    prompt.whileAsking = [this] { ws->loadTree(); };
    prompt.answer(true);
    clickNode(QStringLiteral("gone"));
    EXPECT_EQ(ws->openFolder(), QStringLiteral("gone"));
    EXPECT_TRUE(ws->store()->TableExists(QStringLiteral("gone")));
}

// A re-opening finds the thumbnails the cache holds by the fingerprints the store keeps, without
// reading those pictures: here their stored bytes were replaced behind the store's back by bytes
// that do not decode, so a picture read would show as unreadable. Only a picture without a
// fingerprint (d) and one the cache has forgotten (e) are read, decoded, and warned about.
TEST_F(WorkspaceTest, CachedReopeningReadsOnlyThePicturesTheCacheLacks)
{
    const QStringList names { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
        QStringLiteral("d"), QStringLiteral("e") };
    QList<std::pair<QString, QByteArray>> pictures;
    for (int i = 0; i < names.size(); ++i)
        pictures.append({ QStringLiteral("/p/%1.png").arg(names[i]), png(quint32(i + 1)) });
    makeFolder(QStringLiteral("f"), pictures);
    start();
    ASSERT_TRUE(ws->ensureFingerprints());
    QTemporaryDir dir;
    const auto cache
        = std::make_shared<ThumbnailCache>(dir.filePath(QStringLiteral("thumbnails.sqlite")));
    std::atomic<int> decodes { 0 };
    ws->setThumbnailPipeline(std::make_unique<ThumbnailPipeline>(
        [&](const ThumbnailJob& job) {
            ++decodes;
            return Thumbnailer().makeThumbnail(job.format, job.bytes);
        },
        2, cache));
    clickNode(QStringLiteral("f"));
    ASSERT_EQ(decodes.load(), 5);
    QList<QImage> first;
    for (int item = 0; item < names.size(); ++item)
        first.append(ws->items().thumbnail(item));
    cache->flush();
    cache->forget(pictures[4].second);

    SQLite::Database& db = dynamic_cast<SqliteStore&>(*ws->store()).database();
    db.exec("UPDATE f SET Blob=x'0badf00d'");
    db.exec("DELETE FROM \"Zarvo picture fingerprints\" WHERE Row=(SELECT rowid FROM f WHERE "
            "Name='d')");
    decodes = 0;
    prompt.clear();
    QSignalSpy advanced(ws, &Workspace::progressAdvanced);
    ws->reloadFolder();
    EXPECT_EQ(decodes.load(), 2);
    EXPECT_EQ(advanced.size(), names.size()); // every row one step
    // Each row is delivered when it is ready: the two warnings in either order.
    QStringList warnings = prompt.popupTexts(PopupKind::Warning);
    warnings.sort();
    EXPECT_EQ(warnings,
        (QStringList { QStringLiteral("文件：/p/d.png 在读取时发生错误！"),
            QStringLiteral("文件：/p/e.png 在读取时发生错误！") }));
    for (int item = 0; item < 3; ++item)
        EXPECT_EQ(ws->items().thumbnail(item), first[item]) << item;
    EXPECT_EQ(
        ws->items().thumbnail(3), ThumbnailModel::normalizedThumbnail(placeholderThumbnail()));
}
