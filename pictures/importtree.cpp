// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "pictures/importtree.h"

#include "imaging/pictureformat.h"
#include "imaging/picturekind.h"
#include "pictures/addfiles.h"
#include "store/fingerprint.h"
#include "store/foldertree.h"
#include "store/gbtext.h"
#include "store/logging.h"
#include "store/namerules.h"
#include "store/store.h"
#include "view/prompt.h"
#include "view/workspace.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(ImportTree)
};

// One directory as read: its node name, its picture files and the directories below it that
// hold pictures somewhere.
struct Directory
{
    QString path;
    QString name; // the directory's own name, as it reads
    QStringList pictures;
    std::vector<Directory> directories;
    qint64 pictureCount() const
    {
        qint64 count = pictures.size();
        for (const Directory& sub : directories)
            count += sub.pictureCount();
        return count;
    }
};

QString foldAscii(const QString& text)
{
    QString folded = text;
    for (QChar& ch : folded)
        if (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'))
            ch = QChar(ch.unicode() + 32);
    return folded;
}

// The text of a file name's bytes, or nothing when they are not UTF-8.
std::optional<QString> decodedName(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return name;
}

// A directory name as a node name: the characters no node name may hold become "_", and a
// longer name is cut to the length a typed name may have.
QString nodeNameFor(const QString& directory)
{
    QString name = directory;
    for (QChar& ch : name)
        if (ch == QLatin1Char(' ') || ch == FolderTree::kGroupMarker || ch == QLatin1Char('\t')
            || ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            ch = QLatin1Char('_');
    return gbLeft(name, NameRules::kMaxTypedBytes);
}

// The prompt of an import: the taken-name question is answered Yes, and warnings become
// failures of the import.
class ImportPrompt : public Prompt
{
public:
    explicit ImportPrompt(std::function<void(const QString&)> warn)
        : m_warn(std::move(warn))
    {
    }
    bool confirm(const QString&) override { return true; }
    void popup(PopupKind kind, const QString& text) override
    {
        if (kind == PopupKind::Warning)
            m_warn(text);
    }
    QStringList chooseOpenFiles(const QString&) override { return {}; }
    std::optional<QString> askNewName(const QString&) override { return std::nullopt; }
    NewNode askNewNode(NodeSituation) override { return {}; }
    QString chooseDirectory() override { return {}; }
    void showSearchWindow(FindSession&) override { }
    std::optional<SaveChoice> chooseSaveFile(const QString&, int, const QString&) override
    {
        return std::nullopt;
    }

private:
    std::function<void(const QString&)> m_warn;
};

class Importer
{
public:
    Importer(Store& store, FolderTree& tree, const ImportOptions& options, const ImportHooks& hooks)
        : m_store(store)
        , m_tree(tree)
        , m_options(options)
        , m_hooks(hooks)
        , m_prompt([this](const QString& text) { fail(text); })
    {
        tree.forEachNode([this](QStandardItem* node) { m_taken.insert(foldAscii(nameOf(node))); });
    }

    ImportResult run(QStandardItem* under, const QString& dir)
    {
        const QFileInfo info(dir);
        if (!info.isDir()) {
            fail(Texts::tr("目录 %1 不存在").arg(dir));
            return m_result;
        }
        Directory root;
        root.path = info.absoluteFilePath();
        root.name = info.fileName().isEmpty() ? QStringLiteral("_") : info.fileName();
        read(root);
        m_total = root.pictureCount();
        if (root.pictures.isEmpty() && root.directories.empty()) {
            ++m_result.skipped; // nothing to import
            return m_result;
        }
        if (!progress())
            return m_result;
        makeNodes(root, under);
        addPictures();
        return m_result;
    }

private:
    static QString nameOf(const QStandardItem* node)
    {
        const QString text = FolderTree::nodeText(node);
        return FolderTree::isGroup(node) ? text.mid(1) : text;
    }

    void fail(const QString& text)
    {
        ++m_result.failed;
        m_result.failures.append(text);
        // Nodes made together are made again one by one when any fails: told then.
        if (m_hooks.failed && !m_together)
            m_hooks.failed(text);
    }

    bool progress()
    {
        if (m_result.cancelled)
            return false;
        if (m_hooks.progress && !m_hooks.progress(m_done, m_total, m_result.bytes))
            m_result.cancelled = true;
        return !m_result.cancelled;
    }

    // Reads `dir.path`: picture files, and the directories below that hold pictures somewhere.
    void read(Directory& dir)
    {
        const QByteArray path = QFile::encodeName(dir.path);
        std::unique_ptr<DIR, int (*)(DIR*)> handle(opendir(path.constData()), closedir);
        if (!handle) {
            fail(Texts::tr("目录 %1 无法读取").arg(dir.path));
            return;
        }
        std::vector<std::pair<QByteArray, unsigned char>> entries;
        while (const dirent* entry = readdir(handle.get())) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                struct stat st;
                if (fstatat(dirfd(handle.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                    type = DT_UNKNOWN;
                else if (S_ISLNK(st.st_mode))
                    type = DT_LNK;
                else if (S_ISDIR(st.st_mode))
                    type = DT_DIR;
                else if (S_ISREG(st.st_mode))
                    type = DT_REG;
            }
            entries.emplace_back(name, type);
        }
        handle.reset();
        std::sort(entries.begin(), entries.end());
        for (const auto& [raw, type] : entries) {
            const std::optional<QString> name = decodedName(raw);
            const QString shown = name ? *name : QString::fromUtf8(raw);
            if (type != DT_DIR && type != DT_REG) {
                ++m_result.skipped; // links, devices, pipes: never followed
                continue;
            }
            if (type == DT_REG && !isImportablePicture(shown)) {
                ++m_result.skipped;
                continue;
            }
            if (!name) {
                fail(Texts::tr("%1 的名称不是 UTF-8 文本, 未导入")
                         .arg(dir.path + QLatin1Char('/') + shown));
                continue;
            }
            const QString child = dir.path + QLatin1Char('/') + *name;
            if (type == DT_REG) {
                dir.pictures.append(child);
                continue;
            }
            Directory sub;
            sub.path = child;
            sub.name = *name;
            read(sub);
            if (sub.pictures.isEmpty() && sub.directories.empty())
                ++m_result.skipped; // an empty directory
            else
                dir.directories.push_back(std::move(sub));
        }
    }

    // Where a directory's pictures or directories go: a node of the tree, or in a dry run a node
    // that would be made (no item).
    struct Target
    {
        bool ok = false;
        QStandardItem* item = nullptr;
        QString name;
        bool planned = false; // a dry run's node that would be made
    };

    // The nodes of the whole tree, made (or found) before any picture goes in: in one
    // transaction with one save of the tree, or when that fails, one transaction per node, so
    // that the failing ones are told and the others made.
    void makeNodes(const Directory& root, QStandardItem* under)
    {
        if (!m_options.dryRun) {
            const ImportResult before = m_result;
            const QSet<QString> taken = m_taken;
            const qint64 done = m_done;
            try {
                Store::Transaction transaction(m_store);
                m_together = true;
                place(root, Target { true, under, {}, false });
                m_together = false;
                if (m_result.failed != before.failed || !m_hooks.saveTree || !m_hooks.saveTree())
                    throw std::runtime_error("the nodes could not be made together");
                transaction.commit();
                return;
            } catch (const std::exception& e) {
                qCDebug(lcPictures) << "making the nodes together failed:" << e.what();
            }
            m_together = false;
            for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
                m_tree.removeNode(*it);
            m_made.clear();
            m_claimed.clear();
            m_folders.clear();
            m_result = before;
            m_taken = taken;
            m_done = done;
        }
        place(root, Target { true, under, {}, false });
    }

    void place(const Directory& dir, const Target& parent)
    {
        const QString name = nodeNameFor(dir.name);
        if (dir.directories.empty()) {
            const Target folder = node(parent, name, false);
            if (folder.ok)
                m_folders.push_back({ &dir.pictures, folder });
            else
                skipPictures(dir.pictures.size());
            return;
        }
        const Target group = node(parent, name, true);
        if (!group.ok) {
            skipPictures(dir.pictureCount());
            return;
        }
        if (!dir.pictures.isEmpty()) {
            const Target folder = node(group, name, false, 0);
            if (folder.ok)
                m_folders.push_back({ &dir.pictures, folder });
            else
                skipPictures(dir.pictures.size());
        }
        for (const Directory& sub : dir.directories) {
            if (m_result.cancelled)
                return;
            place(sub, group);
        }
    }

    // The node `base` (or its first free variant) of that kind under `parent`: the one an
    // earlier run made there, or a new one at `row`. Not ok when it cannot be made (the failure
    // is told); in a dry run a new node is only named.
    Target node(const Target& parent, const QString& base, bool group, int row = -1)
    {
        QStandardItem* owner = parent.item ? parent.item : m_tree.invisibleRootItem();
        for (int n = 0;; ++n) {
            const QString suffix = n == 0 ? QString() : QStringLiteral("(%1)").arg(n);
            const QString name
                = gbLeft(base, NameRules::kMaxTypedBytes - gbLength(suffix)) + suffix;
            const QString text = group ? FolderTree::kGroupMarker + name : name;
            for (int r = 0; !parent.planned && r < owner->rowCount(); ++r) {
                QStandardItem* child = owner->child(r);
                if (FolderTree::nodeText(child) == text && FolderTree::isGroup(child) == group
                    && !m_claimed.contains(child)) {
                    m_claimed.insert(child);
                    if (!group && !m_options.dryRun && !createTable(name))
                        return {};
                    return { true, child, name, false };
                }
            }
            if (m_taken.contains(foldAscii(name)) || (!group && tableTaken(name)))
                continue;
            m_taken.insert(foldAscii(name));
            if (m_options.dryRun)
                return { true, nullptr, name, true };
            QStandardItem* made
                = group ? makeGroup(parent.item, row, text) : makeFolder(parent.item, row, name);
            return { made != nullptr, made, name, false };
        }
    }

    // Makes the folder table; a refusal goes to the import's failures as the store's warning.
    bool createTable(const QString& name)
    {
        if (m_store.CreateFolderTable(name))
            return true;
        m_prompt.popup(PopupKind::Warning, Store::createFailedText(name));
        return false;
    }

    bool tableTaken(const QString& name)
    {
        try {
            return m_store.TableExists(name);
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "looking up table" << name << "failed:" << e.what();
            return true;
        }
    }

    QStandardItem* makeGroup(QStandardItem* parent, int row, const QString& text)
    {
        QStandardItem* added = m_tree.insertNode(parent, row, text);
        if (m_together) {
            m_made.push_back(added);
            m_claimed.insert(added);
            return added;
        }
        if (m_hooks.saveTree && m_hooks.saveTree()) {
            m_claimed.insert(added);
            return added;
        }
        m_tree.removeNode(added);
        fail(Texts::tr("树结构保存失败！"));
        return nullptr;
    }

    // The folder's table and node, committed together before any picture goes in.
    QStandardItem* makeFolder(QStandardItem* parent, int row, const QString& name)
    {
        QStandardItem* added = nullptr;
        if (m_together) {
            if (!createTable(name))
                return nullptr;
            added = m_tree.insertNode(parent, row, name);
            m_made.push_back(added);
            m_claimed.insert(added);
            return added;
        }
        try {
            Store::Transaction transaction(m_store);
            if (!createTable(name))
                return nullptr;
            added = m_tree.insertNode(parent, row, name);
            if (!m_hooks.saveTree || !m_hooks.saveTree())
                throw std::runtime_error("the tree could not be saved");
            transaction.commit();
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "making folder" << name << "failed:" << e.what();
            if (added)
                m_tree.removeNode(added);
            fail(Texts::tr("文件夹 %1 创建失败").arg(name));
            return nullptr;
        }
        m_claimed.insert(added);
        return added;
    }

    // Pictures of a folder that could not be made: counted as failed, not stored.
    void skipPictures(qint64 count)
    {
        m_result.failed += int(count);
        m_done += count;
        progress();
    }

    // The pictures of every folder made, in order; their records committed together across
    // folders (AddBatching), each reported once committed.
    void addPictures()
    {
        if (m_options.dryRun) {
            for (const auto& [paths, target] : m_folders)
                if (!m_result.cancelled)
                    countPictures(*paths, target);
            return;
        }
        // Small files are many: a commit (its syncs) per 256 of them would cost more than
        // writing them; the bytes and the time still end a transaction.
        AddBatching batching;
        batching.pictures = 8192;
        QList<FileToAdd> files;
        for (const auto& [paths, target] : m_folders) {
            const QString folder = FolderTree::nodeText(target.item);
            for (const QString& path : *paths)
                files.append({ path, folder });
        }
        const AddFilesResult added = AddFilesToFolders(
            m_store, files, m_prompt,
            [this] {
                ++m_done;
                return progress();
            },
            [this](const AddedPicture& picture) {
                ++m_result.added;
                m_result.bytes += picture.bytes;
                if (m_hooks.added)
                    m_hooks.added(picture.path, picture.folder, picture.name);
            },
            batching, m_options.keepDuplicates ? SameBytes::SkipInFolder : SameBytes::SkipAnywhere);
        m_result.duplicates += added.duplicates;
    }

    // A dry run reads every file and looks its bytes up, as the import would.
    void countPictures(const QStringList& paths, const Target& target)
    {
        for (const QString& path : paths) {
            QFile file(path);
            QByteArray data;
            if (file.open(QIODevice::ReadOnly))
                data = file.readAll();
            if (file.error() != QFileDevice::NoError) {
                fail(Texts::tr("文件 %1 添加失败").arg(path));
            } else {
                const QString in = m_options.keepDuplicates ? target.name : QString();
                QByteArray key = contentHash(data) + in.toUtf8();
                std::optional<StoredPicture> stored;
                try {
                    if (!m_options.keepDuplicates || target.item)
                        stored = m_store.findSameBytes(data, in);
                } catch (const std::exception& e) {
                    qCDebug(lcPictures) << "looking for the same bytes failed:" << e.what();
                }
                if (stored || m_seen.contains(key)) {
                    ++m_result.duplicates;
                } else {
                    m_seen.insert(key);
                    ++m_result.added;
                    m_result.bytes += data.size();
                }
            }
            ++m_done;
            if (!progress())
                return;
        }
    }

    Store& m_store;
    FolderTree& m_tree;
    const ImportOptions& m_options;
    const ImportHooks& m_hooks;
    ImportPrompt m_prompt;
    ImportResult m_result;
    QSet<QString> m_taken; // node names of the tree, A-Z folded
    QSet<const QStandardItem*> m_claimed; // nodes this run has placed something in
    std::vector<std::pair<const QStringList*, Target>> m_folders; // the pictures of each folder
    bool m_together = false; // nodes are made in the caller's transaction, the tree saved once
    std::vector<QStandardItem*> m_made; // the nodes made together, in order
    QSet<QByteArray> m_seen; // a dry run's contents (and folders) counted as added
    qint64 m_total = 0;
    qint64 m_done = 0;
};

} // namespace

bool isImportablePicture(const QString& fileName)
{
    const QString extension = extensionOfCome(fileName);
    return PictureKind::isKindExtension(extension) || extension == QLatin1String(".emf")
        || extension == QLatin1String(".wmf");
}

QStandardItem* nodeAtPath(const FolderTree& tree, const QString& path)
{
    QStandardItem* owner = tree.invisibleRootItem();
    QStandardItem* found = nullptr;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        found = nullptr;
        for (int r = 0; r < owner->rowCount() && !found; ++r) {
            QStandardItem* child = owner->child(r);
            const QString text = FolderTree::nodeText(child);
            if ((FolderTree::isGroup(child) ? text.mid(1) : text) == part)
                found = child;
        }
        if (!found)
            return nullptr;
        owner = found;
    }
    return found;
}

ImportResult importDirectory(Store& store, FolderTree& tree, QStandardItem* under,
    const QString& dir, const ImportOptions& options, const ImportHooks& hooks)
{
    Importer importer(store, tree, options, hooks);
    return importer.run(under, dir);
}

void menu_importClick(Workspace& workspace)
{
    Prompt& prompt = workspace.prompt();
    const QString dir = prompt.chooseDirectory();
    if (dir.isEmpty() || !workspace.ensureFingerprints())
        return;
    FolderTree& tree = workspace.tree();
    const QPersistentModelIndex selected = workspace.selectedNode();
    QStandardItem* under = selected.isValid() ? tree.itemFromIndex(selected) : nullptr;
    if (under && !FolderTree::isGroup(under))
        under = nullptr;
    const int nodesBefore = tree.rowCount(under ? under->index() : QModelIndex());
    ImportHooks hooks;
    hooks.saveTree = [&workspace] { return workspace.saveTree(); };
    hooks.failed = [](const QString& failure) { qCWarning(lcPictures).noquote() << failure; };
    hooks.progress
        = [&prompt](qint64 done, qint64 total, qint64) { return prompt.advanceWork(done, total); };
    ImportResult result;
    prompt.beginWork(Texts::tr("正在导入目录 %1").arg(dir));
    try {
        result = importDirectory(*workspace.store(), tree, under, dir, ImportOptions {}, hooks);
    } catch (const std::exception& e) {
        qCDebug(lcPictures) << "importing" << dir << "failed:" << e.what();
        result.failures.append(Texts::tr("目录 %1 导入失败").arg(dir));
        ++result.failed;
    }
    prompt.endWork();
    // The imported node shows, opened all the way down.
    const QModelIndex parent = under ? under->index() : QModelIndex();
    if (tree.rowCount(parent) > nodesBefore)
        workspace.expandNode(tree.index(tree.rowCount(parent) - 1, 0, parent), true);
    if (workspace.isFolderOpen()) {
        try {
            workspace.reloadFolder();
        } catch (const std::exception& e) {
            qCDebug(lcPictures) << "reloading the folder after importing failed:" << e.what();
        }
    }
    QString summary = (result.cancelled ? Texts::tr("导入已取消: ") : Texts::tr("导入完成: "))
        + Texts::tr("添加 %1 张图片, 跳过 %2 张重复的图片, 跳过 %3 个非图片文件, %4 个失败")
              .arg(result.added)
              .arg(result.duplicates)
              .arg(result.skipped)
              .arg(result.failed);
    constexpr int kShownFailures = 3;
    for (qsizetype i = 0; i < std::min<qsizetype>(kShownFailures, result.failures.size()); ++i)
        summary += QLatin1Char('\n') + result.failures[i];
    if (result.failures.size() > kShownFailures)
        summary += QLatin1Char('\n')
            + Texts::tr("还有 %1 个失败").arg(result.failures.size() - kShownFailures);
    prompt.popup(PopupKind::Success, summary);
}

} // namespace zarvo
