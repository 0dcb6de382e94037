// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/childprocess.h"

#include <QFile>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zarvo::test {

int inProcessWithRoom(qint64 room, const std::function<int()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            ::_exit(100);
        const rlim_t used
            = statm.readAll().split(' ').first().toULongLong() * ::sysconf(_SC_PAGESIZE);
        const rlimit limit { used + rlim_t(room), used + rlim_t(room) };
        ::setrlimit(RLIMIT_AS, &limit);
        ::_exit(work());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

} // namespace zarvo::test
