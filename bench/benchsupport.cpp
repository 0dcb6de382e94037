// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "benchsupport.h"

#include "pictures/addfiles.h"
#include "store/foldertree.h"
#include "store/heap.h"
#include "store/sqlitestore.h"
#include "store/treeblob.h"
#include "view/consoleprompt.h"
#include "view/prompt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <QWindow>

#include <sys/resource.h>

#include <cstdio>
#include <ctime>

namespace zarvo::bench {

bool parseArguments(const QStringList& args, const char* usage, Arguments* out)
{
    QStringList rest = args;
    while (!rest.isEmpty() && rest.first().startsWith(QLatin1String("--"))) {
        const QString option = rest.takeFirst();
        if (option == QLatin1String("--repeat") && !rest.isEmpty()) {
            out->repeat = std::max(1, rest.takeFirst().toInt());
        } else if (option == QLatin1String("--parts")) {
            out->parts = true;
        } else if (option == QLatin1String("--scroll")) {
            out->scroll = true;
        } else if (option == QLatin1String("--verbose")) {
            out->verbose = true;
        } else {
            std::fprintf(stderr, "unknown option %s\nusage: %s\n", qPrintable(option), usage);
            return false;
        }
    }
    if (rest.size() < 3) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return false;
    }
    out->workDir = rest.takeFirst();
    out->corpusDir = rest.takeFirst();
    out->sets = rest;
    return true;
}

QStringList corpusFiles(const QString& corpusDir, const QString& set)
{
    const QDir dir(QDir(corpusDir).filePath(set));
    QStringList files;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        files.append(QFileInfo(dir.filePath(name)).absoluteFilePath());
    return files;
}

qint64 totalBytes(const QStringList& files)
{
    qint64 total = 0;
    for (const QString& file : files)
        total += QFileInfo(file).size();
    return total;
}

QString makeStore(
    const QString& dir, const QString& folder, const QStringList& files, Prompt& prompt)
{
    const QString path = QDir(dir).filePath(QStringLiteral("data.mdb"));
    QString error;
    if (!SqliteStore::create(path, &error))
        return QStringLiteral("cannot create %1: %2").arg(path, error);
    SqliteStore::Opened opened = SqliteStore::open(path);
    if (!opened.store)
        return QStringLiteral("cannot open %1: %2").arg(path, opened.detail);
    Store& store = *opened.store;
    FolderTree tree;
    if (!OpenBlob(store, tree, prompt) || !store.CreateFolderTable(folder))
        return QStringLiteral("cannot make the folder %1").arg(folder);
    tree.appendNode(nullptr, folder);
    if (!SaveTree(store, tree, prompt))
        return QStringLiteral("cannot save the folder tree");
    const AddFilesResult added = AddFiles(store, folder, files, prompt);
    if (added.added.size() != files.size())
        return QStringLiteral("%1 of %2 files were not added")
            .arg(files.size() - added.added.size())
            .arg(files.size());
    return {};
}

void showAndWait(QWidget& window)
{
    window.show();
    const Clock::time_point start = Clock::now();
    while ((!window.windowHandle() || !window.windowHandle()->isExposed()) && msSince(start) < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    settle();
}

void settle()
{
    // Posted events may post more (a layout request posts an update request): a few passes.
    for (int pass = 0; pass < 10; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double monotonicSeconds(Clock::time_point at)
{
    return std::chrono::duration<double>(at.time_since_epoch()).count();
}

double processCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms
        = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long minorPageFaults()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void printResult(const QString& set, const QString& column, double value, const char* unit)
{
    std::printf("RESULT\t%s\t%s\t%.3f\t%s\n", qPrintable(set), qPrintable(column), value, unit);
    std::fflush(stdout);
}

void printPart(const QString& set, const QString& part, double msPerPicture)
{
    std::printf("PART\t%s\t%s\t%.3f\n", qPrintable(set), qPrintable(part), msPerPicture);
    std::fflush(stdout);
}

int runBenchmark(int argc, char** argv, const char* usage, const MeasureSet& measureSet)
{
    // The allocator as the programs set it.
    keepPictureBuffersOnHeap();
    // The window is real but needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Arguments args;
    if (!parseArguments(app.arguments().mid(1), usage, &args))
        return 2;
    if (!QDir().mkpath(args.workDir)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(args.workDir));
        return 1;
    }
    ConsolePrompt prompt(false, nullptr);
    int status = 0;
    for (const QString& spec : args.sets) {
        const QString set = QString(spec).replace(QLatin1Char('@'), QLatin1Char('_'));
        QStringList files = corpusFiles(args.corpusDir, spec.section(QLatin1Char('@'), 0, 0));
        if (spec.contains(QLatin1Char('@')))
            files = files.mid(0, spec.section(QLatin1Char('@'), 1).toInt());
        if (files.isEmpty()) {
            std::fprintf(stderr, "set %s has no pictures\n", qPrintable(set));
            status = 1;
            continue;
        }
        if (!measureSet(args, set, files, prompt))
            status = 1;
    }
    return status;
}

} // namespace zarvo::bench
