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
    Language language;
    // the files of the sandbox, separated by spaces: work/help.chm, and installed/ and source/
    // for the guide's folders
    const char* files;
    const char* handler;
    // the file opened, "" for nothing
    const char* opens;
    bool handlerAsked;
};

const HelpCase kHelpCases[] = {
    { "help.chm with a program for it", Language::Chinese,
        "work/help.chm installed/index.html source/index.html", "xchm.desktop", "work/help.chm",
        true },
    { "help.chm the desktop cannot open", Language::Chinese,
        "work/help.chm installed/index.html source/index.html", "", "installed/index.html", true },
    { "no help.chm: the desktop is not asked", Language::Chinese,
        "installed/index.html source/index.html", "xchm.desktop", "installed/index.html", false },
    { "run from the build tree", Language::Chinese, "source/index.html", "", "source/index.html",
        false },
    { "help.chm, no program, build tree", Language::Chinese, "work/help.chm source/index.html", "",
        "source/index.html", true },
    { "nothing to open", Language::Chinese, "work/help.chm", "", "", true },
    { "Chinese: the Chinese guide beside the English one", Language::Chinese,
        "installed/index.html installed/en/index.html", "", "installed/index.html", false },
    { "English: the English guide", Language::English,
        "installed/index.html installed/en/index.html source/en/index.html", "",
        "installed/en/index.html", false },
    { "English from the build tree", Language::English, "source/index.html source/en/index.html",
        "", "source/en/index.html", false },
    { "English, a guide without English: the Chinese one", Language::English,
        "installed/index.html source/index.html source/en/index.html", "", "installed/index.html",
        false },
    { "English, help.chm with a program for it", Language::English,
        "work/help.chm installed/index.html installed/en/index.html", "xchm.desktop",
        "work/help.chm", true },
};

TEST(HelpDocument, OpensHelpChmOnlyWhenTheDesktopCanElseTheGuideInTheLanguage)
{
    for (const HelpCase& c : kHelpCases) {
        SCOPED_TRACE(c.what);
        test::Sandbox sandbox;
        ASSERT_TRUE(QDir(sandbox.dir()).mkpath(QStringLiteral("work")));
        for (const QString& file :
            QString::fromUtf8(c.files).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            sandbox.writeFile(file, "<html>");
        const HelpPlaces places { sandbox.path(QStringLiteral("work")),
            sandbox.path(QStringLiteral("installed")), sandbox.path(QStringLiteral("source")) };

        bool asked = false;
        const QUrl url = helpDocument(places, c.language, [&] {
            asked = true;
            return QString::fromUtf8(c.handler);
        });

        const QString opens = QString::fromUtf8(c.opens);
        EXPECT_EQ(url.toLocalFile().toStdString(),
            opens.isEmpty() ? std::string() : sandbox.path(opens).toStdString());
        EXPECT_EQ(url.isEmpty(), opens.isEmpty());
        EXPECT_EQ(asked, c.handlerAsked);
    }
}

TEST(HelpDocument, ADirectoryNamedHelpChmIsNoHelpFile)
{
    test::Sandbox sandbox;
    ASSERT_TRUE(QDir(sandbox.dir()).mkpath(QStringLiteral("help.chm")));
    sandbox.writeFile(QStringLiteral("guide/index.html"), "<html>");
    const QUrl url = helpDocument({ sandbox.dir(), sandbox.path(QStringLiteral("guide")), {} },
        Language::Chinese, [] { return QStringLiteral("xchm.desktop"); });
    EXPECT_EQ(url.toLocalFile(), sandbox.path(QStringLiteral("guide/index.html")));
}

} // namespace
} // namespace zarvo
