// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT

// The viewer window and saving, each against a peer measured in the same run, in a real Form1
// shown on the offscreen platform over a store holding the set (made as `zarvoctl add` would)
// plus a generated animated GIF. Usage:
//   zarvo_bench_viewer [--repeat N] [--seconds S] [--gif-delay CS] [--measure NAME]...
//                      WORKDIR CORPUSDIR SET[@N]
// SET is a set of large JPEGs (jpeg12mp; @N takes its first N files). Measurements (all unless
// --measure names some):
//   firstpaint  The folder view's double-click command (ListView1DblClick) on each picture, from
//               the call until the viewer's picture area has been painted whole and the event
//               loop is back ("viewer first paint"; the viewer draws the part on the screen, with
//               its pixels, and a part beyond it when it comes onto the screen), against `djpeg
//               -outfile /dev/null FILE` (libjpeg-turbo's full-size decode, process start
//               included: "djpeg"). Each side runs N x --repeat times, alternating which goes
//               first; medians are compared ("first paint / djpeg"), and their CPU times ("...
//               CPU", "CPU first paint / djpeg"). "viewer whole picture" goes on until the rest of
//               a picture shown by what the window shows first is decoded and shown too ("whole
//               picture / djpeg"). "viewer decode only" is the decode of the stored bytes alone,
//               and its CPU time with the freeing of the picture.
//   png         SavePicture of each JPEG as PNG (the save dialog answered with a path and the
//               PNG type; the stored bytes read, decoded, converted, written through QSaveFile,
//               which syncs the file before renaming it) against `vips copy FILE OUT.png`, and
//               against `vips copy FILE OUT.png[filter=sub]`, our row filter (libpng and zlib
//               in all three at level 6; vips' default has no row filter; ours uses the Sub
//               filter and zlib's run-length strategy, which vips does not offer, so the sizes
//               are printed too): "save as PNG", "vips copy PNG", "vips copy PNG sub", their
//               ratios, CPU times, the size of the last file each wrote ("saved PNG size", ...),
//               and the parts of ours one by one ("save: decode", "save: encode", "save: write").
//   gif         A GIF of 30 frames of 800 x 450, every frame whole (a drifting gradient with a
//               moving block), --gif-delay centiseconds each (default 4: 25 frames/s), played in
//               a viewer opened by the same command: after a second of playing, the CPU time
//               of the whole process over --seconds of playing (default 10) as a share of one
//               core ("GIF playing CPU %"), how many frames it painted per second, and the same
//               share with the main window alone, no viewer open ("idle CPU %").
// Prints RESULT <tab> set <tab> column <tab> value <tab> unit (bench/run.sh reads them).

#include "benchsupport.h"

#include "app/form1.h"
#include "app/viewerwindows.h"
#include "dialogs/tvie.h"
#include "imaging/gifbuilder.h"
#include "imaging/picturedecoder.h"
#include "imaging/pictureencoder.h"
#include "imaging/pictureformat.h"
#include "pictures/fangda.h"
#include "pictures/savepicture.h"
#include "store/heap.h"
#include "store/store.h"
#include "view/consoleprompt.h"
#include "view/viewers.h"
#include "view/workspace.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPaintEvent>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

extern char** environ;

using namespace zarvo;
using namespace zarvo::bench;

