// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/helpdocument.h"

#include "support/sandbox.h"

#include <QDir>
#include <gtest/gtest.h>

namespace zarvo {
namespace {

struct HelpCase
{
    const char* what;
    bool chmFile;
    const char* handler;
    bool installedGuide;
    bool sourceGuide;
    // "chm", "installed", "source" or "" (nothing to open)
    const char* opens;
    bool handlerAsked;
};

const HelpCase kHelpCases[] = {
    { "help.chm with a program for it", true, "xchm.desktop", true, true, "chm", true },
    { "help.chm the desktop cannot open", true, "", true, true, "installed", true },
    { "no help.chm: the desktop is not asked", false, "xchm.desktop", true, true, "installed",
        false },
    { "run from the build tree", false, "", false, true, "source", false },
    { "help.chm, no program, build tree", true, "", false, true, "source", true },
    { "nothing to open", true, "", false, false, "", true },
};

TEST(HelpDocument, OpensHelpChmOnlyWhenTheDesktopCanElseTheGuide)
{
    for (const HelpCase& c : kHelpCases) {
        SCOPED_TRACE(c.what);
        test::Sandbox sandbox;
        ASSERT_TRUE(QDir(sandbox.dir()).mkpath(QStringLiteral("work")));
        const QString working = sandbox.path(QStringLiteral("work"));
        if (c.chmFile)
            sandbox.writeFile(QStringLiteral("work/help.chm"), "ITSF");
        const HelpPlaces places { working, sandbox.path(QStringLiteral("installed.html")),
            sandbox.path(QStringLiteral("source.html")) };
        if (c.installedGuide)
            sandbox.writeFile(QStringLiteral("installed.html"), "<html>");
        if (c.sourceGuide)
            sandbox.writeFile(QStringLiteral("source.html"), "<html>");

        bool asked = false;
        const QUrl url = helpDocument(places, [&] {
            asked = true;
            return QString::fromUtf8(c.handler);
        });

        const QString opens = QString::fromUtf8(c.opens);
        const QString expected = opens == QLatin1String("chm")
            ? working + QStringLiteral("/help.chm")
            : opens.isEmpty() ? QString()
                              : sandbox.path(opens + QStringLiteral(".html"));
        EXPECT_EQ(url.toLocalFile(), expected);
        EXPECT_EQ(url.isEmpty(), opens.isEmpty());
        EXPECT_EQ(asked, c.handlerAsked);
    }
}

TEST(HelpDocument, ADirectoryNamedHelpChmIsNoHelpFile)
{
    test::Sandbox sandbox;
    ASSERT_TRUE(QDir(sandbox.dir()).mkpath(QStringLiteral("help.chm")));
    sandbox.writeFile(QStringLiteral("guide.html"), "<html>");
    const QUrl url = helpDocument({ sandbox.dir(), sandbox.path(QStringLiteral("guide.html")), {} },
        [] { return QStringLiteral("xchm.desktop"); });
    EXPECT_EQ(url.toLocalFile(), sandbox.path(QStringLiteral("guide.html")));
}

} // namespace
} // namespace zarvo
