// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/movenode.h"
#include "store/foldertree.h"
#include "store/treeblob.h"
#include "support/testpictures.h"
#include "support/workspacefixture.h"

#include <QSignalSpy>

using namespace zarvo;
using namespace zarvo::test;

namespace {

const QString G = QString(FolderTree::kGroupMarker);

class MoveNodeTest : public BothEngines
{
protected:
    // The tree "+A { +B { F1 } F2 }", "+C", "F3", loaded afresh.
    void loadTree()
    {
        if (!ws) {
            Store& store = this->store();
            for (const char* folder : { "F1", "F2", "F3" })
                ASSERT_TRUE(store.CreateFolderTable(QLatin1String(folder)));
            store.createTreeTable();
            start();
        }
        ws->store()->writeTreeStream("\x01"
                                     "A\r\n\t\x01"
                                     "B\r\n\t\tF1\r\n\tF2\r\n\x01"
                                     "C\r\nF3\r\n");
        ASSERT_TRUE(ws->loadTree());
    }
    // "level:text" lines of the stored tree, group marker shown as '+'.
    QStringList savedTree()
    {
        FolderTree saved;
        OpenBlob(*ws->store(), saved, prompt);
        QStringList lines;
        saved.forEachNode([&](QStandardItem* n) {
            QString text = FolderTree::nodeText(n);
            text.replace(FolderTree::kGroupMarker, QLatin1Char('+'));
            lines.append(QString::number(FolderTree::level(n)) + QLatin1Char(':') + text);
        });
        return lines;
    }
    // The node written as in savedTree() ("+A", "F1"), or none for an empty text.
    QModelIndex at(const QString& shown) const
    {
        if (shown.isEmpty())
            return QModelIndex();
        QString text = shown;
        text.replace(QLatin1Char('+'), FolderTree::kGroupMarker);
        return node(text);
    }
};

} // namespace

ZARVO_ON_BOTH_ENGINES(MoveNodeTest);

TEST_P(MoveNodeTest, DropsFollowTheMoveRulesAndAlwaysSaveTheTree)
{
    struct Case
    {
        const char* what;
        const char* dragged;
        const char* target; // "": empty space
        const char* top; // the node in the top visible row; "": not scrolled
        const char* tree; // "level:text" lines of the saved tree
        const char* expanded; // "+B*": with all its descendants
    };
    const char* const unchanged = "0:+A 1:+B 2:F1 1:F2 0:+C 0:F3";
    const Case cases[] = {
        { "empty space, not scrolled", "F2", "", "", "0:+A 1:+B 2:F1 0:+C 0:F3 0:F2", "" },
        { "empty space, the top item itself", "+A", "", "", unchanged, "" },
        { "empty space, scrolled to a nested node", "F3", "", "F1", "0:+A 1:+B 2:F1 2:F3 1:F2 0:+C",
            "+B" },
        { "empty space, under itself", "+A", "", "F1", unchanged, "" },
        { "a folder node", "F3", "F2", "", unchanged, "" },
        { "its own parent", "+B", "+A", "", unchanged, "" },
        { "itself", "+C", "+C", "", unchanged, "" },
        { "under a descendant", "+A", "+B", "", unchanged, "+B*" },
        { "a group node", "F3", "+B", "", "0:+A 1:+B 2:F1 2:F3 1:F2 0:+C", "+B*" },
        { "a group with its subtree", "+A", "+C", "", "0:+C 1:+A 2:+B 3:F1 2:F2 0:F3", "+C*" },
    };
    const auto words = [](const char* text) {
        return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        loadTree();
        QSignalSpy expanded(ws, &Workspace::nodeExpanded);
        // Every drop writes the tree: over a stale stream in the file, raising the version on
        // a server (where writing behind the workspace's back would make its save a conflict).
        if (engine() == Engine::File)
            ws->store()->writeTreeStream("stale");
        const qint64 version = ws->store()->readTree().version;
        selectNode(QString::fromUtf8(c.dragged).remove(QLatin1Char('+')));
        tree1DragDrop(*ws, at(QString::fromUtf8(c.target)), at(QString::fromUtf8(c.top)));
        EXPECT_EQ(savedTree(), words(c.tree)) << "saved after every drop, moved or not";
        if (engine() == Engine::Server) {
            EXPECT_GT(ws->store()->readTree().version, version);
        }
        QStringList shown;
        for (const QList<QVariant>& signal : expanded) {
            QString text
                = FolderTree::nodeText(ws->tree().itemFromIndex(signal.at(0).toModelIndex()));
            shown.append(text.replace(FolderTree::kGroupMarker, QLatin1Char('+'))
                + (signal.at(1).toBool() ? QStringLiteral("*") : QString()));
        }
        EXPECT_EQ(shown, words(c.expanded));
        EXPECT_EQ(ws->selectedNode(), at(QString::fromUtf8(c.dragged)))
            << "the dragged node stays selected";
        EXPECT_TRUE(prompt.popups.isEmpty());
    }
}

TEST_P(MoveNodeTest, MovedFolderKeepsItsKindTableAndStaysOpen)
{
    makeFolder(QStringLiteral("F"),
        { { QStringLiteral("/p/cat.jpg"),
            testpictures::encodeJpeg(testpictures::photoLike(20, 20, 1), 85) } });
    start();
    ws->tree().appendNode(nullptr, G + QStringLiteral("G"));
    clickNode(QStringLiteral("F"));
    ASSERT_EQ(captions(), QStringList { QStringLiteral("cat") });

    tree1DragDrop(*ws, node(G + QStringLiteral("G")), QModelIndex());
    QStandardItem* moved = ws->tree().itemFromIndex(node(QStringLiteral("F")));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(FolderTree::nodeText(FolderTree::parentNode(moved)), G + QStringLiteral("G"));
    EXPECT_EQ(FolderTree::imageIndex(moved), FolderTree::kFolderImage);
    EXPECT_EQ(ws->openFolder(), QStringLiteral("F"));
    EXPECT_EQ(captions(), QStringList { QStringLiteral("cat") });
    EXPECT_EQ(rowNames(QStringLiteral("F")), QStringList { QStringLiteral("cat") });
}
