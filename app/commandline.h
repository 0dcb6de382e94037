// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace zarvo {

// What zarvo's command line asks for.
struct CommandLine
{
    bool run = false; // start the window on `store`; otherwise end with `status`
    int status = 0; // 0 after --help or --version, 2 after a usage error
    QString output; // for standard output: the help or the version
    QString error; // for standard error: what was wrong, then the usage
    // The store's name: --store, else `environmentStore` (ZARVO_STORE), else data.mdb of the
    // working directory, as an absolute path; a libpq connection URI as it is.
    QString store;
};

// Reads zarvo's arguments (the program name first): --help, --version, --store NAME. Unknown
// options and any other argument are usage errors.
CommandLine parseCommandLine(const QStringList& arguments, const QString& environmentStore);

} // namespace zarvo
