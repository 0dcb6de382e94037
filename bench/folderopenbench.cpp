// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Opening a folder in the main window, as the user sees it: from Form1::openFolderTable(table)
// being called until it returns with the view complete (rows read, every BLOB read and decoded
// on all cores, thumbnails appended in row order, progress bar and status texts updated per
// row, events processed while the view is built). The window is shown on the offscreen
// platform, so everything is painted into its backing store as on a desktop, minus the
// display server. Usage:
//   zarvo_bench_folderopen [--repeat N] [--parts] [--verbose] WORKDIR CORPUSDIR SET...
// For each set it makes a store in a temporary directory under WORKDIR (as `zarvoctl init` +
// `add` would), makes that the working directory, builds a Form1 with a prompt that answers No
// and shows nothing, FormCreate(), show(), and times openFolderTable() --repeat times (best
// taken), closing the folder between openings so each one is complete.
//
// Prints RESULT <tab> set <tab> column <tab> ms per picture <tab> ms:
//   "open folder"      wall-clock time of the opening
//   "open folder CPU"  CPU time of the whole process during that opening (all threads); a busy
//                      shared machine distorts it much less than the wall-clock figure
//   "open folder UI thread CPU"  the part of it spent on the calling (user-interface) thread:
//                      rows, BLOB reads, appends, progress and status bar, events; on two cores
//                      every bit of it is taken from the decoders
// and on standard error the time until the window has also painted the result.
// With --parts it also times the parts of an opening one after the other on the calling thread
// (PART <tab> set <tab> part <tab> ms of CPU per picture), to show where the time goes beyond
// decoding. With --verbose each opening's figures go to standard error with the interval it took
// on CLOCK_MONOTONIC, to cut a profile to the openings (perf record -k CLOCK_MONOTONIC ...,
// then perf report --time START,END).

#include "benchsupport.h"
#include "silentprompt.h"

#include "app/form1.h"
#include "app/statusbar.h"
#include "imaging/pictureformat.h"
#include "imaging/thumbnailer.h"
#include "store/store.h"
#include "view/folderlistview.h"
#include "view/statustexts.h"
#include "view/thumbnailmodel.h"
#include "view/workspace.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zarvo;
using namespace zarvo::bench;

