// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

// What the benchmark programs that drive the main window share: their command line, the corpus
// files, a store made the way `zarvoctl init` + `zarvoctl add` make one, and clocks.

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

class QWidget;

namespace zarvo {
class ConsolePrompt;
class Prompt;
}

namespace zarvo::bench {

// [--repeat N] [--parts] [--scroll] [--verbose] WORKDIR CORPUSDIR SET[@N]...
// SET@N takes the first N pictures of the set; its folder is then called SET_N.
struct Arguments
{
    int repeat = 2;
    bool parts = false; // also time the parts of the work one by one
    bool scroll = false; // also scroll through the opened folder, timing each frame
    // Each run's figures on standard error, with its interval on CLOCK_MONOTONIC (to cut a
    // profile: perf record -k CLOCK_MONOTONIC, then perf report --time START,END).
    bool verbose = false;
    QString workDir; // temporary stores are made in here
    QString corpusDir;
    QStringList sets;
};

// False (and a message on standard error) when the command line is not of that shape.
bool parseArguments(const QStringList& args, const char* usage, Arguments* out);

// The main() of a benchmark that drives the main window: a QApplication on the offscreen
// platform, the command line, the work directory, then `measureSet` for each set. Returns the
// exit status: 2 for a bad command line, 1 when a set failed or has no pictures.
using MeasureSet = std::function<bool(
    const Arguments& args, const QString& set, const QStringList& files, ConsolePrompt& prompt)>;
int runBenchmark(int argc, char** argv, const char* usage, const MeasureSet& measureSet);

// The picture files of a corpus set, absolute paths, in name order (hidden files left out).
QStringList corpusFiles(const QString& corpusDir, const QString& set);
qint64 totalBytes(const QStringList& files);

// Makes `data.mdb` in dir as zarvoctl does: a new store (Store::create), the folder table
// `folder` as a top-level node of the tree, and `files` added to it through AddFiles. The store
// is closed (and its lock released) on return. An empty text on success, else what failed.
QString makeStore(
    const QString& dir, const QString& folder, const QStringList& files, Prompt& prompt);

// Shows the window and waits until it is exposed and has painted.
void showAndWait(QWidget& window);
// Processes events until none are pending, so repaints and deferred deletes left by one run
// do not fall into the next one's timing.
void settle();

using Clock = std::chrono::steady_clock;
double msSince(Clock::time_point start);
// A time point as seconds on CLOCK_MONOTONIC (what steady_clock counts on Linux).
double monotonicSeconds(Clock::time_point at);
// CPU time of the whole process (every thread), in milliseconds.
double processCpuMs();
// CPU time of the calling thread, in milliseconds.
double threadCpuMs();
// Minor page faults of the process so far (fresh memory being touched, mostly).
long minorPageFaults();

// One figure for bench/run.sh: RESULT <tab> set <tab> column <tab> value <tab> unit (ms per
// picture, MB/s, ratio, s, MB, "ms once").
void printResult(const QString& set, const QString& column, double value, const char* unit = "ms");
// One line of the breakdown: PART <tab> set <tab> part <tab> ms per picture.
void printPart(const QString& set, const QString& part, double msPerPicture);

} // namespace zarvo::bench
