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

std::shared_ptr<StoreLock> StoreLock::acquire(const QString& path, QString* error)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        if (error)
            *error = errno == EWOULDBLOCK ? QStringLiteral("the store is in use by another program")
                                          : QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return nullptr;
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