namespace {

const char* const kUsage = "zarvo_bench_viewer [--repeat N] [--seconds S] [--gif-delay CS] "
                           "[--measure firstpaint|png|gif]... WORKDIR CORPUSDIR SET[@N]";
const QString kFolder = QStringLiteral("viewer");

struct Options
{
    int repeat = 3;
    double seconds = 10;
    int gifDelay = 4;
    QStringList measures;
    QString workDir;
    QString corpusDir;
    QString set;
    bool wants(const char* name) const
    {
        return measures.isEmpty() || measures.contains(QLatin1String(name));
    }
};

bool parse(QStringList args, Options* out)
{
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (args.isEmpty())
            return false;
        const QString value = args.takeFirst();
        if (option == QLatin1String("--repeat"))
            out->repeat = std::max(1, value.toInt());
        else if (option == QLatin1String("--seconds"))
            out->seconds = std::max(1.0, value.toDouble());
        else if (option == QLatin1String("--gif-delay"))
            out->gifDelay = std::max(2, value.toInt());
        else if (option == QLatin1String("--measure"))
            out->measures.append(value);
        else
            return false;
    }
    if (args.size() != 3)
        return false;
    out->workDir = args[0];
    out->corpusDir = args[1];
    out->set = args[2];
    return true;
}

// The quiet prompt that also answers the save dialog (a path and a type) and the overwrite
// question, and remembers whether the last save reported success.
class SavingPrompt : public ConsolePrompt
{
public:
    SavingPrompt()
        : ConsolePrompt(false, nullptr)
    {
    }
    bool confirm(const QString&) override { return true; }
    void popup(PopupKind kind, const QString& text) override
    {
        m_last = kind;
        ConsolePrompt::popup(kind, text);
    }
    std::optional<SaveChoice> chooseSaveFile(const QString&, int, const QString&) override
    {
        if (m_path.isEmpty())
            return std::nullopt;
        return SaveChoice { m_path, m_filterIndex };
    }

    void answerSave(const QString& path, int filterIndex)
    {
        m_path = path;
        m_filterIndex = filterIndex;
        m_last.reset();
    }
    std::optional<PopupKind> lastPopup() const { return m_last; }

private:
    QString m_path;
    int m_filterIndex = 0;
    std::optional<PopupKind> m_last;
};

// Watches every paint of a viewer's picture area `Image1` (the main window has one too): the
// region painted since reset(), and how many paints there were. Its visible part is what must
// be painted: the window's frame, where there is one, hides a few pixels of a large picture.
class PaintWatch : public QObject
{
public:
    void reset()
    {
        m_painted = QRegion();
        m_widget = nullptr;
    }
    bool paintedWhole() const
    {
        return m_widget && !m_widget->visibleRegion().isEmpty()
            && (m_widget->visibleRegion() - m_painted).isEmpty();
    }
    long paints() const { return m_paints; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("Image1")
            && qobject_cast<Tvie*>(static_cast<QWidget*>(watched)->window())) {
            m_widget = static_cast<QWidget*>(watched);
            m_painted += static_cast<QPaintEvent*>(event)->region();
            ++m_paints;
        }
        return false;
    }

private:
    QRegion m_painted;
    QWidget* m_widget = nullptr;
    long m_paints = 0;
};

