// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zarvo::test {

// A store of its own on the tests' PostgreSQL server (ZARVO_TEST_PG, else the build's own
// server, started by tests/server/pgserver.sh as the CTest fixture pg_server): a new, empty schema
// named after the running test, chosen by the URI's search path, `suffix` added for a second one.
// Fails the test when there is no server.
QString freshServerStore(const QString& suffix = {});

} // namespace zarvo::test
