// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/widgetprompt.h"
#include "pictures/addcommand.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace zarvo;

namespace {

// Whether QFileDialog, given the name filter, would list the file (it takes the patterns
// between the last parentheses, separated by spaces, as wildcards).
bool lists(const QString& nameFilter, const QString& file)
{
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const QStringList patterns = nameFilter.mid(open + 1).chopped(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& pattern : patterns)
        if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern)).match(file).hasMatch())
            return true;
    return false;
}

} // namespace

TEST(WidgetPrompt, OpenDialogFiltersShowTheirTextAndFilterInAnyCase)
{
    const WidgetPrompt::NameFilters filters = WidgetPrompt::nameFilters(QString::fromUtf8(kOpenPictureFilter));
    ASSERT_EQ(filters.shown.size(), 7);
    EXPECT_EQ(filters.shown.first(), QStringLiteral("All (*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)"));
    EXPECT_EQ(filters.shown.last(), QStringLiteral("Icons (*.ico)"));
    ASSERT_EQ(filters.patterns.size(), 7);
    for (const char* file : {"a.gif", "b.PNG", "c.Jpg", "d.jpeg", "e.bmp", "f.ico", "g.emf", "h.WMF"})
        EXPECT_TRUE(lists(filters.patterns.first(), QString::fromLatin1(file))) << file;
    for (const char* file : {"a.txt", "b.jpgx", "png", "c.jp"})
        EXPECT_FALSE(lists(filters.patterns.first(), QString::fromLatin1(file))) << file;
    EXPECT_TRUE(lists(filters.patterns[2], QStringLiteral("x.PNG")));
    EXPECT_FALSE(lists(filters.patterns[2], QStringLiteral("x.gif")));
}
