// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Zarvo places its own windows and popups, which native Wayland does not allow.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    return zarvo::runZarvo();
}
