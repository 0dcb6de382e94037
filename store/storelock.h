// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <memory>

namespace zarvo {

// One Zarvo per store: an exclusive, non-blocking flock() on a descriptor of the store file,
// independent of SQLite's own locks. A second Zarvo or zarvoctl on the same store cannot take
// it and refuses to work beside the first.
//
// The descriptor is closed when the last owner lets go. Closing any descriptor of a file drops
// all POSIX locks the process holds on it, SQLite's included, so every SQLite connection to the
// file must be closed before the lock is released; owners keep it alive accordingly (the store
// connection holds it, and so does whoever compacts the store after closing the connection).
class StoreLock
{
public:
    enum class Failure {
        None,
        CannotOpen, // the file cannot be opened for reading and writing
        InUse, // another process (or another descriptor of this one) holds the lock
        CannotLock, // the file system refuses the lock
    };

    // Takes the lock on the file at path. The descriptor is opened for reading and writing: on
    // NFS, Linux emulates flock() with byte-range locks, which need a file open for writing.
    // Returns null on failure; `failure` and `error` then say why.
    static std::shared_ptr<StoreLock> acquire(
        const QString& path, QString* error = nullptr, Failure* failure = nullptr);

    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    const QString& path() const { return m_path; }

private:
    StoreLock(int fd, const QString& path);
    int m_fd;
    QString m_path;
};

} // namespace zarvo
