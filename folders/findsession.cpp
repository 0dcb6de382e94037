// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "folders/findsession.h"

#include "store/logging.h"
#include "store/namerules.h"
#include "store/store.h"
#include "view/prompt.h"
#include "view/workspace.h"

namespace zarvo {

namespace {

QString foldAsciiLetters(QString text)
{
    for (QChar& c : text)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return text;
}

void copyChildren(const QStandardItem* from, QStandardItem* to)
{
    for (int r = 0; r < from->rowCount(); ++r) {
        const QStandardItem* child = from->child(r);
        auto* copy = new QStandardItem;
        copy->setData(child->data(Qt::EditRole), Qt::EditRole);
        copy->setData(child->data(FolderTree::ImageIndexRole), FolderTree::ImageIndexRole);
        copy->setEditable(false);
        copy->setDragEnabled(false);
        copy->setDropEnabled(false);
        to->appendRow(copy);
        copyChildren(child, copy);
    }
}

} // namespace

bool searchMatches(const QString& text, const QString& candidate)
{
    return foldAsciiLetters(candidate).contains(foldAsciiLetters(text));
}

namespace {

void appendMatches(
    QStringList& results, const QString& table, const QStringList& names, const QString& wanted)
{
    for (const QString& name : names)
        if (!name.isNull() && foldAsciiLetters(name).contains(wanted))
            results.append(FindSession::tr("文件夹: %1  -> 文件名:%2").arg(table, name));
}

} // namespace

QStringList FindFiles(Store& store, const QStringList& tables, const QString& text)
{
    const QString wanted = foldAsciiLetters(text);
    QStringList named;
    for (const QString& table : tables)
        if (!table.isEmpty())
            named.append(table);
    QList<QStringList> names;
    try {
        names = store.pictureNames(named);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "searching the tables failed:" << e.what();
        return {};
    }
    QStringList results;
    for (qsizetype i = 0; i < named.size(); ++i)
        appendMatches(results, named[i], names[i], wanted);
    return results;
}

FindSession::FindSession(Workspace& workspace, SearchKind kind)
    : m_prompt(workspace.prompt())
    , m_store(*workspace.store())
    , m_kind(kind)
    , m_pane(kind)
    , m_tables(m_store.tableNames())
{
    copyChildren(workspace.tree().invisibleRootItem(), m_treeCopy.invisibleRootItem());
}

void FindSession::setKind(SearchKind kind)
{
    m_kind = kind;
    showPane(kind);
}

void FindSession::showPane(SearchKind pane)
{
    m_pane = pane;
    Q_EMIT paneChanged(pane);
}

void FindSession::search(const QString& text)
{
    try {
        if (NameRules::hasGroupMarker(text)) {
            m_prompt.popup(PopupKind::Warning, tr("在你的名称中不能存在ASCII码1"));
            return;
        }
        if (NameRules::hasSpace(text)) {
            m_prompt.popup(PopupKind::Warning, tr("在你的名称中不能存在空格字符"));
            return;
        }
        if (text.isEmpty()) {
            m_prompt.popup(PopupKind::Tip, tr("请输入要查找的名称"));
            Q_EMIT editFocusRequested();
            return;
        }
        if (m_kind == SearchKind::Nodes)
            findNode(text);
        else
            findFiles(text);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "search ended:" << e.what();
    }
}

void FindSession::findFiles(const QString& text)
{
    m_results.clear();
    Q_EMIT resultsChanged();
    m_results = FindFiles(m_store, m_tables, text);
    Q_EMIT resultsChanged();
    if (m_results.isEmpty())
        m_prompt.popup(PopupKind::Warning, tr("文件没有找到"));
    showPane(SearchKind::Files);
}

void FindSession::findNode(const QString& text)
{
    const QModelIndexList selected = m_treeSelection.selectedIndexes();
    if (selected.isEmpty()) {
        m_prompt.popup(PopupKind::Tip, tr("请先选择一个查找的启始点"));
        return;
    }
    // After the last node the search starts over at the first.
    QStandardItem* node = FolderTree::nextInWalk(m_treeCopy.itemFromIndex(selected.first()));
    if (!node)
        node = m_treeCopy.item(0);
    QStandardItem* last = nullptr;
    for (; node; node = FolderTree::nextInWalk(node)) {
        if (searchMatches(text, FolderTree::nodeText(node))) {
            showPane(SearchKind::Nodes);
            const QModelIndex found = node->index();
            m_treeSelection.setCurrentIndex(found, QItemSelectionModel::ClearAndSelect);
            Q_EMIT nodeFound(found);
            return;
        }
        last = node;
    }
    m_treeSelection.setCurrentIndex(
        m_treeCopy.indexOfNode(last), QItemSelectionModel::ClearAndSelect);
    m_prompt.popup(PopupKind::Tip, tr("文件夹/树结构 %1 没有找到").arg(text));
}

void OpenSearchWindow(Workspace& workspace, SearchKind kind)
{
    try {
        if (!workspace.store())
            return;
        FindSession session(workspace, kind);
        workspace.prompt().showSearchWindow(session);
    } catch (const std::exception& e) {
        qCDebug(lcFolders) << "the search window failed:" << e.what();
    }
}

void menu_findfileClick(Workspace& workspace)
{
    OpenSearchWindow(workspace, SearchKind::Files);
}

void btn_findfolderClick(Workspace& workspace)
{
    OpenSearchWindow(workspace, SearchKind::Nodes);
}

} // namespace zarvo
