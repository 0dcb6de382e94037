// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// Opening a folder in the main window, as the user sees it: from Form1::openFolderTable(table)
// being called until it returns with the view complete (rows read, every item shown at once,
// every BLOB read and decoded on all cores, the thumbnails on screen first, the progress bar
// updated per row, events processed while the view is built). The window is shown on the offscreen
// platform, so everything is painted into its backing store as on a desktop, minus the
// display server. Usage:
//   zarvo_bench_folderopen [--repeat N] [--parts] [--scroll] [--verbose] WORKDIR CORPUSDIR
//   SET[@N]...
// For each set it makes a store in a temporary directory under WORKDIR (as `zarvoctl init` +
// `add` would, then fingerprinted as `zarvoctl import` leaves a store) and makes that the working
// directory. Each of --repeat rounds then opens the folder three times, each in a new Form1 (a
// prompt that answers No and shows nothing, FormCreate(), show()): without the thumbnail cache,
// with an empty cache in the temporary directory, and with that cache filled by the opening before.
// Best times are taken.
//
// Prints RESULT <tab> set <tab> column <tab> value <tab> unit:
//   "open folder"      wall-clock ms per picture of the opening without cache
//   "open folder CPU"  CPU time of the whole process during that opening (all threads); a busy
//                      shared machine distorts it much less than the wall-clock figure
//   "open folder UI thread CPU"  the part of it spent on the calling (user-interface) thread
//   "open, cache empty", "open, cached"  ms per picture of the other two openings, and the
//                      ratios "cache empty / no cache" and "cached / cache empty"
//   "... s"            the three openings in seconds
//   "peak memory, ..." peak resident memory of the process during each opening (MB)
//   "first screen, ..." from the call until the folder view first painted with every item it
//                      shows holding its real thumbnail (ms, each of the three openings)
//   "screenful decode" the pictures of that first screen, read beforehand, made into thumbnails
//                      on as many threads as the opening has decoders (ms, median of three); "first
//                      screen, no cache / screenful decode" the first screen without cache over it
//   "first screen, no cache CPU", "... UI thread CPU", "screenful decode CPU"  the CPU time of
//                      the process, and of the user-interface thread, until that first screen,
//                      and of the screenful decode: what the cores had to do for each
//   "longest without painting"  the longest stretch of any opening in which the window could
//                      not paint: a small widget in it asks for a paint every 4 ms, as an
//                      animation would
//   "longest without a change"  the longest stretch in which no other widget painted (nothing
//                      in sight changed, or the window could not paint)
//   "longest scroll frame"  with --scroll: the cached folder scrolled from top to bottom a page
//                      at a time, each page painted at once; the slowest page (ms), and
//                      "scroll frames over 16 ms" how many pages took longer than a frame
// With --parts it also times the parts of an opening one after the other on the calling thread
// (PART <tab> set <tab> part <tab> ms of CPU per picture), to show where the time goes beyond
// decoding. With --verbose each opening's figures go to standard error with the interval it took
// on CLOCK_MONOTONIC, to cut a profile to the openings (perf record -k CLOCK_MONOTONIC ...,
// then perf report --time START,END).

#include "benchsupport.h"

#include "app/form1.h"
#include "app/statusbar.h"
#include "imaging/picturekind.h"
#include "imaging/thumbnailer.h"
#include "store/store.h"
#include "view/consoleprompt.h"
#include "view/statustexts.h"
#include "view/thumbnailmodel.h"
#include "view/workspace.h"
#include "widgets/folderlistview.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

using namespace zarvo;
using namespace zarvo::bench;

