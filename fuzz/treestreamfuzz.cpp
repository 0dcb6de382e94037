// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// The tree stream decoder on any bytes. Whatever it keeps of them must encode to a stream that
// decodes without failure to the same tree (the same bytes once more).
#include "store/foldertree.h"
#include "store/treestream.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zarvo;
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    FolderTree tree;
    DecodeTreeStream(bytes, tree);
    const QByteArray encoded = EncodeTreeStream(tree);
    FolderTree again;
    if (!DecodeTreeStream(encoded, again) || again.nodeCount() != tree.nodeCount()
        || EncodeTreeStream(again) != encoded)
        std::abort();
    return 0;
}
