// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/thumbnailcache.h"

#include "imaging/thumbnailer.h"
#include "support/recordingprompt.h"
#include "support/sandbox.h"
#include "support/testpictures.h"
#include "view/thumbnailpipeline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>
#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <vector>

namespace zarvo {
namespace {

using namespace testpictures;

// A folder's pictures: two photographs (the first also under a second name), PNG bytes
// stored as ".jpg" (never decodes), the same PNG bytes as ".png", and a ".emf".
std::vector<ThumbnailJob> folderJobs()
{
    const QByteArray photo = encodeJpeg(photoLike(320, 240, 1), 85);
    const QByteArray png = encodePng(blocks(90, 200, true), PngKind::Rgba8);
    return {
        { PictureFormat::Jpeg, photo },
        { PictureFormat::Jpeg, encodeJpeg(photoLike(200, 300, 2), 85) },
        { PictureFormat::Jpeg, photo },
        { PictureFormat::Jpeg, png },
        { PictureFormat::Png, png },
        { PictureFormat::Other, QByteArray() },
    };
}

struct Opening
{
    std::vector<DecodedPicture> results; // by row
    int delivered = 0;
    int decodes = 0;
};

// One opening through a pipeline with the given cache (null: none) that counts real decodes.
// With one worker, rows are looked up in row order, so the counts do not depend on timing.
Opening openFolder(const std::shared_ptr<ThumbnailCache>& cache,
    const std::vector<ThumbnailJob>& jobs, int workers = 1)
{
    Opening opening;
    opening.results.resize(jobs.size());
    std::atomic<int> decodes { 0 };
    {
        ThumbnailPipeline pipeline(
            [&decodes](const ThumbnailJob& job) {
                ++decodes;
                thread_local Thumbnailer thumbnailer;
                return thumbnailer.makeThumbnail(job.format, job.bytes);
            },
            workers, cache);
        pipeline.run(
            int(jobs.size()), [&](int row) { return jobs[size_t(row)]; },
            [&](int row, const DecodedPicture& result) {
                opening.results[size_t(row)] = result;
                ++opening.delivered;
            });
    } // waits for the write at the end of the run
    opening.decodes = decodes;
    return opening;
}

// The same as an opening without any cache: the same thumbnails pixel for pixel, the same
// failures.
void expectSameAsUncached(const Opening& opening, const std::vector<ThumbnailJob>& jobs)
{
    static const Opening uncached = openFolder(nullptr, folderJobs());
    ASSERT_EQ(size_t(uncached.delivered), jobs.size());
    ASSERT_EQ(size_t(opening.delivered), jobs.size());
    for (size_t row = 0; row < jobs.size(); ++row) {
        const DecodedPicture& got = opening.results[row];
        const DecodedPicture& want = uncached.results[row];
        EXPECT_EQ(got.ok(), want.ok()) << "row " << row;
        EXPECT_EQ(got.error.isEmpty(), want.error.isEmpty()) << "row " << row;
        if (got.ok() && want.ok()) {
            EXPECT_EQ(got.image.convertToFormat(QImage::Format_RGB888),
                want.image.convertToFormat(QImage::Format_RGB888))
                << "row " << row;
        }
    }
}

TEST(ThumbnailCache, ReopeningDecodesOnlyWhatFailsAndShowsTheSame)
{
    QTemporaryDir dir;
    const auto cache
        = std::make_shared<ThumbnailCache>(dir.filePath(QStringLiteral("c/thumbnails.sqlite")));
    const std::vector<ThumbnailJob> jobs = folderJobs();

    const Opening first = openFolder(cache, jobs);
    expectSameAsUncached(first, jobs);
    EXPECT_FALSE(first.results[3].ok()); // PNG bytes under ".jpg"
    EXPECT_TRUE(first.results[4].ok()); // the same bytes under ".png"
    // The second name of the first photograph was found among the writes still waiting.
    EXPECT_EQ(first.decodes, 4);
    EXPECT_EQ(cache->entryCount(), 3);

    // Another object on the same file, as a later run of the program has.
    const auto again = std::make_shared<ThumbnailCache>(cache->path());
    const Opening second = openFolder(again, jobs);
    expectSameAsUncached(second, jobs);
    EXPECT_EQ(second.decodes, 1); // only the failure, which warns again

    // A deleted picture leaves nothing behind, whatever the kind it was kept under.
    again->forget(jobs[4].bytes);
    again->forget(jobs[0].bytes);
    EXPECT_EQ(again->entryCount(), 1);
    EXPECT_EQ(openFolder(again, jobs).decodes, 3);
}

TEST(ThumbnailCache, ForgetsThePicturesOfAFolderBeforeTheyAreDeleted)
{
    test::Sandbox sandbox;
    test::RecordingPrompt prompt;
    Store& store = sandbox.store();
    const QString folder = QStringLiteral("f");
    ASSERT_TRUE(store.CreateFolderTable(folder));
    const std::vector<ThumbnailJob> jobs = folderJobs();
    const QStringList names = { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
        QStringLiteral("d"), QStringLiteral("e") };
    const QStringList comes = { QStringLiteral("a.jpg"), QStringLiteral("b.jpg"),
        QStringLiteral("c.jpg"), QStringLiteral("d.jpg"), QStringLiteral("e.png") };
    for (int i = 0; i < names.size(); ++i)
        store.appendPicture(folder, names[i], comes[i], jobs[size_t(i)].bytes);
    QTemporaryDir dir;
    const auto cache
        = std::make_shared<ThumbnailCache>(dir.filePath(QStringLiteral("thumbnails.sqlite")));
    openFolder(cache, jobs);
    ASSERT_EQ(cache->entryCount(), 3);

    forgetThumbnails(cache.get(), store, folder, { QStringLiteral("B") });
    EXPECT_EQ(cache->entryCount(), 2);
    // Thumbnails still waiting to be written are forgotten too, not written afterwards.
    cache->flush();
    EXPECT_EQ(ThumbnailCache(cache->path()).entryCount(), 2);
    forgetThumbnails(nullptr, store, folder);
    forgetThumbnails(cache.get(), store, folder);
    EXPECT_EQ(cache->entryCount(), 0);
}

TEST(ThumbnailCache, DamagedOrForeignFilesAreMadeAnew)
{
    const std::vector<ThumbnailJob> jobs = folderJobs();
    struct Case
    {
        const char* what;
        std::function<void(const QString& path)> spoil;
    };
    const std::vector<Case> cases = {
        { "not a database",
            [](const QString& path) {
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(QByteArray(70000, 'x'));
            } },
        { "another layout",
            [](const QString& path) {
                SQLite::Database db(
                    path.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
                db.exec("CREATE TABLE thumbnail (id INTEGER); PRAGMA user_version = 77");
            } },
        { "pages overwritten",
            [&jobs](const QString& path) {
                openFolder(std::make_shared<ThumbnailCache>(path), jobs);
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                ASSERT_GT(file.size(), 3 * 16384);
                file.seek(16384);
                file.write(QByteArray(2 * 16384, '\x5a'));
            } },
        { "entries damaged",
            [&jobs](const QString& path) {
                openFolder(std::make_shared<ThumbnailCache>(path), jobs);
                SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE);
                db.exec("UPDATE thumbnail SET pixels = substr(pixels, 1, 40) || zeroblob(30)");
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("thumbnails.sqlite"));
        c.spoil(path);
        const auto cache = std::make_shared<ThumbnailCache>(path);
        expectSameAsUncached(openFolder(cache, jobs), jobs);
        EXPECT_TRUE(cache->isAvailable());
        const Opening after = openFolder(std::make_shared<ThumbnailCache>(path), jobs);
        expectSameAsUncached(after, jobs);
        EXPECT_EQ(after.decodes, 1);
    }
}

TEST(ThumbnailCache, UnusableOrFullDiskStillOpensTheFolder)
{
    const std::vector<ThumbnailJob> jobs = folderJobs();
    QTemporaryDir dir;
    // A directory that cannot be made: its parent is a file.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto nowhere = std::make_shared<ThumbnailCache>(
        blocker.fileName() + QStringLiteral("/thumbnails.sqlite"));
    const Opening unusable = openFolder(nowhere, jobs);
    expectSameAsUncached(unusable, jobs);
    EXPECT_FALSE(nowhere->isAvailable());
    EXPECT_EQ(unusable.decodes, 4); // the two copies of one picture, looked up together: once

    // A full disk: no file may grow past 4 KiB, so nothing can be written to the log.
    const QString path = dir.filePath(QStringLiteral("thumbnails.sqlite"));
    const auto full = std::make_shared<ThumbnailCache>(path);
    ASSERT_TRUE(full->isAvailable());
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Opening onFullDisk = openFolder(full, jobs);
    full->flush();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    expectSameAsUncached(onFullDisk, jobs);
    // Once the disk has room, the same file works again.
    const auto later = std::make_shared<ThumbnailCache>(path);
    openFolder(later, jobs);
    EXPECT_EQ(openFolder(later, jobs).decodes, 1);
}

TEST(ThumbnailCache, DropsLeastRecentlyUsedBeyondItsSize)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("thumbnails.sqlite"));
    Thumbnailer thumbnailer;
    const QImage thumbnail
        = thumbnailer.makeThumbnail(PictureFormat::Jpeg, encodeJpeg(photoLike(300, 300, 9), 90))
              .image;
    const qint64 entry = ThumbnailCache::encode(thumbnail).size();
    ThumbnailCache cache(path, entry * 7 / 2); // room for three, and a half
    const auto key
        = [](char name) { return ThumbnailKey::of(PictureFormat::Jpeg, QByteArray(1, name)); };
    for (char name : { 'a', 'b', 'c' })
        cache.store(key(name), thumbnail);
    cache.flush();
    EXPECT_FALSE(cache.find(key('a')).isNull());
    cache.flush();
    cache.store(key('d'), thumbnail);
    cache.store(key('e'), thumbnail);
    cache.flush();
    EXPECT_EQ(cache.entryCount(), 3);
    for (char name : { 'a', 'd', 'e' })
        EXPECT_EQ(cache.find(key(name)), thumbnail.convertToFormat(QImage::Format_RGB32)) << name;
    EXPECT_LE(cache.storedBytes(), cache.limitBytes());
}