namespace {

const char kUsage[] = "zarvo_bench_folderopen [--repeat N] [--parts] [--scroll] [--verbose] "
                      "WORKDIR CORPUSDIR SET[@N]...";

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

// How long the window at most could not paint. A small widget in the window asks to be painted
// every few milliseconds, as an animation (a busy indicator, a scrolling view) would: a stretch
// without any paint is one in which the user-interface thread did not process its events.
// Besides, the longest stretch without a paint of any other widget: how long the window at most
// showed no change (after the first screen only the progress bar, moving a pixel at a time, and
// rows scrolled into sight change).
class PaintGaps : public QObject
{
public:
    explicit PaintGaps(QWidget& window)
        : m_ticker(&window)
    {
        m_ticker.setGeometry(0, 0, 4, 4);
        // Painted alone, not through the widgets behind it.
        m_ticker.setAttribute(Qt::WA_OpaquePaintEvent);
        m_ticker.show();
        m_ticker.raise();
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, &m_ticker, [this] { m_ticker.update(); });
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~PaintGaps() override { QCoreApplication::instance()->removeEventFilter(this); }
    void start()
    {
        m_start = Clock::now();
        m_any = Gap { m_start };
        m_change = Gap { m_start };
        m_timer.start(4);
    }
    // Until now, so that a last stretch without paints counts too.
    double longestMs()
    {
        m_timer.stop();
        m_any.note(m_start);
        return m_any.longest;
    }
    double longestChangeMs()
    {
        m_change.note(m_start);
        return m_change.longest;
    }
    // Where the longest stretch without painting began, in ms from start().
    double longestAtMs() const { return m_any.longestAt; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            m_any.note(m_start);
            if (watched != &m_ticker)
                m_change.note(m_start);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    struct Gap
    {
        Clock::time_point last;
        double longest = 0, longestAt = 0;
        // A paint now: the stretch since the last one ends.
        void note(Clock::time_point start)
        {
            const double gap = msSince(last);
            if (gap > longest) {
                longest = gap;
                longestAt = std::chrono::duration<double, std::milli>(last - start).count();
            }
            last = Clock::now();
        }
    };

    QWidget m_ticker;
    QTimer m_timer;
    Clock::time_point m_start;
    Gap m_any, m_change;
};

// Peak resident memory of the process since the last resetPeakMemory(), in MB.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double peakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// Scrolls the folder view from top to bottom a page at a time, painting each page at once;
// the longest of those frames in ms (wall clock, and CPU of this thread, which a busy machine
// hardly changes), and the number of frames.
struct Frames
{
    double longest = 0, longestCpu = 0;
    int count = 0, over16 = 0;
};

Frames scrollThrough(FolderListView& view)
{
    QScrollBar* bar = view.verticalScrollBar();
    bar->setValue(0);
    // The view places its items in batches while the event loop runs, and sets the bar's range
    // once all are placed: scroll then, or the bar ends at the first batch.
    const int rows = view.model()->rowCount();
    for (int round = 0; rows > 0 && round < 1000; ++round) {
        settle();
        if (view.visualRect(view.model()->index(rows - 1, 0)).isValid())
            break;
    }
    settle();
    double longest = 0, longestCpu = 0;
    int frames = 0, over16 = 0;
    for (;;) {
        const Clock::time_point start = Clock::now();
        const double cpuStart = threadCpuMs();
        view.viewport()->repaint();
        const double frame = msSince(start);
        longest = std::max(longest, frame);
        over16 += frame > 16 ? 1 : 0;
        longestCpu = std::max(longestCpu, threadCpuMs() - cpuStart);
        ++frames;
        if (bar->value() >= bar->maximum())
            break;
        bar->setValue(bar->value() + bar->pageStep());
    }
    return { longest, longestCpu, frames, over16 };
}

// When the folder view first painted with every item it shows holding its real thumbnail, and
// the CPU time spent until then by the process and by the user-interface thread.
class FirstScreen : public QObject
{
public:
    FirstScreen(FolderListView& view, Clock::time_point start)
        : m_view(view)
        , m_start(start)
        , m_cpuStart(processCpuMs())
        , m_threadCpuStart(threadCpuMs())
    {
        m_view.viewport()->installEventFilter(this);
    }
    ~FirstScreen() override { m_view.viewport()->removeEventFilter(this); }
    // ms from the start; negative when it never happened.
    double ms() const { return m_ms; }
    double cpu() const { return m_cpu; }
    double uiThreadCpu() const { return m_threadCpu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (m_ms < 0 && event->type() == QEvent::Paint) {
            const auto [first, last] = m_view.visibleRows();
            const auto* items = static_cast<const ThumbnailModel*>(m_view.model());
            bool filled = first <= last;
            for (int row = first; filled && row <= last; ++row)
                filled = items->isFilled(row);
            if (filled) {
                m_ms = msSince(m_start);
                m_cpu = processCpuMs() - m_cpuStart;
                m_threadCpu = threadCpuMs() - m_threadCpuStart;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    FolderListView& m_view;
    Clock::time_point m_start;
    double m_cpuStart, m_threadCpuStart;
    double m_ms = -1, m_cpu = -1, m_threadCpu = -1;
};

struct Opening
{
    double wall = 1e30, cpu = 1e30, threadCpu = 1e30, painted = 1e30, paintGap = 0, peakMb = 0;
    double changeGap = 0;
    double firstScreen = 1e30, firstScreenCpu = 1e30, firstScreenThreadCpu = 1e30;
};

// One opening of the set in form, its figures merged into best (best times, worst gap and
// memory); false when it failed or the view is not complete.
bool openOnce(Form1& form, const QString& set, int expected, ConsolePrompt& prompt, bool verbose,
    const char* what, Opening* best)
{
    settle();
    prompt.resetWarnings();
    PaintGaps gaps(form);
    resetPeakMemory();
    const double cpuStart = processCpuMs();
    const double threadStart = threadCpuMs();
    const Clock::time_point start = Clock::now();
    FirstScreen firstScreen(*form.ListView1(), start);
    gaps.start();
    bool ok = true;
    try {
        form.workspace().openFolderTable(set);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: opening failed: %s\n", qPrintable(set), e.what());
        ok = false;
    }
    const double wall = msSince(start);
    const double gap = gaps.longestMs();
    const double changeGap = gaps.longestChangeMs();
    const double cpu = processCpuMs() - cpuStart;
    const double threadCpu = threadCpuMs() - threadStart;
    settle();
    const double painted = msSince(start);
    const double peak = peakMemoryMb();
    if (firstScreen.ms() < 0) {
        std::fprintf(stderr, "%s: the first screen never showed its thumbnails\n", qPrintable(set));
        ok = false;
    }
    if (verbose)
        std::fprintf(stderr,
            "%s %s: %.0f ms, CPU %.0f ms (user-interface thread %.0f ms), longest without painting "
            "%.0f ms (from %.0f ms), without a change %.0f ms, first screen %.0f ms, "
            "peak %.0f MB, monotonic %.6f,%.6f\n",
            qPrintable(set), what, wall, cpu, threadCpu, gap, gaps.longestAtMs(), changeGap,
            firstScreen.ms(), peak, monotonicSeconds(start), monotonicSeconds(start) + wall / 1e3);
    if (form.workspace().items().rowCount() != expected || prompt.warnings() != 0) {
        std::fprintf(stderr, "%s: the view has %d of %d pictures, %d decode warnings\n",
            qPrintable(set), form.workspace().items().rowCount(), expected, prompt.warnings());
        ok = false;
    }
    best->wall = std::min(best->wall, wall);
    best->cpu = std::min(best->cpu, cpu);
    best->threadCpu = std::min(best->threadCpu, threadCpu);
    best->painted = std::min(best->painted, painted);
    best->firstScreen = std::min(best->firstScreen, firstScreen.ms());
    best->firstScreenCpu = std::min(best->firstScreenCpu, firstScreen.cpu());
    best->firstScreenThreadCpu = std::min(best->firstScreenThreadCpu, firstScreen.uiThreadCpu());
    best->paintGap = std::max(best->paintGap, gap);
    best->changeGap = std::max(best->changeGap, changeGap);
    best->peakMb = std::max(best->peakMb, peak);
    return ok;
}

// One screenful's decode: the pictures the folder view shows (as it does after an opening, at its
// top), read beforehand, made into thumbnails on as many threads as an opening has decoders; ms,
// wall clock, the median of three, and the CPU time of that round. The least an opening without
// cache can take to show its first screen.
struct Screenful
{
    double ms = -1, cpuMs = -1;
};

Screenful screenfulDecode(Form1& form, const QString& set)
{
    const auto [first, last] = form.ListView1()->visibleRows();
    Store& store = *form.workspace().store();
    std::vector<std::pair<PictureFormat, QByteArray>> pictures;
    int item = 0;
    for (const PictureRow& row : store.pictureRows(set)) {
        const PictureFormat format = formatOfCome(row.come);
        if (format == PictureFormat::Other)
            continue; // no item
        if (item >= first && item <= last)
            pictures.emplace_back(format, store.readBlob(set, row.rowid));
        ++item;
    }
    if (pictures.empty())
        return {};
    // The median of three: one decode of a dozen pictures is as noisy as the machine.
    const int threads = std::max(1, QThread::idealThreadCount());
    std::vector<Screenful> times;
    for (int round = 0; round < 3; ++round) {
        std::atomic<size_t> next { 0 };
        const double cpuStart = processCpuMs();
        const Clock::time_point start = Clock::now();
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back([&] {
                Thumbnailer thumbnailer;
                for (size_t i; (i = next++) < pictures.size();)
                    thumbnailer.makeThumbnail(pictures[i].first, pictures[i].second);
            });
        }
        for (std::thread& worker : workers)
            worker.join();
        times.push_back({ msSince(start), processCpuMs() - cpuStart });
    }
    std::sort(times.begin(), times.end(),
        [](const Screenful& a, const Screenful& b) { return a.ms < b.ms; });
    return times[1];
}

bool fingerprint(const QString& dir)
{
    Store::Opened opened = Store::open(QDir(dir).filePath(QStringLiteral("data.mdb")));
    try {
        return opened.store && opened.store->buildFingerprints();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fingerprinting failed: %s\n", e.what());
        return false;
    }
}

// Times the openings of one set; false when something failed.
//
// Each round opens the folder three times, each in a main window of its own: without the
// thumbnail cache (as before it existed), with an empty cache (which it fills), and again
// with that cache (a re-opening). All three in one round, so the machine's load hits them alike.
bool measureSet(
    const Arguments& args, const QString& set, const QStringList& files, ConsolePrompt& prompt)
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
    // As an import leaves it: with its pictures' fingerprints, by which the cache is searched.
    if (!fingerprint(dir.path())) {
        std::fprintf(stderr, "%s: cannot fingerprint the store\n", qPrintable(set));
        return false;
    }
    const QString home = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const int expected = int(files.size());
    bool ok = true;
    Opening uncached, empty, cached;
    Screenful screenful { 1e30, 1e30 };
    double longestFrame = 0, longestFrameCpu = 0;
    int frames = 0, framesOver16 = 0;
    const QString cachePath = dir.filePath(QStringLiteral("thumbnails.sqlite"));
    // The window reads the cache's place when it is made.
    const auto withForm = [&](const QString& cache, const std::function<void(Form1&)>& use) {
        qputenv("ZARVO_THUMBNAIL_CACHE", cache.toUtf8());
        Form1 form(&prompt);
        if (!form.FormCreate()) {
            std::fprintf(stderr, "%s: the window could not open its store\n", qPrintable(set));
            ok = false;
            return;
        }
        showAndWait(form);
        use(form);
        form.workspace().closeFolderTable();
    };
    for (int r = 0; r < args.repeat && ok; ++r) {
        withForm(QStringLiteral("off"), [&](Form1& form) {
            ok = openOnce(form, set, expected, prompt, args.verbose, "without cache", &uncached)
                && ok;
            const Screenful decoded = screenfulDecode(form, set);
            if (decoded.ms > 0 && decoded.ms < screenful.ms)
                screenful = decoded;
        });
        for (const QString& suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
            QFile::remove(cachePath + suffix);
        withForm(cachePath, [&](Form1& form) {
            ok = openOnce(form, set, expected, prompt, args.verbose, "cache empty", &empty) && ok;
        });
        withForm(cachePath, [&](Form1& form) {
            ok = openOnce(form, set, expected, prompt, args.verbose, "cached", &cached) && ok;
            if (args.scroll) {
                const Frames scrolled = scrollThrough(*form.ListView1());
                longestFrame = std::max(longestFrame, scrolled.longest);
                longestFrameCpu = std::max(longestFrameCpu, scrolled.longestCpu);
                frames = scrolled.count;
                framesOver16 = scrolled.over16;
            }
        });
    }
    qunsetenv("ZARVO_THUMBNAIL_CACHE");
    if (ok) {
        const double n = double(files.size());
        printResult(set, QStringLiteral("open folder"), uncached.wall / n);
        printResult(set, QStringLiteral("open folder CPU"), uncached.cpu / n);
        printResult(set, QStringLiteral("open folder UI thread CPU"), uncached.threadCpu / n);
        printResult(set, QStringLiteral("open, cache empty"), empty.wall / n);
        printResult(set, QStringLiteral("open, cache empty CPU"), empty.cpu / n);
        printResult(set, QStringLiteral("open, cached"), cached.wall / n);
        printResult(
            set, QStringLiteral("cache empty / no cache"), empty.wall / uncached.wall, "ratio");
        printResult(set, QStringLiteral("cached / cache empty"), cached.wall / empty.wall, "ratio");
        printResult(set, QStringLiteral("open folder s"), uncached.wall / 1e3, "s");
        printResult(set, QStringLiteral("open, cache empty s"), empty.wall / 1e3, "s");
        printResult(set, QStringLiteral("open, cached s"), cached.wall / 1e3, "s");
        printResult(set, QStringLiteral("peak memory, no cache"), uncached.peakMb, "MB");
        printResult(set, QStringLiteral("peak memory, cache empty"), empty.peakMb, "MB");
        printResult(set, QStringLiteral("peak memory, cached"), cached.peakMb, "MB");
        printResult(set, QStringLiteral("first screen, no cache"), uncached.firstScreen, "ms once");
        printResult(set, QStringLiteral("first screen, cache empty"), empty.firstScreen, "ms once");
        printResult(set, QStringLiteral("first screen, cached"), cached.firstScreen, "ms once");
        printResult(set, QStringLiteral("screenful decode"), screenful.ms, "ms once");
        printResult(set, QStringLiteral("first screen, no cache / screenful decode"),
            uncached.firstScreen / screenful.ms, "ratio");
        printResult(
            set, QStringLiteral("first screen, no cache CPU"), uncached.firstScreenCpu, "ms once");
        printResult(set, QStringLiteral("first screen, no cache UI thread CPU"),
            uncached.firstScreenThreadCpu, "ms once");
        printResult(set, QStringLiteral("screenful decode CPU"), screenful.cpuMs, "ms once");
        printResult(set, QStringLiteral("longest without painting"),
            std::max({ uncached.paintGap, empty.paintGap, cached.paintGap }), "ms once");
        printResult(set, QStringLiteral("longest without a change"),
            std::max({ uncached.changeGap, empty.changeGap, cached.changeGap }), "ms once");
        if (args.scroll) {
            printResult(set, QStringLiteral("longest scroll frame"), longestFrame, "ms once");
            printResult(
                set, QStringLiteral("longest scroll frame CPU"), longestFrameCpu, "ms once");
            printResult(set, QStringLiteral("scroll frames over 16 ms"), framesOver16, "count");
        }
        std::fprintf(stderr,
            "%s: %d pictures, %.1f MB; opening without cache %.0f ms (until painted %.0f ms), "
            "cache empty %.0f ms, "
            "cached %.0f ms; peak memory %.0f / %.0f / %.0f MB%s\n",
            qPrintable(set), int(files.size()), double(totalBytes(files)) / 1e6, uncached.wall,
            uncached.painted, empty.wall, cached.wall, uncached.peakMb, empty.peakMb, cached.peakMb,
            args.scroll ? qPrintable(QStringLiteral("; scrolling: %1 frames, longest %2 ms")
                                         .arg(frames)
                                         .arg(longestFrame, 0, 'f', 1))
                        : "");
        if (args.parts) {
            qputenv("ZARVO_THUMBNAIL_CACHE", "off");
            withForm(QStringLiteral("off"), [&](Form1& form) { timeParts(form, set); });
            qunsetenv("ZARVO_THUMBNAIL_CACHE");
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
