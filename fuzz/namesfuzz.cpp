// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
//
// The names a picture gets from the path it is added from, the format told from `Come`, and the
// file name it is exported under, on any text. The input is a path, optionally followed by a NUL
// byte and a picture name to export under (otherwise the name comes from the path).
#include "imaging/picturekind.h"
#include "pictures/exportname.h"
#include "pictures/picturenames.h"
#include "store/gbtext.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zarvo;
    const QByteArray bytes
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    const QString path = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));

    const QString name = pictureNameFromPath(path);
    check(gbLength(name) <= 20 && path.contains(name) && !name.contains(QLatin1Char('/')));

    const QString come = comeFromPath(path);
    check(gbLength(come) <= 150 && path.endsWith(come));
    check(come == path || gbLength(come) > 146); // a cut keeps all but at most one character

    const QString extension = extensionOfCome(come);
    check(extension.isEmpty()
        || (extension.startsWith(QLatin1Char('.'))
            && come.endsWith(extension, Qt::CaseInsensitive)));
    for (const QChar c : extension)
        check(c != u'/' && c != u'\\' && c != u':' && !(c >= u'A' && c <= u'Z'));
    const PictureFormat format = formatOfCome(come);
    check(format == PictureFormat::Other
        || (PictureKind::isShownExtension(extension)
            && extension == QLatin1String(PictureKind::ofCome(come).extension)));
    check(extensionOfCome(path) == extension || gbLength(path) >= 150);

    const QString exportName = split < 0 ? name : QString::fromUtf8(bytes.mid(split + 1));
    const QString file = exportFileName(exportName, come);
    if (!file.isEmpty()) {
        check(file == exportName + extension);
        check(!file.contains(QLatin1Char('/')) && !file.contains(QChar(0)));
        check(file != QLatin1String(".") && file != QLatin1String(".."));
    }
    return 0;
}
