// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/storelock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zarvo {

std::shared_ptr<StoreLock> StoreLock::acquire(const QString& path, QString* error, Failure* failure)
{
    auto fail = [&](Failure why, int code) -> std::shared_ptr<StoreLock> {
        if (failure)
            *failure = why;
        if (error)
            *error = why == Failure::InUse
                ? QStringLiteral("the store is in use by another program")
                : QString::fromLocal8Bit(std::strerror(code));
        return nullptr;
    };
    if (failure)
        *failure = Failure::None;
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return fail(Failure::CannotOpen, errno);
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int code = errno;
        ::close(fd);
        return fail(code == EWOULDBLOCK ? Failure::InUse : Failure::CannotLock, code);
    }
    return std::shared_ptr<StoreLock>(new StoreLock(fd, path));
}

StoreLock::StoreLock(int fd, const QString& path)
    : m_fd(fd)
    , m_path(path)
{
}

StoreLock::~StoreLock()
{
    ::close(m_fd);
}

} // namespace zarvo
