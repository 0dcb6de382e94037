// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <gtest/gtest.h>

// Tests run headless. CTest sets the platform too; this keeps a test program started by hand
// (or listed by CTest's discovery) from needing a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The user's thumbnail cache stays out of the tests (and cannot hide a decoder's change): a
    // test that wants a cache makes its own.
    if (!qEnvironmentVariableIsSet("ZARVO_THUMBNAIL_CACHE"))
        qputenv("ZARVO_THUMBNAIL_CACHE", "off");
    if (!qEnvironmentVariableIsSet("ZARVO_BINARY_DIR"))
        qputenv("ZARVO_BINARY_DIR", ZARVO_BUILD_DIR);
    if (!qEnvironmentVariableIsSet("ZARVO_METAFILE_HELPER"))
        qputenv("ZARVO_METAFILE_HELPER", ZARVO_BUILD_DIR "/zarvo-metafile");
    // The suites check the program's own Chinese texts whatever the desktop's language; the
    // language tests choose theirs through CTest (an empty value follows the locale).
    if (!qEnvironmentVariableIsSet("ZARVO_LANGUAGE"))
        qputenv("ZARVO_LANGUAGE", "zh");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
