// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Exporting a folder through the export core against `cp` of the same files, in one run, on the
// same filesystem. Usage:
//   zarvo_bench_export [--repeat N] WORKDIR CORPUSDIR SET...
// Makes a store holding SET in a temporary directory under WORKDIR, then, --repeat times: the
// export core (exportFolder: a temporary file per picture, written, synced and renamed) into a
// fresh directory followed by `sync` of that directory; and `cp FILE... DIR/` into another
// fresh directory followed by `sync` of the copies and their directory, as the export syncs
// every file it writes. The best run of each is taken.
//
// Prints RESULT <tab> set <tab> column <tab> value <tab> unit:
//   "export MB/s", "export cp + sync MB/s"   megabytes (1e6) of picture files written per second
//   "export / cp"                      the export's throughput over cp's

#include "benchsupport.h"

#include "pictures/exportfolder.h"
#include "store/foldertree.h"
#include "view/consoleprompt.h"
#include "view/thumbnailmodel.h"
#include "view/workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace zarvo;
using namespace zarvo::bench;

namespace {

const char kUsage[] = "zarvo_bench_export [--repeat N] WORKDIR CORPUSDIR SET...";

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
            process.readAllStandardError().constData());
        return false;
    }
    return true;
}

bool measureSet(
    const Arguments& args, const QString& set, const QStringList& files, ConsolePrompt& prompt)
{
    QTemporaryDir dir(QDir(args.workDir).filePath(QStringLiteral("export-XXXXXX")));
    if (!dir.isValid())
        return false;
    if (const QString error = makeStore(dir.path(), set, files, prompt); !error.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(set), qPrintable(error));
        return false;
    }
    FolderTree tree;
    ThumbnailModel items;
    QItemSelectionModel treeSelection(&tree);
    QItemSelectionModel itemSelection(&items);
    Workspace workspace(prompt, tree, treeSelection, items, itemSelection);
    if (!workspace.openStore(dir.filePath(QStringLiteral("data.mdb"))))
        return false;

    double bestExport = 1e30;
    double bestCopy = 1e30;
    for (int r = 0; r < args.repeat; ++r) {
        const QString out = dir.filePath(QStringLiteral("export%1").arg(r));
        QDir().mkpath(out);
        Clock::time_point start = Clock::now();
        const int failed = exportFolder(*workspace.store(), set, out, prompt).failed;
        if (failed != 0 || !run(QStringLiteral("sync"), { out })) {
            std::fprintf(stderr, "%s: %d files not exported\n", qPrintable(set), failed);
            return false;
        }
        bestExport = std::min(bestExport, msSince(start));

        const QString copy = dir.filePath(QStringLiteral("copy%1").arg(r));
        QDir().mkpath(copy);
        start = Clock::now();
        QStringList copies;
        for (const QString& file : files)
            copies.append(QDir(copy).filePath(QFileInfo(file).fileName()));
        if (!run(QStringLiteral("cp"), QStringList(files) << copy + QLatin1Char('/'))
            || !run(QStringLiteral("sync"), QStringList(copies) << copy))
            return false;
        bestCopy = std::min(bestCopy, msSince(start));
        QDir(out).removeRecursively();
        QDir(copy).removeRecursively();
    }
    const double megabytes = double(totalBytes(files)) / 1e6;
    printResult(set, QStringLiteral("export MB/s"), megabytes / (bestExport / 1e3), "MB/s");
    printResult(set, QStringLiteral("export cp + sync MB/s"), megabytes / (bestCopy / 1e3), "MB/s");
    printResult(set, QStringLiteral("export / cp"), bestCopy / bestExport, "ratio");
    std::fprintf(stderr, "%s: %d files, %.1f MB; export %.0f ms, cp + sync %.0f ms\n",
        qPrintable(set), int(files.size()), megabytes, bestExport, bestCopy);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    return runBenchmark(argc, argv, kUsage, measureSet);
}
