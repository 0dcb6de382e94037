// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "support/heiftools.h"

#include "support/testpictures.h"

#include <QTemporaryDir>

namespace zarvo::testpictures {

QByteArray encodeWithTool(const QString& program, const QStringList& arguments, const QImage& image,
    const QString& outputSuffix, QString* error)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.png"));
    const QString output = dir.filePath(QStringLiteral("out") + outputSuffix);
    if (!dir.isValid() || !image.save(input, "PNG")) {
        if (error)
            *error = QStringLiteral("cannot write the input picture");
        return {};
    }
    if (!runTool(program, arguments + QStringList { input, output }, error))
        return {};
    return readFile(output);
}

QByteArray encodeHeic(const QImage& image, int quality, int thumbnail)
{
    QStringList arguments { QStringLiteral("-q"), QString::number(quality), QStringLiteral("-p"),
        QStringLiteral("preset=ultrafast") };
    if (thumbnail > 0)
        arguments << QStringLiteral("-t") << QString::number(thumbnail);
    arguments << QStringLiteral("-o");
    // heif-enc takes the output after -o and the input before it; encodeWithTool puts the input
    // first, so the order is turned round here.
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.png"));
    const QString output = dir.filePath(QStringLiteral("out.heic"));
    if (!dir.isValid() || !image.save(input, "PNG")
        || !runTool(QStringLiteral("heif-enc"), arguments + QStringList { output, input }, nullptr))
        return {};
    return readFile(output);
}

QByteArray encodeAvif(const QImage& image, const QStringList& arguments)
{
    return encodeWithTool(QStringLiteral("avifenc"),
        QStringList {
            QStringLiteral("-s"), QStringLiteral("10"), QStringLiteral("-j"), QStringLiteral("1") }
            + arguments,
        image, QStringLiteral(".avif"));
}

QByteArray withExifOrientation(const QByteArray& file, const QString& suffix, int orientation)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture") + suffix);
    if (!dir.isValid() || !writeFile(path, file)
        || !runTool(QStringLiteral("exiftool"),
            { QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                QStringLiteral("-Orientation#=%1").arg(orientation), path },
            nullptr))
        return {};
    return readFile(path);
}

QImage referenceDecode(const QByteArray& file, const QString& suffix)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("picture") + suffix);
    const QString output = dir.filePath(QStringLiteral("decoded.png"));
    if (!dir.isValid() || !writeFile(input, file))
        return {};
    const bool heif = suffix != QStringLiteral(".avif");
    const QStringList arguments = heif ? QStringList { QStringLiteral("--quiet"), input, output }
                                       : QStringList { input, output };
    if (!runTool(
            heif ? QStringLiteral("heif-convert") : QStringLiteral("avifdec"), arguments, nullptr))
        return {};
    QImage image(output);
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace zarvo::testpictures
