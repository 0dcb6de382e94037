// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/zarvoctl.h"
#include "store/heap.h"
#include "view/language.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    zarvo::keepPictureBuffersOnHeap();
    QCoreApplication app(argc, argv);
    zarvo::installLanguage(false);
    return zarvo::runZarvoctl(QCoreApplication::arguments().mid(1));
}
