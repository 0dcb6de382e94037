// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/compaction.h"

#include "store/storelock.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace zarvo {

namespace {

std::atomic<void (*)(CompactionStep)> stepHook { nullptr };

void reached(CompactionStep step)
{
    if (auto hook = stepHook.load())
        hook(step);
}

// Free pages below this share of the file are not worth a rewrite of the whole store: SQLite
// reuses them for the next pictures before the file grows, and the rewrite costs as much as
// copying the store twice, at every exit.
constexpr qint64 kReclaimShareDivisor = 10;

// While the copy is written, its write-back to disk is started this often.
constexpr std::chrono::milliseconds kWritebackInterval { 50 };

// The backup-API copy back proceeds in steps of about this many bytes.
constexpr int kCopyBackStepBytes = 1 << 20;

const char kCopyPattern[] = "~ACPXXXXXX";

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void removeCopy(const QByteArray& path)
{
    ::unlink(path.constData());
    ::unlink((path + "-journal").constData());
}

// The compacted copy: a new file of a unique "~ACP" name, flock()ed by us for as long as it
// exists under that name, so that the next compaction can tell a copy a killed one left behind
// from one that is being written.
class CompactedCopy
{
public:
    explicit CompactedCopy(const QString& dir)
    {
        QByteArray pattern = QFile::encodeName(QDir(dir).filePath(QLatin1String(kCopyPattern)));
        m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (m_fd < 0)
            return;
        m_path = pattern;
        struct stat opened
        {
        };
        struct stat named
        {
        };
        // Taken between our mkstemp() and flock() by a cleaner that thought it stale, the name
        // would no longer be this file.
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(m_fd, &opened) != 0
            || ::stat(m_path.constData(), &named) != 0 || !sameFile(opened, named)) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~CompactedCopy()
    {
        if (m_fd >= 0 && !m_renamed)
            removeCopy(m_path);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CompactedCopy(const CompactedCopy&) = delete;
    CompactedCopy& operator=(const CompactedCopy&) = delete;

    bool isValid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    const QByteArray& path() const { return m_path; }
    bool renameOnto(const QByteArray& target)
    {
        m_renamed = ::rename(m_path.constData(), target.constData()) == 0;
        return m_renamed;
    }

private:
    int m_fd = -1;
    QByteArray m_path;
    bool m_renamed = false;
};

// Writes the copy to disk beside the compaction, on a thread of its own: while SQLite writes the
// copy, it starts the write-back of what is written so far (the disk works while the compaction
// computes); once finish() says the copy is complete, it fsync()s it (while the caller checks
// it). The fsync() is the one that counts: it alone makes the copy durable, data and metadata.
class CopySync
{
public:
    explicit CopySync(int fd)
        : m_thread([this, fd] { run(fd); })
    {
    }
    // Without finish(), the copy is left as it is: it is not going to replace the store.
    ~CopySync()
    {
        tell(State::Abandoned);
        m_thread.join();
    }
    CopySync(const CopySync&) = delete;
    CopySync& operator=(const CopySync&) = delete;

    void finish() { tell(State::Complete); }
    // Waits for the fsync() that finish() asked for; true when it succeeded.
    bool synced()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(
            lock, [this] { return m_state == State::Synced || m_state == State::Failed; });
        return m_state == State::Synced;
    }

private:
    enum class State { Writing, Complete, Abandoned, Synced, Failed };

    void tell(State state)
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_state != State::Writing)
                return;
            m_state = state;
        }
        m_changed.notify_all();
    }

    void run(int fd)
    {
        std::unique_lock lock(m_mutex);
        while (!m_changed.wait_for(
            lock, kWritebackInterval, [this] { return m_state != State::Writing; })) {
            lock.unlock();
            // Only starts the write-back, without waiting for it; says nothing of durability.
            ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
            lock.lock();
        }
        if (m_state != State::Complete)
            return;
        lock.unlock();
        const bool synced = ::fsync(fd) == 0;
        lock.lock();
        m_state = synced ? State::Synced : State::Failed;
        lock.unlock();
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    State m_state = State::Writing;
    std::thread m_thread; // last: starts when the rest is ready
};

// Deletes the "~ACP" files in dir that no compaction holds any more (left by a killed one).
void removeStaleCopies(const QString& dir)
{
    const QStringList names
        = QDir(dir).entryList({ QString::fromLatin1(kCopyPattern).replace(u'X', u'?') },
            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QByteArray path = QFile::encodeName(QDir(dir).filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat opened
        {
        };
        struct stat named
        {
        };
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0
            && ::stat(path.constData(), &named) == 0 && sameFile(opened, named))
            removeCopy(path);
        ::close(fd);
    }
}