// The other process of TwoProcessesShareOneFile; run only by it.
TEST(ThumbnailCache, DISABLED_WriterProcess)
{
    const QString path = qEnvironmentVariable("ZARVO_TEST_CACHE_PATH");
    ASSERT_FALSE(path.isEmpty());
    const std::vector<ThumbnailJob> jobs = folderJobs();
    for (int round = 0; round < 20; ++round)
        expectSameAsUncached(openFolder(std::make_shared<ThumbnailCache>(path), jobs, 2), jobs);
}

TEST(ThumbnailCache, TwoProcessesShareOneFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("thumbnails.sqlite"));
    QProcess other;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZARVO_TEST_CACHE_PATH"), path);
    other.setProcessEnvironment(environment);
    other.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--gtest_also_run_disabled_tests"),
            QStringLiteral("--gtest_filter=ThumbnailCache.DISABLED_WriterProcess") });
    ASSERT_TRUE(other.waitForStarted());

    // Meanwhile this process opens the same folder again and again, and forgets it.
    const std::vector<ThumbnailJob> jobs = folderJobs();
    for (int round = 0; round < 20; ++round) {
        const auto cache = std::make_shared<ThumbnailCache>(path);
        expectSameAsUncached(openFolder(cache, jobs, 2), jobs);
        if (round % 5 == 4)
            cache->forget(jobs[1].bytes);
    }
    ASSERT_TRUE(other.waitForFinished(120000));
    EXPECT_EQ(other.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardOutput().toStdString();

    const auto after = std::make_shared<ThumbnailCache>(path);
    openFolder(after, jobs);
    const Opening last = openFolder(after, jobs);
    expectSameAsUncached(last, jobs);
    EXPECT_EQ(last.decodes, 1);
}

} // namespace
} // namespace zarvo
