// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Adding pictures through the program's add core, as the add command does it with a folder
// open in the main window: AddFiles (one record per file, each committed before the next; the
// progress bar advanced and repainted per file) and then one reloadFolder(), which rebuilds the
// view. Usage:
//   zarvo_bench_addcore [--repeat N] WORKDIR CORPUSDIR SET...
// Each of the --repeat runs makes a fresh store with the empty folder SET in a temporary
// directory under WORKDIR, makes it the working directory, builds a Form1 (a prompt that
// answers No and shows nothing), FormCreate(), show(), opens the empty folder, and then times
// both parts. The best run of each part is taken. The files are read from the page cache when
// the corpus was read recently (bench/run.sh reads it before).
//
// Prints RESULT <tab> set <tab> column <tab> value <tab> unit:
//   "add core: AddFiles"        ms per picture
//   "add core: reload"          ms per picture (the view rebuilt with every picture)
//   "add core: AddFiles MB/s"   megabytes (1e6) of picture files stored per second

#include "benchsupport.h"

#include "app/form1.h"
#include "app/statusbar.h"
#include "pictures/addfiles.h"
#include "view/consoleprompt.h"
#include "view/thumbnailmodel.h"
#include "view/workspace.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace zarvo;
using namespace zarvo::bench;

namespace {

const char kUsage[] = "zarvo_bench_addcore [--repeat N] WORKDIR CORPUSDIR SET...";

struct Run
{
    double addMs = 0;
    double reloadMs = 0;
};

// One run on a fresh store; false when something failed.
bool runOnce(const Arguments& args, const QString& set, const QStringList& files,
    ConsolePrompt& prompt, Run* run)
{
    QTemporaryDir dir(QDir(args.workDir).filePath(QStringLiteral("addcore-XXXXXX")));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a directory in %s\n", qPrintable(args.workDir));
        return false;
    }
    if (const QString error = makeStore(dir.path(), set, {}, prompt); !error.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(set), qPrintable(error));
        return false;
    }
    const QString home = QDir::currentPath();
    QDir::setCurrent(dir.path());
    bool ok = true;
    {
        Form1 form(&prompt);
        if (!form.FormCreate()) {
            std::fprintf(stderr, "%s: the window could not open its store\n", qPrintable(set));
            QDir::setCurrent(home);
            return false;
        }
        showAndWait(form);
        form.workspace().openFolderTable(set);
        settle();
        prompt.resetWarnings();

        StatusBar* bar = form.bar();
        bar->startProgress(int(files.size()));
        Clock::time_point start = Clock::now();
        const AddFilesResult added = AddFiles(*form.workspace().store(),
            form.workspace().openFolder(), files, prompt, [bar] { bar->advanceProgress(); });
        run->addMs = msSince(start);
        start = Clock::now();
        try {
            form.workspace().reloadFolder();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: reloading failed: %s\n", qPrintable(set), e.what());
            ok = false;
        }
        run->reloadMs = msSince(start);
        bar->progress()->setValue(0);
        if (added.added.size() != files.size()
            || form.workspace().items().rowCount() != files.size() || prompt.warnings() != 0) {
            std::fprintf(stderr, "%s: %d of %d files added, %d in the view, %d warnings\n",
                qPrintable(set), int(added.added.size()), int(files.size()),
                form.workspace().items().rowCount(), prompt.warnings());
            ok = false;
        }
        form.workspace().closeFolderTable();
        settle();
    }
    QDir::setCurrent(home);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    return runBenchmark(argc, argv, kUsage,
        [](const Arguments& args, const QString& set, const QStringList& files,
            ConsolePrompt& prompt) {
            Run best { 1e30, 1e30 };
            for (int r = 0; r < args.repeat; ++r) {
                Run run;
                if (!runOnce(args, set, files, prompt, &run))
                    return false;
                best.addMs = std::min(best.addMs, run.addMs);
                best.reloadMs = std::min(best.reloadMs, run.reloadMs);
            }
            const double n = double(files.size());
            const double megabytes = double(totalBytes(files)) / 1e6;
            printResult(set, QStringLiteral("add core: AddFiles"), best.addMs / n);
            printResult(set, QStringLiteral("add core: reload"), best.reloadMs / n);
            printResult(set, QStringLiteral("add core: AddFiles MB/s"),
                megabytes / (best.addMs / 1e3), "MB/s");
            std::fprintf(stderr, "%s: %d files, %.1f MB; AddFiles %.0f ms, reload %.0f ms\n",
                qPrintable(set), int(files.size()), megabytes, best.addMs, best.reloadMs);
            return true;
        });
}