namespace {

const char kUsage[]
    = "zarvo_bench_folderopen [--repeat N] [--parts] [--verbose] WORKDIR CORPUSDIR SET...";

// The parts of an opening, one at a time on this thread, with the window shown and the folder
// closed: what the user-interface thread does per row besides waiting for the decoders, and one
// decoder's work. Each part is CPU time of this thread, which other programs on the machine
// hardly change; work Qt hands to its own thread pool (converting thumbnails while painting) is
// not counted.
void timeParts(Form1& form, const QString& set)
{
    Store& store = *form.workspace().store();
    double start = threadCpuMs();
    const QList<PictureRow> rows = store.pictureRows(set);
    const double n = double(rows.size());
    printPart(set, QStringLiteral("read rows"), (threadCpuMs() - start) / n);

    // As in an opening, each BLOB is let go once decoded.
    std::vector<QImage> thumbnails;
    thumbnails.reserve(size_t(rows.size()));
    Thumbnailer thumbnailer;
    double reading = 0, decoding = 0;
    for (const PictureRow& row : rows) {
        start = threadCpuMs();
        const QByteArray bytes = store.readBlob(set, row.rowid);
        const double read = threadCpuMs();
        thumbnails.push_back(thumbnailer.makeThumbnail(formatOfCome(row.come), bytes).image);
        reading += read - start;
        decoding += threadCpuMs() - read;
    }
    printPart(set, QStringLiteral("read a BLOB"), reading / n);
    printPart(set, QStringLiteral("decode (a worker's work)"), decoding / n);

    ThumbnailModel& items = form.workspace().items();
    items.clear();
    settle();
    start = threadCpuMs();
    for (qsizetype i = 0; i < rows.size(); ++i)
        items.append(rows[i].name, thumbnails[size_t(i)]);
    printPart(set, QStringLiteral("append to the view"), (threadCpuMs() - start) / n);
    // While the view is built the pipeline processes events every 40 ms; the view then paints
    // what changed in it: all it shows while the first screenful of rows comes in.
    settle();
    form.ListView1()->viewport()->update();
    start = threadCpuMs();
    settle();
    printPart(
        set, QStringLiteral("paint the whole view once (ms per time)"), threadCpuMs() - start);

    // What table1AfterOpen does for each row besides the append.
    StatusBar& bar = *form.bar();
    bar.startProgress(int(rows.size()));
    FormatCounters counters;
    start = threadCpuMs();
    for (const PictureRow& row : rows) {
        counters.count(formatOfCome(row.come));
        bar.advanceProgress();
        bar.setPanelText(1, totalText(rows.size()));
        bar.setPanelText(2, counters.countText());
        bar.repaint();
    }
    printPart(set, QStringLiteral("progress and status bar repaint per row"),
        (threadCpuMs() - start) / n);
    bar.progress()->setValue(0);
    items.clear();
    settle();
}

// Times the openings of one set; false when something failed.
bool measureSet(
    const Arguments& args, const QString& set, const QStringList& files, SilentPrompt& prompt)
{
    QTemporaryDir dir(QDir(args.workDir).filePath(QStringLiteral("folderopen-XXXXXX")));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a directory in %s\n", qPrintable(args.workDir));
        return false;
    }
    if (const QString error = makeStore(dir.path(), set, files, prompt); !error.isEmpty()) {
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

        double bestWall = 1e30, bestCpu = 1e30, bestThreadCpu = 1e30, bestPainted = 1e30;
        for (int r = 0; r < args.repeat && ok; ++r) {
            settle();
            prompt.resetWarnings();
            const double cpuStart = processCpuMs();
            const double threadStart = threadCpuMs();
            const long faultsStart = minorPageFaults();
            const Clock::time_point start = Clock::now();
            try {
                form.workspace().openFolderTable(set);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s: opening failed: %s\n", qPrintable(set), e.what());
                ok = false;
            }
            const double wall = msSince(start);
            const double cpu = processCpuMs() - cpuStart;
            const double threadCpu = threadCpuMs() - threadStart;
            const long faults = minorPageFaults() - faultsStart;
            settle();
            const double painted = msSince(start);
            if (args.verbose)
                std::fprintf(stderr,
                    "%s opening %d: %.0f ms, CPU %.0f ms (user-interface thread %.0f ms), %ld page "
                    "faults, "
                    "monotonic %.6f,%.6f\n",
                    qPrintable(set), r + 1, wall, cpu, threadCpu, faults, monotonicSeconds(start),
                    monotonicSeconds(start) + wall / 1e3);
            if (form.workspace().items().rowCount() != files.size() || prompt.warnings() != 0) {
                std::fprintf(stderr, "%s: the view has %d of %d pictures, %d decode warnings\n",
                    qPrintable(set), form.workspace().items().rowCount(), int(files.size()),
                    prompt.warnings());
                ok = false;
            }
            bestWall = std::min(bestWall, wall);
            bestCpu = std::min(bestCpu, cpu);
            bestThreadCpu = std::min(bestThreadCpu, threadCpu);
            bestPainted = std::min(bestPainted, painted);
            form.workspace().closeFolderTable();
        }
        if (ok) {
            const double n = double(files.size());
            printResult(set, QStringLiteral("open folder"), bestWall / n);
            printResult(set, QStringLiteral("open folder CPU"), bestCpu / n);
            printResult(set, QStringLiteral("open folder UI thread CPU"), bestThreadCpu / n);
            std::fprintf(stderr,
                "%s: %d pictures, %.1f MB; opening %.0f ms, until painted %.0f ms, CPU %.0f ms\n",
                qPrintable(set), int(files.size()), double(totalBytes(files)) / 1e6, bestWall,
                bestPainted, bestCpu);
            if (args.parts)
                timeParts(form, set);
        }
    }
    QDir::setCurrent(home);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    return runBenchmark(argc, argv, kUsage, measureSet);
}
