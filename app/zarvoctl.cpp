// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/zarvoctl.h"

#include "pictures/addfiles.h"
#include "pictures/duplicates.h"
#include "pictures/exportfolder.h"
#include "pictures/importtree.h"
#include "store/compaction.h"
#include "store/foldertree.h"
#include "store/gbtext.h"
#include "store/namerules.h"
#include "store/pgstore.h"
#include "store/sqlitestore.h"
#include "store/store.h"
#include "store/storetransfer.h"
#include "store/treeblob.h"
#include "view/consoleprompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <unistd.h>

namespace zarvo {

namespace {

struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(Zarvoctl)
};

const char kUsage[] = QT_TRANSLATE_NOOP("Zarvoctl", R"(用法: zarvoctl <命令> [参数]
Zarvo 图片库文件 (data.mdb) 的维护工具。

命令:
  init PATH                     新建一个空的图片库
  add PATH FOLDER FILE...       把图片文件原样加入文件夹 FOLDER; 文件夹不存在时新建,
                                并放在文件夹树的顶层; 重名的图片自动改名, 例如 cat(0)
  list PATH [FOLDER]            列出文件夹树, 以及各文件夹 (或 FOLDER) 中的图片和大小
  export PATH FOLDER DIR [--force]
                                把 FOLDER 中的图片原样写入目录 DIR, 文件名为图片名称加
                                来源的扩展名; 已存在的文件只有给出 --force 时才覆盖
  compact PATH                  整理并检查图片库, 与 Zarvo 每次退出时相同
  push PATH URI [--merge]       把图片库文件整个复制到 PostgreSQL 服务器 (URI 以 postgresql://
                                开头); 中断后再次运行会接着复制; 目标不空时只有给出 --merge
                                才合并进去
  pull URI PATH [--merge]       把服务器上的图片库整个复制到文件 PATH (没有时新建)
  use URI | --local             记住服务器图片库, 供菜单启动器使用; --local 忘掉它
  import PATH DIR [--under NODE] [--keep-duplicates] [--dry-run]
                                把目录 DIR 连同其子目录导入为文件夹树的一个节点 (在 NODE
                                之下, NODE 为以 / 分隔的节点路径, 默认为顶层); 图片库中已有
                                相同内容的图片跳过, 除非给出 --keep-duplicates; --dry-run
                                只统计, 不做改动; 中断后再次运行会接着导入
  duplicates PATH               列出内容相同的图片: 每行为组号, 文件夹路径, 图片名称
  --help                        显示本帮助
  --version                     显示版本

除 push 和 pull 的文件一方外, PATH 也可以是服务器上的图片库: 以 postgresql:// 或
postgres:// 开头的 libpq 连接 URI (密码放在 .pgpass 或 PGPASSWORD 中, 不要写在命令行上)。

退出状态: 0 成功, 1 失败 (或部分失败), 2 用法错误。
正被 Zarvo 打开的图片库不能操作。
)");

class Console
{
public:
    Console(std::FILE* out, std::FILE* err)
        : m_out(out)
        , m_err(err)
    {
    }
    void print(const QString& text) const
    {
        std::fprintf(m_out, "%s\n", text.toLocal8Bit().constData());
    }
    int fail(const QString& text, int status = 1) const
    {
        std::fprintf(m_err, "zarvoctl: %s\n", text.toLocal8Bit().constData());
        return status;
    }
    void flush() const { std::fflush(m_out); }
    std::FILE* err() const { return m_err; }

private:
    std::FILE* m_out;
    std::FILE* m_err;
};

QString openErrorText(const QString& path, const Store::Opened& opened)
{
    switch (opened.error) {
    case Store::OpenError::Missing:
        return Texts::tr("数据库文件不存在! (%1)").arg(path);
    case Store::OpenError::Locked:
        return Texts::tr("数据库打开错误: %1 正被另一个 Zarvo 或 zarvoctl 使用").arg(path);
    case Store::OpenError::CannotLock:
        return Texts::tr("数据库打开错误: %1 所在的文件系统不支持加锁 (%2)")
            .arg(path, opened.detail);
    case Store::OpenError::ReadOnly:
        return Texts::tr("数据库打开错误: %1 只能读, 不能写").arg(path);
    case Store::OpenError::NoConnection:
        return Texts::tr("不能连接服务器图片库 %1: %2").arg(path, opened.detail);
    case Store::OpenError::NotADatabase:
    case Store::OpenError::None:
        break;
    }
    return Texts::tr("数据库打开错误: %1 (%2)").arg(path, opened.detail);
}

std::unique_ptr<Store> openStore(const QString& path, const Console& console)
{
    Store::Opened opened = Store::open(path);
    if (!opened.store)
        console.fail(openErrorText(path, opened));
    return std::move(opened.store);
}

// Gives a store without fingerprints its fingerprints, telling so on `err`; false (told) when
// that failed.
bool ensureFingerprints(Store& store, const Console& console)
{
    try {
        if (store.hasFingerprints())
            return true;
        std::fprintf(console.err(), "%s\n",
            Texts::tr("正在为图片库中的图片计算指纹 (只需一次)...").toLocal8Bit().constData());
        if (store.buildFingerprints())
            return true;
    } catch (const std::exception& e) {
        console.fail(Texts::tr("图片指纹无法计算: %1").arg(QString::fromUtf8(e.what())));
        return false;
    }
    console.fail(Texts::tr("图片指纹无法计算"));
    return false;
}

bool isTreeTable(const QString& table)
{
    return equalsFoldingAsciiLetters(table, QStringLiteral("blob"));
}

// The folder table of that name (A-Z folded), or an empty text; the tree table is no folder.
QString folderTable(Store& store, const QString& name)
{
    const QString table = store.existingTableName(name);
    return isTreeTable(table) ? QString() : table;
}

int init(const QStringList& args, const Console& console)
{
    if (args.size() != 1)
        return console.fail(Texts::tr("用法: zarvoctl init PATH"), 2);
    QString error;
    if (Store::isServer(args[0])) {
        // A schema on a server becomes a store when it gets its tree table.
        PgStore::Opened opened = PgStore::open(args[0]);
        if (!opened.store)
            return console.fail(
                Texts::tr("不能连接服务器图片库 %1: %2").arg(args[0], opened.detail));
        PgStore* server = opened.store.get();
        try {
            if (!server->tableNames().isEmpty())
                error = QStringLiteral("the schema holds tables already");
            else
                server->createTreeTable();
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
    } else {
        SqliteStore::create(args[0], &error);
    }
    if (!error.isEmpty())
        return console.fail(Texts::tr("不能新建图片库 %1: %2").arg(args[0], error));
    console.print(Texts::tr("已新建图片库 %1").arg(args[0]));
    return 0;
}

int add(const QStringList& args, const Console& console)
{
    if (args.size() < 3)
        return console.fail(Texts::tr("用法: zarvoctl add PATH FOLDER FILE..."), 2);
    const QString folderName = args[1];
    if (const QString problem = NameRules::folderNameProblem(folderName); !problem.isEmpty())
        return console.fail(Texts::tr("文件夹名称 \"%1\" 不可用: %2").arg(folderName, problem), 2);
    if (isTreeTable(folderName))
        return console.fail(
            Texts::tr("文件夹名称 \"%1\" 不可用: 它是文件夹树自己的表").arg(folderName), 2);
    std::unique_ptr<Store> store = openStore(args[0], console);
    if (!store)
        return 1;

    ConsolePrompt prompt(true, console.err());
    FolderTree tree;
    if (!OpenBlob(*store, tree, prompt))
        return console.fail(Texts::tr("文件夹树无法读取, 没有添加任何图片"));
    QString folder;
    try {
        folder = store->existingTableName(folderName);
    } catch (const std::exception& e) {
        return console.fail(QString::fromUtf8(e.what()));
    }
    if (folder.isEmpty()) {
        if (!store->CreateFolderTable(folderName)) {
            prompt.popup(PopupKind::Warning, Store::createFailedText(folderName));
            return 1;
        }
        folder = folderName;
        console.print(Texts::tr("文件夹 %1 创建成功!").arg(folder));
    }
    if (!tree.findFolder(folder)) {
        tree.appendNode(nullptr, folder);
        if (!SaveTree(*store, tree, prompt))
            return 1;
    }

    // Pictures added from now on are fingerprinted with the rest.
    if (!ensureFingerprints(*store, console))
        return 1;
    // A picture keeps the full path it came from.
    QStringList paths;
    for (const QString& file : args.mid(2))
        paths.append(QFileInfo(file).absoluteFilePath());
    // A line appears only once the picture's transaction has committed: whatever was printed
    // survives the process being killed right after.
    const AddFilesResult result
        = AddFiles(*store, folder, paths, prompt, {}, [&](const AddedPicture& added) {
              console.print(QStringLiteral("%1 -> %2/%3").arg(added.path, folder, added.name));
              console.flush();
          });
    if (const int copies = result.copies(); copies > 0)
        console.print(sameBytesTip(copies));
    return result.failed == 0 && result.skipped == 0 ? 0 : 1;
}

QString treeLine(QStandardItem* node)
{
    const QString indent(4 * FolderTree::level(node), QLatin1Char(' '));
    QString text = FolderTree::nodeText(node);
    if (FolderTree::isGroup(node))
        return indent + QStringLiteral("[组] ") + text.mid(1);
    return indent + text;
}

void listFolder(Store& store, const QString& folder, const Console& console)
{
    const QList<PictureRow> rows = store.pictureRows(folder);
    qint64 total = 0;
    for (const PictureRow& row : rows)
        total += row.size;
    console.print(QStringLiteral("文件夹 %1: %2 个文件, 共 %3 字节")
                      .arg(folder, QString::number(rows.size()), QString::number(total)));
    for (const PictureRow& row : rows)
        console.print(
            QStringLiteral("  %1\t%2 字节\t%3").arg(row.name, QString::number(row.size), row.come));
}

int list(const QStringList& args, const Console& console)
{
    if (args.isEmpty() || args.size() > 2)
        return console.fail(Texts::tr("用法: zarvoctl list PATH [FOLDER]"), 2);
    std::unique_ptr<Store> store = openStore(args[0], console);
    if (!store)
        return 1;
    try {
        if (args.size() == 2) {
            const QString folder = folderTable(*store, args[1]);
            if (folder.isEmpty())
                return console.fail(Texts::tr("没有文件夹 %1").arg(args[1]));
            listFolder(*store, folder, console);
            return 0;
        }
        ConsolePrompt prompt(false, console.err());
        FolderTree tree;
        const bool treeRead = OpenBlob(*store, tree, prompt);
        console.print(QStringLiteral("文件夹树:"));
        tree.forEachNode(
            [&](QStandardItem* node) { console.print(QStringLiteral("  ") + treeLine(node)); });
        // Folders in tree order first, then tables the tree does not show.
        QStringList folders;
        tree.forEachNode([&](QStandardItem* node) {
            const QString table = FolderTree::isGroup(node)
                ? QString()
                : folderTable(*store, FolderTree::nodeText(node));
            if (!table.isEmpty() && !folders.contains(table))
                folders.append(table);
        });
        for (const QString& table : store->tableNames())
            if (!folders.contains(table) && !isTreeTable(table))
                folders.append(table);
        for (const QString& folder : folders)
            listFolder(*store, folder, console);
        return treeRead ? 0 : 1;
    } catch (const std::exception& e) {
        return console.fail(QString::fromUtf8(e.what()));
    }
}

// The overwrite question of an export, answered by --force without a word: zarvoctl reports
// a kept file itself.
class ForcePrompt : public ConsolePrompt
{
public:
    ForcePrompt(bool force, std::FILE* err)
        : ConsolePrompt(force, err)
        , m_force(force)
    {
    }
    bool confirm(const QString&) override { return m_force; }

private:
    bool m_force;
};

int exportCommand(const QStringList& rawArgs, const Console& console)
{
    QStringList args = rawArgs;
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    if (args.size() != 3)
        return console.fail(Texts::tr("用法: zarvoctl export PATH FOLDER DIR [--force]"), 2);
    std::unique_ptr<Store> store = openStore(args[0], console);
    if (!store)
        return 1;
    const QString dir = QDir(args[2]).path();
    if (!QDir().mkpath(dir))
        return console.fail(Texts::tr("不能建立目录 %1").arg(args[2]));
    ForcePrompt prompt(force, console.err());
    ExportResult result;
    try {
        const QString folder = folderTable(*store, args[1]);
        if (folder.isEmpty())
            return console.fail(Texts::tr("没有文件夹 %1").arg(args[1]));
        result = exportFolder(*store, folder, dir, prompt, [&](const ExportedPicture& picture) {
            switch (picture.outcome) {
            case ExportedPicture::Outcome::Written:
                console.print(picture.path);
                break;
            case ExportedPicture::Outcome::NoFileName:
                console.fail(Texts::tr("跳过 \"%1\": 不能用作文件名").arg(picture.name));
                break;
            case ExportedPicture::Outcome::Declined:
                console.fail(
                    Texts::tr("跳过 %1: 文件已经存在 (用 --force 覆盖)").arg(picture.path));
                break;
            case ExportedPicture::Outcome::Failed:
                console.fail(Texts::tr("%1 写入失败: %2").arg(picture.path, picture.error));
                break;
            }
        });
    } catch (const std::exception& e) {
        return console.fail(QString::fromUtf8(e.what()));
    }
    console.print(Texts::tr("已导出 %n 个文件", nullptr, result.written));
    return result.declined == 0 && result.failed == 0 ? 0 : 1;
}

int compact(const QStringList& args, const Console& console)
{
    if (args.size() != 1)
        return console.fail(Texts::tr("用法: zarvoctl compact PATH"), 2);
    if (Store::isServer(args[0])) {
        console.print(
            Texts::tr("服务器上的图片库不需要整理: PostgreSQL 自己回收空间 (autovacuum)"));
        return 0;
    }
    if (!QFileInfo(args[0]).isFile())
        return console.fail(Texts::tr("数据库文件不存在! (%1)").arg(args[0]));
    const qint64 before = QFileInfo(args[0]).size();
    QString error;
    if (!CompactStore(args[0], QString(), nullptr, &error))
        return console.fail(Texts::tr("数据库修复失败, 图片库保持原样: %1").arg(error));
    console.print(
        Texts::tr("已整理 %1: %2 -> %3 字节")
            .arg(args[0], QString::number(before), QString::number(QFileInfo(args[0]).size())));
    return 0;
}

QString transferFailure(const TransferOutcome& outcome, const QString& target)
{
    switch (outcome.result) {
    case TransferOutcome::Result::NotEmpty:
        return Texts::tr("%1 不是空的图片库, 也没有未完成的复制; 要合并进去请加 --merge")
            .arg(target);
    case TransferOutcome::Result::OtherMark:
        return Texts::tr("%1 中有一次从 %2 开始的复制尚未完成").arg(target, outcome.detail);
    case TransferOutcome::Result::Failed:
    case TransferOutcome::Result::Done:
        break;
    }
    return Texts::tr("复制中断: %1 (再次运行同一命令会接着复制)").arg(outcome.detail);
}

std::unique_ptr<PgStore> openServer(const QString& uri, const Console& console)
{
    PgStore::Opened opened = PgStore::open(uri);
    if (!opened.store)
        console.fail(Texts::tr("不能连接服务器图片库 %1: %2").arg(uri, opened.detail));
    return std::move(opened.store);
}

int transferCommand(const QString& command, const QStringList& rawArgs, const Console& console)
{
    QStringList args = rawArgs;
    const bool merge = args.removeAll(QStringLiteral("--merge")) > 0;
    const bool push = command == QLatin1String("push");
    const int uriAt = push ? 1 : 0;
    if (args.size() != 2 || !PgStore::isUri(args[uriAt]) || PgStore::isUri(args[1 - uriAt]))
        return console.fail(push ? Texts::tr("用法: zarvoctl push PATH URI [--merge]")
                                 : Texts::tr("用法: zarvoctl pull URI PATH [--merge]"),
            2);
    const QString path = args[1 - uriAt];
    const QString uri = args[uriAt];
    std::unique_ptr<PgStore> server = openServer(uri, console);
    if (!server)
        return 1;
    if (!push && !QFileInfo::exists(path)) {
        QString error;
        if (!SqliteStore::create(path, &error))
            return console.fail(Texts::tr("不能新建图片库 %1: %2").arg(path, error));
    }
    std::unique_ptr<Store> file = openStore(path, console);
    if (!file)
        return 1;
    const auto progress = [&](const QString& folder, qint64 rows) {
        console.print(Texts::tr("%1: %2 张图片").arg(folder).arg(rows));
        console.flush();
    };
    const TransferOutcome outcome = push
        ? pushStore(*file, QFileInfo(path).absoluteFilePath(), *server, merge, progress)
        : pullStore(*server, uri, *file, merge, progress);
    if (outcome.result != TransferOutcome::Result::Done)
        return console.fail(transferFailure(outcome, push ? uri : path));
    console.print(Texts::tr("已复制 %1 个文件夹").arg(outcome.folders));
    return 0;
}

// Where the menu launcher finds the store to use: $XDG_CONFIG_HOME/zarvo/store.
QString rememberedStoreFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/zarvo/store");
}

int use(const QStringList& args, const Console& console)
{
    if (args.size() != 1 || (args[0] != QLatin1String("--local") && !PgStore::isUri(args[0])))
        return console.fail(Texts::tr("用法: zarvoctl use URI | --local"), 2);
    const QString file = rememberedStoreFile();
    if (args[0] == QLatin1String("--local")) {
        if (QFileInfo::exists(file) && !QFile::remove(file))
            return console.fail(Texts::tr("不能删除 %1").arg(file));
        console.print(Texts::tr("菜单启动器将使用本机的图片库"));
        return 0;
    }
    std::unique_ptr<PgStore> server = openServer(args[0], console);
    if (!server)
        return 1;
    QDir().mkpath(QFileInfo(file).path());
    QSaveFile save(file);
    if (!save.open(QIODevice::WriteOnly) || save.write(args[0].toUtf8() + '\n') < 0
        || !save.commit())
        return console.fail(Texts::tr("不能写入 %1").arg(file));
    console.print(Texts::tr("菜单启动器将使用 %1").arg(args[0]));
    return 0;
}

// The progress bar of an import on a terminal: count, share and rate, redrawn in place.
class ProgressBar
{
public:
    explicit ProgressBar(std::FILE* out)
        : m_out(out)
    {
        m_clock.start();
    }
    void show(qint64 done, qint64 total, qint64 bytes)
    {
        if (done != total && m_shown.isValid() && m_shown.elapsed() < 100)
            return;
        m_shown.start();
        constexpr int kWidth = 30;
        const int filled = total > 0 ? int(kWidth * done / total) : kWidth;
        const double seconds = std::max(0.001, m_clock.elapsed() / 1000.0);
        const QString line = QStringLiteral("\r[%1%2] %3/%4  %5 MB/s  %6/s ")
                                 .arg(QString(filled, QLatin1Char('#')),
                                     QString(kWidth - filled, QLatin1Char('.')))
                                 .arg(done)
                                 .arg(total)
                                 .arg(bytes / 1e6 / seconds, 0, 'f', 1)
                                 .arg(done / seconds, 0, 'f', 0);
        std::fputs(line.toLocal8Bit().constData(), m_out);
        std::fflush(m_out);
        m_drawn = true;
    }
    // Ends the bar's line, so that other text starts on a line of its own.
    void breakLine()
    {
        if (m_drawn)
            std::fputs("\n", m_out);
        m_drawn = false;
        m_shown.invalidate();
    }

private:
    std::FILE* m_out;
    QElapsedTimer m_clock;
    QElapsedTimer m_shown;
    bool m_drawn = false;
};

int importCommand(const QStringList& rawArgs, const Console& console, std::FILE* out)
{
    QStringList args = rawArgs;
    ImportOptions options;
    options.keepDuplicates = args.removeAll(QStringLiteral("--keep-duplicates")) > 0;
    options.dryRun = args.removeAll(QStringLiteral("--dry-run")) > 0;
    QString under;
    const qsizetype underAt = args.indexOf(QStringLiteral("--under"));
    if (underAt >= 0 && underAt + 1 < args.size()) {
        under = args.takeAt(underAt + 1);
        args.removeAt(underAt);
    }
    // A --under without its node is left among the arguments, which makes them wrong.
    if (args.size() != 2 || args.contains(QStringLiteral("--under")))
        return console.fail(Texts::tr("用法: zarvoctl import PATH DIR [--under NODE] "
                                      "[--keep-duplicates] [--dry-run]"),
            2);
    if (!QFileInfo(args[1]).isDir())
        return console.fail(Texts::tr("目录 %1 不存在").arg(args[1]));
    std::unique_ptr<Store> store = openStore(args[0], console);
    if (!store)
        return 1;
    ConsolePrompt prompt(true, console.err());
    FolderTree tree;
    if (!OpenBlob(*store, tree, prompt))
        return console.fail(Texts::tr("文件夹树无法读取, 没有导入任何图片"));
    QStandardItem* target = nullptr;
    if (!under.isEmpty() && !(target = nodeAtPath(tree, under)))
        return console.fail(Texts::tr("没有节点 %1").arg(under));
    if (!options.dryRun && !ensureFingerprints(*store, console))
        return 1;

    const bool terminal = isatty(fileno(out)) == 1;
    ProgressBar bar(out);
    ImportHooks hooks;
    hooks.saveTree = [&] { return SaveTree(*store, tree, prompt); };
    hooks.progress = [&](qint64 done, qint64 total, qint64 bytes) {
        if (terminal)
            bar.show(done, total, bytes);
        return true;
    };
    hooks.failed = [&](const QString& failure) {
        bar.breakLine();
        console.fail(failure);
    };
    if (!terminal) {
        hooks.added = [&](const QString& path, const QString& folder, const QString& name) {
            console.print(QStringLiteral("%1 -> %2/%3").arg(path, folder, name));
            console.flush();
        };
    }
    ImportResult result;
    try {
        result = importDirectory(*store, tree, target, args[1], options, hooks);
    } catch (const std::exception& e) {
        bar.breakLine();
        return console.fail(QString::fromUtf8(e.what()));
    }
    bar.breakLine();
    console.print((options.dryRun ? Texts::tr("试运行, 未做改动: ") : QString())
        + Texts::tr("导入 %1 张图片, 跳过 %2 张重复的图片, 跳过 %3 个非图片文件, %4 个失败")
              .arg(result.added)
              .arg(result.duplicates)
              .arg(result.skipped)
              .arg(result.failed));
    return result.failed == 0 ? 0 : 1;
}

int duplicates(const QStringList& args, const Console& console)
{
    if (args.size() != 1)
        return console.fail(Texts::tr("用法: zarvoctl duplicates PATH"), 2);
    std::unique_ptr<Store> store = openStore(args[0], console);
    if (!store)
        return 1;
    ConsolePrompt prompt(false, console.err());
    FolderTree tree;
    const bool treeRead = OpenBlob(*store, tree, prompt);
    if (!ensureFingerprints(*store, console))
        return 1;
    try {
        const QList<DuplicateGroup> groups = store->duplicateGroups();
        for (qsizetype g = 0; g < groups.size(); ++g)
            for (const StoredPicture& picture : groups[g].pictures)
                console.print(QStringLiteral("%1\t%2\t%3")
                                  .arg(g + 1)
                                  .arg(folderPathInTree(tree, picture.folder), picture.name));
    } catch (const std::exception& e) {
        return console.fail(QString::fromUtf8(e.what()));
    }
    return treeRead ? 0 : 1;
}

} // namespace

