// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/commandline.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zarvo;

TEST(CommandLine, ChoosesTheStoreAndRefusesWhatItDoesNotKnow)
{
    const QString here = QDir::current().absoluteFilePath(QStringLiteral("data.mdb"));
    const struct
    {
        QStringList args;
        QString environment;
        bool run;
        int status;
        QString store; // when run
        QString output; // a text the output holds
        QString error; // a text the error holds
    } cases[] = {
        { {}, {}, true, 0, here, {}, {} },
        { {}, QStringLiteral("/srv/p.mdb"), true, 0, QStringLiteral("/srv/p.mdb"), {}, {} },
        { { QStringLiteral("--store"), QStringLiteral("x.mdb") }, QStringLiteral("/srv/p.mdb"),
            true, 0, QDir::current().absoluteFilePath(QStringLiteral("x.mdb")), {}, {} },
        { { QStringLiteral("--store=/a b/c.mdb") }, {}, true, 0, QStringLiteral("/a b/c.mdb"), {},
            {} },
        { { QStringLiteral("-platform"), QStringLiteral("offscreen") }, {}, true, 0, here, {}, {} },
        { { QStringLiteral("--help") }, {}, false, 0, {}, QStringLiteral("--store <NAME>"), {} },
        { { QStringLiteral("-h") }, {}, false, 0, {}, QStringLiteral("--version"), {} },
        { { QStringLiteral("--version") }, {}, false, 0, {}, QStringLiteral("zarvo 0."), {} },
        { { QStringLiteral("--bogus") }, {}, false, 2, {}, {}, QStringLiteral("--store <NAME>") },
        { { QStringLiteral("--store") }, {}, false, 2, {}, {}, QStringLiteral("--store <NAME>") },
        { { QStringLiteral("extra") }, {}, false, 2, {}, {}, QStringLiteral("extra") },
        // A server's connection URI is taken as it is, never as a path.
        { { QStringLiteral("--store"), QStringLiteral("postgres://h/db") }, {}, true, 0,
            QStringLiteral("postgres://h/db"), {}, {} },
        { {}, QStringLiteral("postgresql://h/db?sslmode=require"), true, 0,
            QStringLiteral("postgresql://h/db?sslmode=require"), {}, {} },
    };
    for (const auto& c : cases) {
        const CommandLine line
            = parseCommandLine(QStringList(QStringLiteral("zarvo")) + c.args, c.environment);
        const std::string what = c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(line.run, c.run) << what;
        EXPECT_EQ(line.status, c.status) << what;
        if (c.run) {
            EXPECT_EQ(line.store, c.store) << what;
        }
        EXPECT_EQ(line.output.isEmpty(), c.output.isEmpty()) << what;
        EXPECT_TRUE(line.output.contains(c.output)) << what;
        EXPECT_EQ(line.error.isEmpty(), c.error.isEmpty()) << what;
        EXPECT_TRUE(line.error.contains(c.error)) << what;
    }
}
