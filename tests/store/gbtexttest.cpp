// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/gbtext.h"

#include <gtest/gtest.h>

using namespace zarvo;

TEST(GbText, CountsAsciiOneAndChineseTwo)
{
    EXPECT_EQ(gbLength(QString()), 0);
    EXPECT_EQ(gbLength(QStringLiteral("cat.jpg")), 7);
    EXPECT_EQ(gbLength(QStringLiteral("猫")), 2);
    EXPECT_EQ(gbLength(QStringLiteral("小猫a")), 5);
    // Outside the two-byte area: four bytes each.
    EXPECT_EQ(gbLength(QString::fromUcs4(U"😀")), 4);
}

TEST(GbText, CutsNeverSplitACharacter)
{
    const QString name = QStringLiteral("ab猫猫猫");
    EXPECT_EQ(gbLeft(name, 3), QStringLiteral("ab"));
    EXPECT_EQ(gbLeft(name, 4), QStringLiteral("ab猫"));
    EXPECT_EQ(gbLeft(name, 100), name);
    EXPECT_EQ(gbLeft(name, 0), QString());
    EXPECT_EQ(gbRight(name, 3), QStringLiteral("猫"));
    EXPECT_EQ(gbRight(name, 7), QStringLiteral("b猫猫猫"));
    const QString emoji = QString::fromUcs4(U"a😀b");
    EXPECT_EQ(gbLeft(emoji, 4), QStringLiteral("a"));
    EXPECT_EQ(gbRight(emoji, 4), QStringLiteral("b"));
    EXPECT_EQ(gbRight(emoji, 5), QString::fromUcs4(U"😀b"));
}

TEST(GbText, FoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(equalsFoldingAsciiLetters(QStringLiteral("BLOB"), QStringLiteral("blob")));
    EXPECT_TRUE(equalsFoldingAsciiLetters(QStringLiteral("猫A"), QStringLiteral("猫a")));
    EXPECT_FALSE(equalsFoldingAsciiLetters(QStringLiteral("blob"), QStringLiteral("blob2")));
    // Letters outside A-Z keep their case.
    EXPECT_FALSE(equalsFoldingAsciiLetters(QStringLiteral("Ä"), QStringLiteral("ä")));
    EXPECT_FALSE(equalsFoldingAsciiLetters(QStringLiteral("猫"), QStringLiteral("狗")));
}
