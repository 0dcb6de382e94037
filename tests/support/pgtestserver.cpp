// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/pgtestserver.h"

#include "store/pgstore.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace zarvo::test {

QString freshServerStore(const QString& suffix)
{
    const QString base = qEnvironmentVariable("ZARVO_TEST_PG", QStringLiteral(ZARVO_TEST_PG_URI));
    EXPECT_FALSE(base.isEmpty()) << "ZARVO_TEST_PG names no server";
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString schema = QStringLiteral("%1.%2").arg(
        QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()));
    PgStore::Opened opened = PgStore::open(base);
    EXPECT_TRUE(opened.store) << opened.detail.toStdString();
    if (!opened.store)
        return base;
    QString quoted = Store::quoted(schema.left(50) + suffix);
    opened.store->exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(quoted));
    opened.store->exec(QStringLiteral("CREATE SCHEMA %1").arg(quoted));
    // libpq takes the server options percent-encoded; the schema name is quoted for the server.
    return base + QStringLiteral("&options=")
        + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("-csearch_path=")
            + quoted.replace(QLatin1Char(' '), QLatin1String("\\ "))));
}

} // namespace zarvo::test
