// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/commandline.h"
#include "app/startup.h"
#include "store/heap.h"
#include "view/language.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    zarvo::keepPictureBuffersOnHeap();
    // The command line is read before the window system is reached, so --help and --version
    // work without a display.
    zarvo::CommandLine line;
    {
        QCoreApplication core(argc, argv);
        zarvo::installLanguage(false);
        line = zarvo::parseCommandLine(
            QCoreApplication::arguments(), qEnvironmentVariable("ZARVO_STORE"));
    }
    if (!line.run) {
        std::fputs(line.output.toLocal8Bit().constData(), stdout);
        std::fputs(line.error.toLocal8Bit().constData(), stderr);
        return line.status;
    }
    // Zarvo places its own windows and popups, which native Wayland does not allow.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    return zarvo::runZarvo(line.store);
}