int runZarvoctl(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    const Console console(out, err);
    if (arguments.isEmpty())
        return console.fail(Texts::tr(kUsage), 2);
    const QString command = arguments.first();
    const QStringList args = arguments.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")
        || command == QLatin1String("help")) {
        std::fputs(Texts::tr(kUsage).toLocal8Bit().constData(), out);
        return 0;
    }
    if (command == QLatin1String("--version")) {
        console.print(QStringLiteral("zarvoctl %1").arg(QStringLiteral(ZARVO_VERSION)));
        return 0;
    }
    if (command.startsWith(QLatin1Char('-')))
        return console.fail(
            Texts::tr("未知选项 %1").arg(command) + QLatin1Char('\n') + Texts::tr(kUsage), 2);
    if (command == QLatin1String("push") || command == QLatin1String("pull"))
        return transferCommand(command, args, console);
    if (command == QLatin1String("use"))
        return use(args, console);
    if (command == QLatin1String("init"))
        return init(args, console);
    if (command == QLatin1String("add"))
        return add(args, console);
    if (command == QLatin1String("list"))
        return list(args, console);
    if (command == QLatin1String("export"))
        return exportCommand(args, console);
    if (command == QLatin1String("compact"))
        return compact(args, console);
    if (command == QLatin1String("import"))
        return importCommand(args, console, out);
    if (command == QLatin1String("duplicates"))
        return duplicates(args, console);
    return console.fail(Texts::tr("未知命令 %1 (zarvoctl --help 显示用法)").arg(command), 2);
}

} // namespace zarvo
