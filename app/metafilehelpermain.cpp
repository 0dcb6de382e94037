// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// zarvo-metafile: turns an EMF or WMF into SVG in a process of its own, for decodeMetafile.
#include "imaging/metafiledecoder.h"

int main(int argc, char** argv)
{
    return zarvo::metafileHelperMain(argc, argv);
}