struct Sample
{
    double wallMs = 0;
    double cpuMs = 0;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Samples
{
    std::vector<double> wall;
    std::vector<double> cpu;
    void add(const Sample& s)
    {
        wall.push_back(s.wallMs);
        cpu.push_back(s.cpuMs);
    }
    double wallMedian() const { return median(wall); }
    double cpuMedian() const { return median(cpu); }
};

// Runs a program to its end with its output thrown away; wall-clock and CPU time (its own,
// from wait4). Process start is included, as the user of the tool would have it.
std::optional<Sample> runTool(const QStringList& command)
{
    std::vector<QByteArray> owned;
    for (const QString& part : command)
        owned.push_back(part.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& part : owned)
        argv.push_back(part.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return std::nullopt;
    int status = 0;
    rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return std::nullopt;
    const double wall = msSince(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    const auto ms
        = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return Sample { wall, ms(usage.ru_utime) + ms(usage.ru_stime) };
}

// Runs the event loop for `ms` milliseconds.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

ViewerWindows* viewerWindows(Form1& form)
{
    return dynamic_cast<ViewerWindows*>(form.workspace().viewers());
}

void closeViewers(Form1& form)
{
    for (Tvie* window : viewerWindows(form)->windows())
        window->close();
    settle();
}

// Selects the row of the folder view that shows `name`.
bool selectName(Form1& form, const QString& name, int rowCount)
{
    for (int row = 0; row < rowCount; ++row) {
        form.workspace().selectRows({ row });
        const QStringList selected = form.workspace().selectedNames();
        if (!selected.isEmpty() && selected.first() == name)
            return true;
    }
    return false;
}

// The double-click command on the selected picture, until its viewer has painted its picture
// area whole and the event loop has finished that round (the window's backing store flushed).
// With `whole`, also until the whole picture is decoded and shown.
std::optional<Sample> openViewer(Form1& form, PaintWatch& watch, Sample* whole = nullptr)
{
    settle();
    watch.reset();
    bool timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&timedOut] { timedOut = true; });
    const double cpu0 = processCpuMs();
    const Clock::time_point start = Clock::now();
    form.workspace().run(ListView1DblClick);
    watchdog.start(20000);
    while (!watch.paintedWhole() && !timedOut)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const Sample sample { msSince(start), processCpuMs() - cpu0 };
    if (timedOut || viewerWindows(form)->windows().size() != 1)
        return std::nullopt;
    // A large picture shows what the window shows first; the rest is decoded and shown after.
    Tvie* viewer = viewerWindows(form)->windows().first();
    while (!viewer->isPictureComplete() && !timedOut)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    settle();
    if (timedOut)
        return std::nullopt;
    if (whole)
        *whole = Sample { msSince(start), processCpuMs() - cpu0 };
    return sample;
}

QByteArray makeGif(int frames, int delay)
{
    constexpr int kWidth = 800;
    constexpr int kHeight = 450;
    QList<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.append(qRgb(i, (i * 3) % 256, 255 - i));
    QList<test::BuiltFrame> list;
    for (int f = 0; f < frames; ++f) {
        test::BuiltFrame frame;
        frame.rect = QRect(0, 0, kWidth, kHeight);
        frame.indices.resize(qsizetype(kWidth) * kHeight);
        char* p = frame.indices.data();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool block = std::abs(x - (f * 25) % kWidth) < 60 && std::abs(y - 200) < 60;
                *p++ = char(block ? 255 : ((x + y) / 8 + f) % 200);
            }
        frame.delay = delay;
        list.append(std::move(frame));
    }
    return test::buildGif(QSize(kWidth, kHeight), palette, list, 0);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ratio(const QString& set, const char* column, double ours, double peer)
{
    if (peer > 0)
        printResult(set, QLatin1String(column), ours / peer, "ratio");
}

bool measureFirstPaint(Form1& form, PaintWatch& watch, const Options& options, const QString& set,
    const QList<PictureRow>& jpegs, const QStringList& files, int rowCount)
{
    Samples ours, oursWhole, djpeg;
    std::vector<double> decodeOnly, decodeOnlyCpu;
    for (int r = 0; r < options.repeat; ++r) {
        for (qsizetype i = 0; i < jpegs.size(); ++i) {
            if (!selectName(form, jpegs[i].name, rowCount)) {
                std::fprintf(
                    stderr, "%s: no row shows %s\n", qPrintable(set), qPrintable(jpegs[i].name));
                return false;
            }
            for (int side = 0; side < 2; ++side) {
                if ((side + r + int(i)) % 2 == 0) {
                    Sample whole;
                    const std::optional<Sample> s = openViewer(form, watch, &whole);
                    closeViewers(form);
                    if (!s) {
                        std::fprintf(stderr, "%s: the viewer of %s did not paint\n",
                            qPrintable(set), qPrintable(jpegs[i].name));
                        return false;
                    }
                    ours.add(*s);
                    oursWhole.add(whole);
                } else {
                    const std::optional<Sample> s = runTool({ QStringLiteral("djpeg"),
                        QStringLiteral("-outfile"), QStringLiteral("/dev/null"), files[i] });
                    if (!s) {
                        std::fprintf(stderr, "djpeg failed on %s\n", qPrintable(files[i]));
                        return false;
                    }
                    djpeg.add(*s);
                }
            }
        }
    }
    for (qsizetype i = 0; i < jpegs.size(); ++i) {
        ViewedPicture picture;
        picture.extension = QStringLiteral(".jpg");
        picture.bytes = readFile(files[i]);
        const Clock::time_point start = Clock::now();
        const double cpu0 = threadCpuMs();
        if (!decodeForViewing(picture))
            return false;
        decodeOnly.push_back(msSince(start));
        picture = ViewedPicture(); // freed as when a viewer closes
        decodeOnlyCpu.push_back(threadCpuMs() - cpu0);
    }
    printResult(set, QStringLiteral("viewer first paint"), ours.wallMedian(), "ms once");
    printResult(set, QStringLiteral("djpeg"), djpeg.wallMedian(), "ms once");
    ratio(set, "first paint / djpeg", ours.wallMedian(), djpeg.wallMedian());
    printResult(set, QStringLiteral("viewer whole picture"), oursWhole.wallMedian(), "ms once");
    ratio(set, "whole picture / djpeg", oursWhole.wallMedian(), djpeg.wallMedian());
    printResult(set, QStringLiteral("viewer first paint CPU"), ours.cpuMedian(), "ms once");
    printResult(set, QStringLiteral("djpeg CPU"), djpeg.cpuMedian(), "ms once");
    ratio(set, "CPU first paint / djpeg", ours.cpuMedian(), djpeg.cpuMedian());
    printResult(set, QStringLiteral("viewer decode only"), median(decodeOnly), "ms once");
    printResult(set, QStringLiteral("viewer decode only CPU"), median(decodeOnlyCpu), "ms once");
    return true;
}

bool measurePng(Form1& form, SavingPrompt& prompt, const Options& options, const QString& set,
    const QList<PictureRow>& jpegs, const QStringList& files, const QDir& dir)
{
    Samples ours, vips, vipsSub;
    qint64 oursBytes = 0, vipsBytes = 0, vipsSubBytes = 0; // of the last file
    const QString target = dir.filePath(QStringLiteral("saved"));
    const QString vipsTarget = dir.filePath(QStringLiteral("vips.png"));
    for (int r = 0; r < options.repeat; ++r) {
        for (qsizetype i = 0; i < jpegs.size(); ++i) {
            for (int side = 0; side < 3; ++side) {
                switch ((side + r + int(i)) % 3) {
                case 0: {
                    QFile::remove(target + QStringLiteral(".png"));
                    prompt.answerSave(target, 4);
                    const double cpu0 = processCpuMs();
                    const Clock::time_point start = Clock::now();
                    SavePicture(form.workspace(), kFolder, jpegs[i].name, 1);
                    const Sample s { msSince(start), processCpuMs() - cpu0 };
                    if (prompt.lastPopup() != PopupKind::Success
                        || !readFile(target + QStringLiteral(".png")).startsWith("\x89PNG")) {
                        std::fprintf(stderr, "%s: saving %s as PNG failed\n", qPrintable(set),
                            qPrintable(jpegs[i].name));
                        return false;
                    }
                    ours.add(s);
                    oursBytes = QFileInfo(target + QStringLiteral(".png")).size();
                    break;
                }
                case 1:
                case 2: {
                    const bool sub = (side + r + int(i)) % 3 == 2;
                    QFile::remove(vipsTarget);
                    const std::optional<Sample> s
                        = runTool({ QStringLiteral("vips"), QStringLiteral("copy"), files[i],
                            vipsTarget + (sub ? QStringLiteral("[filter=sub]") : QString()) });
                    if (!s) {
                        std::fprintf(stderr, "vips copy failed on %s\n", qPrintable(files[i]));
                        return false;
                    }
                    (sub ? vipsSub : vips).add(*s);
                    (sub ? vipsSubBytes : vipsBytes) = QFileInfo(vipsTarget).size();
                    break;
                }
                }
            }
        }
    }
    prompt.answerSave(QString(), 0);
    QFile::remove(target + QStringLiteral(".png"));
    QFile::remove(vipsTarget);

    // The parts of our save one after the other: decode, encode, write.
    std::vector<double> decodeMs, encodeMs, writeMs;
    for (qsizetype i = 0; i < jpegs.size(); ++i) {
        const QByteArray bytes = readFile(files[i]);
        Clock::time_point start = Clock::now();
        const DecodedPicture decoded = decodePicture(PictureFormat::Jpeg, bytes);
        decodeMs.push_back(msSince(start));
        start = Clock::now();
        const EncodedPicture encoded = encodePngFile(decoded.image);
        encodeMs.push_back(msSince(start));
        start = Clock::now();
        QSaveFile file(target + QStringLiteral(".png"));
        if (!file.open(QIODevice::WriteOnly) || file.write(encoded.bytes) != encoded.bytes.size()
            || !file.commit())
            return false;
        writeMs.push_back(msSince(start));
        QFile::remove(target + QStringLiteral(".png"));
    }

    printResult(set, QStringLiteral("save as PNG"), ours.wallMedian(), "ms once");
    printResult(set, QStringLiteral("vips copy PNG"), vips.wallMedian(), "ms once");
    printResult(set, QStringLiteral("vips copy PNG sub"), vipsSub.wallMedian(), "ms once");
    ratio(set, "save PNG / vips", ours.wallMedian(), vips.wallMedian());
    ratio(set, "save PNG / vips sub", ours.wallMedian(), vipsSub.wallMedian());
    printResult(set, QStringLiteral("save as PNG CPU"), ours.cpuMedian(), "ms once");
    printResult(set, QStringLiteral("vips copy PNG CPU"), vips.cpuMedian(), "ms once");
    printResult(set, QStringLiteral("vips copy PNG sub CPU"), vipsSub.cpuMedian(), "ms once");
    ratio(set, "CPU save PNG / vips", ours.cpuMedian(), vips.cpuMedian());
    ratio(set, "CPU save PNG / vips sub", ours.cpuMedian(), vipsSub.cpuMedian());
    printResult(set, QStringLiteral("saved PNG size"), double(oursBytes) / 1e6, "MB");
    printResult(set, QStringLiteral("vips PNG size"), double(vipsBytes) / 1e6, "MB");
    printResult(set, QStringLiteral("vips PNG sub size"), double(vipsSubBytes) / 1e6, "MB");
    printResult(set, QStringLiteral("save: decode"), median(decodeMs), "ms once");
    printResult(set, QStringLiteral("save: encode"), median(encodeMs), "ms once");
    printResult(set, QStringLiteral("save: write"), median(writeMs), "ms once");
    return true;
}

bool measureGif(
    Form1& form, PaintWatch& watch, const Options& options, const QString& gifName, int rowCount)
{
    const QString set = QStringLiteral("gif30");
    const int ms = int(options.seconds * 1000);
    // The main window alone first.
    closeViewers(form);
    runFor(1000);
    double cpu0 = processCpuMs();
    Clock::time_point start = Clock::now();
    runFor(ms);
    const double idle = (processCpuMs() - cpu0) / msSince(start) * 100;

    if (!selectName(form, gifName, rowCount) || !openViewer(form, watch)) {
        std::fprintf(stderr, "gif: the viewer did not open\n");
        return false;
    }
    runFor(1000);
    const long paints0 = watch.paints();
    const double ui0 = threadCpuMs();
    cpu0 = processCpuMs();
    start = Clock::now();
    runFor(ms);
    const double wall = msSince(start);
    const double cpu = processCpuMs() - cpu0;
    const double ui = threadCpuMs() - ui0;
    const long paints = watch.paints() - paints0;
    closeViewers(form);
    printResult(set, QStringLiteral("GIF playing CPU %"), cpu / wall * 100, "%");
    printResult(set, QStringLiteral("GIF playing UI thread CPU %"), ui / wall * 100, "%");
    printResult(set, QStringLiteral("GIF frames painted/s"), double(paints) / wall * 1000, "/s");
    printResult(
        set, QStringLiteral("GIF CPU per frame"), paints ? cpu / double(paints) : 0, "ms once");
    printResult(set, QStringLiteral("idle CPU %"), idle, "%");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // The allocator as the programs set it.
    keepPictureBuffersOnHeap();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ZARVO_THUMBNAIL_CACHE", "off");
    QApplication app(argc, argv);
    Options options;
    if (!parse(app.arguments().mid(1), &options)) {
        std::fprintf(stderr, "usage: %s\n", kUsage);
        return 2;
    }
    const QString set = options.set.section(QLatin1Char('@'), 0, 0);
    QStringList files = corpusFiles(options.corpusDir, set);
    if (options.set.contains(QLatin1Char('@')))
        files = files.mid(0, options.set.section(QLatin1Char('@'), 1).toInt());
    if (files.isEmpty()) {
        std::fprintf(stderr, "set %s has no pictures\n", qPrintable(options.set));
        return 1;
    }
    if (!QDir().mkpath(options.workDir))
        return 1;
    QTemporaryDir dir(QDir(options.workDir).filePath(QStringLiteral("viewer-XXXXXX")));
    const QString gifPath = dir.filePath(QStringLiteral("anim30.gif"));
    if (!dir.isValid() || !writeFile(gifPath, makeGif(30, options.gifDelay)))
        return 1;

    SavingPrompt prompt;
    const QString error = makeStore(dir.path(), kFolder, files + QStringList { gifPath }, prompt);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QDir::setCurrent(dir.path());
    PaintWatch watch;
    app.installEventFilter(&watch);
    int status = 0;
    {
        Form1 form(&prompt);
        if (!form.FormCreate()) {
            std::fprintf(stderr, "the window could not open its store\n");
            return 1;
        }
        showAndWait(form);
        form.workspace().openFolderTable(kFolder);
        settle();
        const QList<PictureRow> rows = form.workspace().store()->pictureRows(kFolder);
        const int rowCount = int(rows.size());
        QList<PictureRow> jpegs;
        QString gifName;
        for (const PictureRow& row : rows) {
            if (row.come.endsWith(QLatin1String(".gif")))
                gifName = row.name;
            else
                jpegs.append(row);
        }
        bool sameOrder = jpegs.size() == files.size();
        for (qsizetype i = 0; sameOrder && i < jpegs.size(); ++i)
            sameOrder = QFileInfo(jpegs[i].come).fileName() == QFileInfo(files[i]).fileName();
        if (!sameOrder || gifName.isEmpty()) {
            std::fprintf(stderr, "the store holds %lld of %lld pictures\n",
                static_cast<long long>(jpegs.size()), static_cast<long long>(files.size()));
            return 1;
        }
        const QString label = QString(options.set).replace(QLatin1Char('@'), QLatin1Char('_'));
        if (options.wants("firstpaint")
            && !measureFirstPaint(form, watch, options, label, jpegs, files, rowCount))
            status = 1;
        if (options.wants("png")
            && !measurePng(form, prompt, options, label, jpegs, files, QDir(dir.path())))
            status = 1;
        if (options.wants("gif") && !measureGif(form, watch, options, gifName, rowCount))
            status = 1;
        if (prompt.warnings() != 0) {
            std::fprintf(stderr, "%d warnings were shown\n", prompt.warnings());
            status = 1;
        }
        form.workspace().closeFolderTable();
    }
    QDir::setCurrent(QDir::rootPath());
    return status;
}