std::string firstRow(SQLite::Database& db, const char* pragma)
{
    SQLite::Statement query(db, pragma);
    return query.executeStep() ? query.getColumn(0).getString() : std::string();
}

qint64 number(SQLite::Database& db, const char* pragma)
{
    SQLite::Statement query(db, pragma);
    return query.executeStep() ? query.getColumn(0).getInt64() : 0;
}

QStringList attributeNames(const char* list, ssize_t size)
{
    QStringList names;
    for (ssize_t at = 0; at < size; at += ssize_t(std::strlen(list + at)) + 1)
        names.append(QString::fromLocal8Bit(list + at));
    return names;
}

// The extended attributes (ACLs among them) of the file at path, or false when they cannot be
// read. A file system without them has none.
bool readAttributes(const QByteArray& path, QList<std::pair<QByteArray, QByteArray>>* out)
{
    const ssize_t size = ::llistxattr(path.constData(), nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP;
    QByteArray list(size, '\0');
    if (::llistxattr(path.constData(), list.data(), size_t(size)) != size)
        return false;
    for (const QString& name : attributeNames(list.constData(), size)) {
        const QByteArray key = name.toLocal8Bit();
        const ssize_t length = ::lgetxattr(path.constData(), key.constData(), nullptr, 0);
        if (length < 0)
            return false;
        QByteArray value(length, '\0');
        if (::lgetxattr(path.constData(), key.constData(), value.data(), size_t(length)) != length)
            return false;
        out->append({ key, value });
    }
    return true;
}

// Gives the copy what the store file has beside its content: owner, extended attributes (and
// only those) and mode. False, with the reason, when the copy cannot have all of it.
bool takeOverAttributes(int fd, const QByteArray& store, QString* why)
{
    struct stat original
    {
    };
    struct stat copy
    {
    };
    if (::stat(store.constData(), &original) != 0 || ::fstat(fd, &copy) != 0) {
        *why = systemError();
        return false;
    }
    if (original.st_nlink > 1) {
        *why = QStringLiteral("the store has several hard links");
        return false;
    }
    if ((copy.st_uid != original.st_uid || copy.st_gid != original.st_gid)
        && ::fchown(fd, original.st_uid, original.st_gid) != 0) {
        *why = QStringLiteral("the store's owner cannot be given: ") + systemError();
        return false;
    }
    QList<std::pair<QByteArray, QByteArray>> attributes;
    if (!readAttributes(store, &attributes)) {
        *why = QStringLiteral("the store's extended attributes cannot be read");
        return false;
    }
    QList<QByteArray> wanted;
    for (const auto& [key, value] : attributes) {
        wanted.append(key);
        if (::fsetxattr(fd, key.constData(), value.constData(), size_t(value.size()), 0) != 0) {
            *why = QStringLiteral("the extended attribute %1 cannot be copied")
                       .arg(QString::fromLocal8Bit(key));
            return false;
        }
    }
    // A default ACL of the directory gives a new file an ACL that the store may not have.
    char list[4096];
    const ssize_t size = ::flistxattr(fd, list, sizeof list);
    if (size < 0 && errno != ENOTSUP) {
        *why = QStringLiteral("the copy's extended attributes cannot be read");
        return false;
    }
    for (const QString& name : attributeNames(list, std::max<ssize_t>(size, 0))) {
        const QByteArray key = name.toLocal8Bit();
        if (!wanted.contains(key) && ::fremovexattr(fd, key.constData()) != 0) {
            *why = QStringLiteral("the extended attribute %1 cannot be removed").arg(name);
            return false;
        }
    }
    if (::fchmod(fd, original.st_mode & 07777) != 0) {
        *why = systemError();
        return false;
    }
    return true;
}

bool syncDirectory(const QString& dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// Copies the checked copy into the store file through the backup API: one journaled write
// transaction of the store's connection, so a crash mid-copy leaves the old store.
void copyBack(SQLite::Database& from, SQLite::Database& into)
{
    sqlite3_backup* copy = sqlite3_backup_init(into.getHandle(), "main", from.getHandle(), "main");
    if (!copy)
        throw SQLite::Exception(into.getHandle(), sqlite3_errcode(into.getHandle()));
    const int pagesPerStep = std::max(
        1, kCopyBackStepBytes / int(std::max<qint64>(1, number(from, "PRAGMA page_size"))));
    int stepped;
    bool first = true;
    while ((stepped = sqlite3_backup_step(copy, pagesPerStep)) == SQLITE_OK) {
        if (first)
            reached(CompactionStep::CopyingBack);
        first = false;
    }
    const int finished = sqlite3_backup_finish(copy);
    if (stepped != SQLITE_DONE)
        throw SQLite::Exception("copying the compacted store back failed", stepped);
    if (finished != SQLITE_OK)
        throw SQLite::Exception(into.getHandle(), finished);
}

} // namespace

void SetCompactionStepHook(void (*hook)(CompactionStep))
{
    stepHook.store(hook);
}

bool CompactStore(const QString& storePath, const QString& password,
    std::shared_ptr<StoreLock> lock, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!password.isEmpty())
        return fail(QStringLiteral("stores have no password"));
    if (!QFileInfo(storePath).isFile())
        return fail(QStringLiteral("the store file does not exist"));
    // A symlinked store is compacted where its file lies: the new file must be made on that file
    // system, and the link must stay a link.
    const QFileInfo real(QFileInfo(storePath).canonicalFilePath());
    const QString dir = real.absolutePath();
    const QByteArray realPath = QFile::encodeName(real.absoluteFilePath());
    if (!lock) {
        QString why;
        lock = StoreLock::acquire(storePath, &why);
        if (!lock)
            return fail(why);
    }
    removeStaleCopies(dir);

    try {
        SQLite::Database store(realPath.toStdString(), SQLite::OPEN_READWRITE, 2000);
        // Keep the store exclusively from here to the end, so no other connection can commit
        // between the compaction and the replacement (a commit into the old file would be lost).
        store.exec("PRAGMA locking_mode=EXCLUSIVE");
        store.exec("BEGIN EXCLUSIVE");
        store.exec("COMMIT");
        if (sqlite3_db_readonly(store.getHandle(), "main") == 1)
            return fail(QStringLiteral("the store can only be read"));

        const qint64 pages = number(store, "PRAGMA page_count");
        const qint64 freePages = number(store, "PRAGMA freelist_count");
        if (freePages == 0 || freePages * kReclaimShareDivisor < pages) {
            if (firstRow(store, "PRAGMA quick_check") != "ok")
                return fail(QStringLiteral("the store is damaged"));
            return true;
        }

        CompactedCopy copy(dir);
        if (!copy.isValid())
            return fail(
                QStringLiteral("no temporary file can be made beside the store: ") + systemError());
        // Declared after the copy: its thread is done with the copy's descriptor before the
        // copy is closed and deleted, on every way out.
        CopySync sync(copy.fd());
        {
            // The copy takes the store's sync setting; it is synced once, as a whole, below.
            const std::string synchronous = firstRow(store, "PRAGMA synchronous");
            store.exec("PRAGMA synchronous=OFF");
            SQLite::Statement vacuum(store, "VACUUM INTO ?");
            vacuum.bind(1, copy.path().toStdString());
            vacuum.exec();
            store.exec("PRAGMA synchronous=" + synchronous);
        }
        reached(CompactionStep::Copied);

        // A store in WAL mode has a -wal file beside it that belongs to the old file; renamed
        // under it, the new file would have the old file's frames applied to it.
        const bool wal = firstRow(store, "PRAGMA journal_mode") == "wal";
        QString whyNotRenamed;
        const bool renamable = !wal && takeOverAttributes(copy.fd(), realPath, &whyNotRenamed);
        // The copy is complete, owner and attributes included: it is synced while it is checked.
        // The check reads it through the page cache; the sync writes the same pages to disk.
        if (renamable)
            sync.finish();
        {
            SQLite::Database checked(copy.path().toStdString(), SQLite::OPEN_READONLY);
            if (firstRow(checked, "PRAGMA integrity_check") != "ok")
                return fail(QStringLiteral("the compacted copy is damaged"));
        }
        if (renamable && sync.synced()) {
            reached(CompactionStep::Checked);
            if (copy.renameOnto(realPath)) {
                // The copy's descriptor keeps its flock() on the new store file until we return,
                // so no other Zarvo takes the new file before it is synced.
                reached(CompactionStep::Replaced);
                // The store is the new file now, old or new being both whole; a directory that
                // cannot be synced only delays when the new one is certain to stay.
                syncDirectory(dir);
                return true;
            }
        }
        SQLite::Database checked(copy.path().toStdString(), SQLite::OPEN_READONLY);
        copyBack(checked, store);
        // Give up exclusive mode so that the journal is removed when the connection closes.
        store.exec("PRAGMA locking_mode=NORMAL");
        store.exec("SELECT count(*) FROM sqlite_schema");
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    return true;
}

} // namespace zarvo
