// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/treestream.h"

#include "store/foldertree.h"

namespace zarvo {

QByteArray EncodeTreeStream(const FolderTree& tree)
{
    return EncodeTreeStream(tree, NodePredicate());
}

QByteArray EncodeTreeStream(const FolderTree& tree, const NodePredicate& leaveOut)
{
    QByteArray out;
    const QStandardItem* node = tree.item(0);
    while (node) {
        if (leaveOut && leaveOut(node)) {
            node = FolderTree::nextInWalk(node, false);
            continue;
        }
        out.append(QByteArray(FolderTree::level(node), '\t'));
        out.append(FolderTree::nodeText(node).toUtf8());
        out.append("\r\n");
        node = FolderTree::nextInWalk(node);
    }
    return out;
}

namespace {

QList<QByteArray> splitLines(QByteArray bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return lines;
}

} // namespace

bool DecodeTreeStream(const QByteArray& bytes, FolderTree& tree)
{
    tree.clear();
    QStandardItem* previous = nullptr;
    for (const QByteArray& line : splitLines(bytes)) {
        int level = 0;
        while (level < line.size() && (line.at(level) == '\t' || line.at(level) == ' '))
            ++level;
        const QString text = QString::fromUtf8(line.mid(level));
        if (!previous) {
            previous = tree.appendNode(nullptr, text);
            continue;
        }
        const int previousLevel = FolderTree::level(previous);
        if (level == previousLevel) {
            previous = tree.appendNode(FolderTree::parentNode(previous), text);
        } else if (level == previousLevel + 1) {
            previous = tree.appendNode(previous, text);
        } else if (level < previousLevel) {
            QStandardItem* ancestor = FolderTree::parentNode(previous);
            while (FolderTree::level(ancestor) > level)
                ancestor = FolderTree::parentNode(ancestor);
            previous = tree.appendNode(FolderTree::parentNode(ancestor), text);
        } else {
            return false;
        }
    }
    return true;
}

} // namespace zarvo
