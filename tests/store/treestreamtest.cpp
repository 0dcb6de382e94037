// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/treestream.h"
#include "store/foldertree.h"

#include <gtest/gtest.h>

using namespace zarvo;

namespace {

const QString kGroup = QString(FolderTree::kGroupMarker);

// The tree as "level:text" lines, group nodes marked with '+', for compact assertions.
QStringList shape(const FolderTree& tree)
{
    QStringList lines;
    tree.forEachNode([&](QStandardItem* node) {
        QString text = FolderTree::nodeText(node);
        text.replace(FolderTree::kGroupMarker, QLatin1Char('+'));
        lines.append(QString::number(FolderTree::level(node)) + QLatin1Char(':') + text
            + (FolderTree::isGroup(node) ? QStringLiteral("[g]") : QString()));
    });
    return lines;
}

} // namespace

TEST(TreeStream, EncodesPreOrderWithTabsAndCrLf)
{
    FolderTree tree;
    QStandardItem* a = tree.appendNode(nullptr, kGroup + QStringLiteral("A"));
    tree.appendNode(a, QStringLiteral("B"));
    tree.appendNode(nullptr, QStringLiteral("C"));
    const QByteArray expected("\x01"
                              "A\r\n\tB\r\nC\r\n");
    EXPECT_EQ(EncodeTreeStream(tree), expected);
    EXPECT_TRUE(EncodeTreeStream(FolderTree()).isEmpty());
}

TEST(TreeStream, RoundTripKeepsTextsAndKinds)
{
    FolderTree tree;
    QStandardItem* g = tree.appendNode(nullptr, kGroup + QStringLiteral("照片"));
    QStandardItem* g2 = tree.appendNode(g, kGroup + QStringLiteral("2024"));
    tree.appendNode(g2, QStringLiteral("春天"));
    tree.appendNode(g2, QStringLiteral("a\"b"));
    tree.appendNode(g, QStringLiteral("Cats"));
    tree.appendNode(nullptr, kGroup + QStringLiteral("照片")); // group names may repeat
    tree.appendNode(nullptr, QStringLiteral("top"));
    FolderTree copy;
    ASSERT_TRUE(DecodeTreeStream(EncodeTreeStream(tree), copy));
    EXPECT_EQ(shape(copy), shape(tree));
    EXPECT_EQ(shape(copy),
        (QStringList { QStringLiteral("0:+照片[g]"), QStringLiteral("1:+2024[g]"),
            QStringLiteral("2:春天"), QStringLiteral("2:a\"b"), QStringLiteral("1:Cats"),
            QStringLiteral("0:+照片[g]"), QStringLiteral("0:top") }));
}

TEST(TreeStream, DecodingFollowsTheLevelRules)
{
    FolderTree tree;
    // First line indented: top level all the same. Spaces count like TABs. Going up several
    // levels at once lands under the right ancestor. No final line end.
    ASSERT_TRUE(DecodeTreeStream("\t\tA\n B\r  C\r\n\tD\rE", tree));
    EXPECT_EQ(shape(tree),
        (QStringList { QStringLiteral("0:A"), QStringLiteral("1:B"), QStringLiteral("2:C"),
            QStringLiteral("1:D"), QStringLiteral("0:E") }));

    ASSERT_TRUE(DecodeTreeStream("A\r\n\tB\r\n\t\tC\r\nD\r\n", tree));
    EXPECT_EQ(shape(tree),
        (QStringList { QStringLiteral("0:A"), QStringLiteral("1:B"), QStringLiteral("2:C"),
            QStringLiteral("0:D") }));
}

TEST(TreeStream, EmptyLinesAndNulBytes)
{
    FolderTree tree;
    ASSERT_TRUE(DecodeTreeStream("A\r\n\r\nB\r\n", tree));
    EXPECT_EQ(shape(tree),
        (QStringList { QStringLiteral("0:A"), QStringLiteral("0:"), QStringLiteral("0:B") }));
    ASSERT_TRUE(DecodeTreeStream(QByteArray("A\r\nB\0C\r\nD\r\n", 11), tree));
    EXPECT_EQ(shape(tree), (QStringList { QStringLiteral("0:A"), QStringLiteral("0:B") }));
    ASSERT_TRUE(DecodeTreeStream(QByteArray(), tree));
    EXPECT_EQ(tree.nodeCount(), 0);
}

TEST(TreeStream, JumpOfTwoLevelsFailsAndKeepsWhatCameBefore)
{
    FolderTree tree;
    tree.appendNode(nullptr, QStringLiteral("old"));
    EXPECT_FALSE(DecodeTreeStream("A\r\n\tB\r\n\t\t\tC\r\nD\r\n", tree));
    EXPECT_EQ(shape(tree), (QStringList { QStringLiteral("0:A"), QStringLiteral("1:B") }));
}

TEST(TreeStream, GroupNodesShowTheirNameWithoutTheMarker)
{
    FolderTree tree;
    QStandardItem* g = tree.appendNode(nullptr, kGroup + QStringLiteral("动物"));
    QStandardItem* f = tree.appendNode(g, QStringLiteral("猫"));
    EXPECT_EQ(tree.data(g->index(), Qt::DisplayRole).toString(), QStringLiteral("动物"));
    EXPECT_EQ(FolderTree::nodeText(g), kGroup + QStringLiteral("动物"));
    EXPECT_EQ(tree.data(f->index(), Qt::DisplayRole).toString(), QStringLiteral("猫"));
    EXPECT_EQ(tree.findFolder(QStringLiteral("猫")), f);
    EXPECT_EQ(tree.findFolder(QStringLiteral("动物")), nullptr);
}
