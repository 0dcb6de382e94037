// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "store/treeblob.h"

#include "store/foldertree.h"
#include "store/logging.h"
#include "store/popups.h"
#include "store/store.h"
#include "store/treestream.h"

#include <QCoreApplication>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(TreeBlob)
};

} // namespace

bool OpenBlob(Store& store, FolderTree& tree, Popups& popups, qint64* version)
{
    bool ok = false;
    try {
        if (!store.TableExists(QStringLiteral("blob")))
            store.createTreeTable();
        const Store::Tree stored = store.readTree();
        if (version)
            *version = stored.version;
        ok = DecodeTreeStream(stored.stream, tree);
    } catch (const std::exception& e) {
        qCDebug(lcStore) << "reading the tree failed:" << e.what();
        ok = false;
    }
    if (!ok)
        popups.popup(PopupKind::Warning, Texts::tr("树结构读取失败！"));
    return ok;
}

bool SaveTree(Store& store, const FolderTree& tree, Popups& popups, const NodePredicate& leaveOut)
{
    try {
        store.writeTreeStream(EncodeTreeStream(tree, leaveOut));
        return true;
    } catch (const std::exception& e) {
        qCDebug(lcStore) << "saving the tree failed:" << e.what();
        popups.popup(PopupKind::Warning, Texts::tr("树结构保存失败！"));
        return false;
    }
}

} // namespace zarvo
