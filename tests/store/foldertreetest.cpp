// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/foldertree.h"
#include "store/treestream.h"

#include <gtest/gtest.h>

using namespace zarvo;

namespace {

// A
//   D
//   B
//     C
// E
//   F
class FolderTreeWalk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(DecodeTreeStream("A\r\n\tD\r\n\tB\r\n\t\tC\r\nE\r\n\tF\r\n", tree));
    }
    QStandardItem* at(const char* text) const
    {
        return text ? tree.findFolder(QLatin1String(text)) : nullptr;
    }
    static QString text(const QStandardItem* node) { return FolderTree::nodeText(node); }

    FolderTree tree;
};

} // namespace

TEST_F(FolderTreeWalk, NextNodeGoesDownThenAcrossThenUp)
{
    struct Case
    {
        const char* node;
        bool intoChildren;
        const char* next; // empty: none
    };
    const Case cases[] = {
        { "A", true, "D" },
        { "A", false, "E" },
        { "D", false, "B" },
        { "B", true, "C" },
        { "C", true, "E" }, // up two levels
        { "E", false, "" },
        { "F", true, "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(FolderTree::nextInWalk(at(c.node), c.intoChildren)), QLatin1String(c.next))
            << c.node << " " << c.intoChildren;
    EXPECT_EQ(FolderTree::ownerOf(at("A")), tree.invisibleRootItem());
    EXPECT_EQ(FolderTree::ownerOf(at("C")), at("B"));
}

TEST_F(FolderTreeWalk, NodeAboveIsTheLastShownNodeBeforeIt)
{
    struct Case
    {
        const char* node;
        const char* collapsed; // null: everything expanded
        const char* above; // empty: none
    };
    const Case cases[] = {
        { "A", nullptr, "" },
        { "D", nullptr, "A" },
        { "B", nullptr, "D" },
        { "E", nullptr, "C" }, // down two levels
        { "E", "B", "B" },
        { "E", "A", "A" },
        { "F", "A", "E" },
    };
    for (const Case& c : cases) {
        const QStandardItem* collapsed = at(c.collapsed);
        EXPECT_EQ(text(FolderTree::nodeAbove(
                      at(c.node), [collapsed](const QStandardItem* n) { return n != collapsed; })),
            QLatin1String(c.above))
            << c.node;
    }
}
