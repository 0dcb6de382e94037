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

#include <cstdlib>
#include <unistd.h>

namespace zarvo {

namespace {

// A new, empty file of a unique name starting with "~ACP" in dir (VACUUM INTO accepts an empty
// target file, so the name stays ours from creation to deletion).
QString makeTemporaryFile(const QString& dir)
{
    QByteArray pattern = QFile::encodeName(QDir(dir).filePath(QStringLiteral("~ACPXXXXXX")));
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return {};
    ::close(fd);
    return QFile::decodeName(pattern);
}

class TemporaryFile
{
public:
    explicit TemporaryFile(QString path)
        : m_path(std::move(path))
    {
    }
    ~TemporaryFile()
    {
        if (!m_path.isEmpty()) {
            QFile::remove(m_path);
            QFile::remove(m_path + QStringLiteral("-journal"));
        }
    }
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

void backup(SQLite::Database& from, SQLite::Database& into)
{
    sqlite3_backup* copy = sqlite3_backup_init(into.getHandle(), "main", from.getHandle(), "main");
    if (!copy)
        throw SQLite::Exception(into.getHandle(), sqlite3_errcode(into.getHandle()));
    const int stepped = sqlite3_backup_step(copy, -1);
    const int finished = sqlite3_backup_finish(copy);
    if (stepped != SQLITE_DONE)
        throw SQLite::Exception("copying the compacted store back failed", stepped);
    if (finished != SQLITE_OK)
        throw SQLite::Exception(into.getHandle(), finished);
}

} // namespace

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
    const QFileInfo info(storePath);
    if (!info.isFile())
        return fail(QStringLiteral("the store file does not exist"));
    if (!lock) {
        QString why;
        lock = StoreLock::acquire(storePath, &why);
        if (!lock)
            return fail(why);
    }

    TemporaryFile target(makeTemporaryFile(info.absolutePath()));
    if (target.path().isEmpty())
        return fail(QStringLiteral("no temporary file can be made beside the store"));

    try {
        SQLite::Database store(storePath.toStdString(), SQLite::OPEN_READWRITE, 2000);
        // Keep the store exclusively from here to the end, so no other connection can commit
        // between the compaction and the copy back.
        store.exec("PRAGMA locking_mode=EXCLUSIVE");
        store.exec("BEGIN EXCLUSIVE");
        store.exec("COMMIT");
        if (sqlite3_db_readonly(store.getHandle(), "main") == 1)
            return fail(QStringLiteral("the store can only be read"));

        {
            SQLite::Statement vacuum(store, "VACUUM INTO ?");
            vacuum.bind(1, target.path().toStdString());
            vacuum.exec();
        }
        {
            SQLite::Database copy(target.path().toStdString(), SQLite::OPEN_READWRITE);
            SQLite::Statement check(copy, "PRAGMA integrity_check");
            if (!check.executeStep() || check.getColumn(0).getString() != "ok")
                return fail(QStringLiteral("the compacted copy is damaged"));
            check.reset();
            backup(copy, store);
        }
        // Give up exclusive mode so that the journal is removed when the connection closes.
        store.exec("PRAGMA locking_mode=NORMAL");
        store.exec("SELECT count(*) FROM sqlite_schema");
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
    return true;
}

} // namespace zarvo
