// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// The file search over a whole store, as the search button runs it: the session reads the table
// list, then every table's picture names. Usage:
//   zarvo_bench_search [--repeat N] [--pictures N] [--folders N] WORKDIR
// Makes a store in a temporary directory under WORKDIR (64 KiB pages, as `zarvoctl init` makes
// them) with N pictures spread over the folders. Each picture's bytes are 65-131 KB of noise:
// a row then keeps on its table page the same share of its bytes (8-64 KB) as a picture of any
// larger size does, so reading the names crosses as many table pages as with real photographs,
// without the store growing to their size. The store is read from the page cache (it has just
// been written). Prints RESULT <tab> search <tab> column <tab> ms, the best of the runs:
//   "file search: no match"      every name read, nothing listed
//   "file search: 1% match"      a text found in one name of a hundred
//   "file search: every name"    every picture listed
//   "file search: older store"   the first search after the name indexes were dropped, as in a
//                                store made before them: it makes every table's index (once)

#include "benchsupport.h"

#include "folders/findsession.h"
#include "store/foldertree.h"
#include "store/sqlitestore.h"
#include "store/treeblob.h"
#include "view/consoleprompt.h"
#include "view/thumbnailmodel.h"
#include "view/workspace.h"

#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <algorithm>
#include <cstdio>
#include <utility>

using namespace zarvo;
using namespace zarvo::bench;

namespace {

struct Options
{
    int repeat = 5;
    int pictures = 20000;
    int folders = 100;
    QString workDir;
};

bool parse(const QStringList& args, Options* out)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == QLatin1String("--repeat") || a == QLatin1String("--pictures")
                || a == QLatin1String("--folders"))
            && i + 1 < args.size()) {
            const int value = args[++i].toInt();
            if (value <= 0)
                return false;
            (a == QLatin1String("--repeat")            ? out->repeat
                    : a == QLatin1String("--pictures") ? out->pictures
                                                       : out->folders)
                = value;
        } else if (out->workDir.isEmpty() && !a.startsWith(QLatin1Char('-'))) {
            out->workDir = a;
        } else {
            return false;
        }
    }
    return !out->workDir.isEmpty();
}

QString makeSearchStore(const QString& dir, const Options& options, ConsolePrompt& prompt)
{
    const QString path = QDir(dir).filePath(QStringLiteral("data.mdb"));
    QString error;
    if (!SqliteStore::create(path, &error))
        return error;
    SqliteStore::Opened opened = SqliteStore::open(path);
    if (!opened.store)
        return opened.detail;
    SqliteStore& store = *opened.store;
    QRandomGenerator random(7);
    FolderTree tree;
    store.createTreeTable();
    SQLite::Transaction transaction(store.database());
    for (int f = 0; f < options.folders; ++f) {
        const QString folder = QStringLiteral("folder%1").arg(f);
        if (!store.CreateFolderTable(folder))
            return QStringLiteral("cannot make ") + folder;
        tree.appendNode(nullptr, folder);
        const int count
            = options.pictures / options.folders + (f < options.pictures % options.folders ? 1 : 0);
        for (int p = 0; p < count; ++p) {
            QByteArray bytes(65 * 1024 + int(random.bounded(66 * 1024)), Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
            // One name in a hundred holds "qq".
            const QString name = QStringLiteral("IMG_%1_%2%3")
                                     .arg(f)
                                     .arg(p)
                                     .arg(p % 100 == 7 ? QStringLiteral("qq") : QString());
            store.appendPicture(
                folder, name, QStringLiteral("/photos/") + name + QStringLiteral(".jpg"), bytes);
        }
    }
    transaction.commit();
    if (!SaveTree(store, tree, prompt))
        return QStringLiteral("cannot save the tree");
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options options;
    if (!parse(app.arguments(), &options)) {
        std::fprintf(stderr,
            "usage: zarvo_bench_search [--repeat N] [--pictures N] [--folders N] WORKDIR\n");
        return 2;
    }
    QTemporaryDir dir(QDir(options.workDir).filePath(QStringLiteral("search-XXXXXX")));
    ConsolePrompt prompt(false, nullptr);
    const Clock::time_point made = Clock::now();
    if (const QString error = dir.isValid() ? makeSearchStore(dir.path(), options, prompt)
                                            : QStringLiteral("no directory");
        !error.isEmpty()) {
        std::fprintf(stderr, "making the store failed: %s\n", qPrintable(error));
        return 1;
    }
    std::fprintf(stderr, "store of %d pictures in %d folders made in %.0f ms\n", options.pictures,
        options.folders, msSince(made));

    FolderTree tree;
    ThumbnailModel items;
    QItemSelectionModel treeSelection(&tree);
    QItemSelectionModel itemSelection(&items);
    Workspace workspace(prompt, tree, treeSelection, items, itemSelection);
    if (!workspace.openStore(QDir(dir.path()).filePath(QStringLiteral("data.mdb")))
        || !workspace.loadTree())
        return 1;

    struct Search
    {
        const char* column;
        QString text;
        qsizetype expected;
    };
    const qsizetype perHundred = [&] {
        qsizetype n = 0;
        for (int f = 0; f < options.folders; ++f) {
            const int count = options.pictures / options.folders
                + (f < options.pictures % options.folders ? 1 : 0);
            n += count / 100 + (count % 100 > 7 ? 1 : 0);
        }
        return n;
    }();
    const Search searches[] = {
        { "file search: no match", QStringLiteral("nothing"), 0 },
        { "file search: 1% match", QStringLiteral("QQ"), perHundred },
        { "file search: every name", QStringLiteral("img_"), options.pictures },
    };
    for (const Search& search : searches) {
        double best = 1e30;
        double bestCpu = 1e30;
        for (int r = 0; r < options.repeat; ++r) {
            const Clock::time_point start = Clock::now();
            const double cpu = processCpuMs();
            FindSession session(workspace, SearchKind::Files);
            session.search(search.text);
            best = std::min(best, msSince(start));
            bestCpu = std::min(bestCpu, processCpuMs() - cpu);
            if (session.results().size() != search.expected) {
                std::fprintf(stderr, "%s: %d results, %d expected\n", search.column,
                    int(session.results().size()), int(search.expected));
                return 1;
            }
        }
        printResult(QStringLiteral("search"), QLatin1String(search.column), best);
        std::fprintf(stderr, "%s: %.1f ms (CPU %.1f ms)\n", search.column, best, bestCpu);
    }

    // An older store: the tables have no name index until the first search makes them.
    QStringList indexes;
    {
        SQLite::Statement query(static_cast<SqliteStore*>(workspace.store())->database(),
            "SELECT name FROM sqlite_schema WHERE type='index'");
        while (query.executeStep())
            indexes.append(QString::fromStdString(query.getColumn(0).getString()));
    }
    for (const QString& index : std::as_const(indexes))
        static_cast<SqliteStore*>(workspace.store())
            ->database()
            .exec((QStringLiteral("DROP INDEX ") + Store::quoted(index)).toStdString());
    workspace.closeStore();
    workspace.releaseLock();
    if (!workspace.openStore(QDir(dir.path()).filePath(QStringLiteral("data.mdb"))))
        return 1;
    const Clock::time_point start = Clock::now();
    const double cpu = processCpuMs();
    FindSession session(workspace, SearchKind::Files);
    session.search(searches[0].text);
    const double first = msSince(start);
    printResult(QStringLiteral("search"), QStringLiteral("file search: older store"), first);
    std::fprintf(stderr, "file search: older store: %.1f ms (CPU %.1f ms), %d indexes made\n",
        first, processCpuMs() - cpu, int(indexes.size()));
    return 0;
}
