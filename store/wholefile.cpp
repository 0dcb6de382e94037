// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/wholefile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarvo {

namespace {

// Creates a file of a new name in `directory` (O_EXCL: never one that is there, whatever it is)
// and opens it for writing: its descriptor, or -1 with errno set.
int createTemporaryFile(const QString& directory, QByteArray* name)
{
    const QByteArray prefix = QFile::encodeName(directory) + "/.zarvo-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = prefix + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// 0, or the errno of the failure.
int writeAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0)
            return EIO;
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

} // namespace

bool somethingAt(const QString& path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    const int fd = createTemporaryFile(QFileInfo(path).path(), &temporary);
    int failure = fd < 0 ? errno : 0;
    if (fd >= 0) {
        // A regular file that is replaced keeps its permissions; a symlink's target is not asked.
        struct stat replaced;
        if (::lstat(target.constData(), &replaced) == 0 && S_ISREG(replaced.st_mode)
            && ::fchmod(fd, replaced.st_mode & 07777) != 0)
            failure = errno;
        if (failure == 0)
            failure = writeAll(fd, bytes);
        if (failure == 0 && ::fsync(fd) != 0)
            failure = errno;
        if (::close(fd) != 0 && failure == 0)
            failure = errno;
        // rename() replaces what is at the target's path, a symlink itself.
        if (failure == 0 && ::rename(temporary.constData(), target.constData()) != 0)
            failure = errno;
        if (failure != 0)
            ::unlink(temporary.constData());
    }
    if (failure != 0 && error)
        *error = QString::fromLocal8Bit(std::strerror(failure));
    return failure == 0;
}

} // namespace zarvo
