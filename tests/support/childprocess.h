// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <functional>

namespace zarvo::test {

// Runs `work` in a forked child process whose address space has room for what runs now plus
// `room` bytes; its exit code (work's result), or -1 when it did not end normally. The child has
// no other threads: work that needs a thread pool must not be given. Not under AddressSanitizer,
// whose shadow memory does not fit such a limit.
int inProcessWithRoom(qint64 room, const std::function<int()>& work);

} // namespace zarvo::test
