// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "app/helpdocument.h"

#include "store/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace zarvo {

HelpPlaces helpPlaces()
{
    return { QDir::currentPath(),
        QDir::cleanPath(QCoreApplication::applicationDirPath()
            + QStringLiteral("/../share/zarvo/help/index.html")),
        QStringLiteral(ZARVO_SOURCE_DIR "/doc/guide/index.html") };
}

QString chmHandler()
{
    QProcess xdgMime;
    xdgMime.start(QStringLiteral("xdg-mime"),
        { QStringLiteral("query"), QStringLiteral("default"),
            QStringLiteral("application/vnd.ms-htmlhelp") });
    // xdg-mime is a short shell script; a desktop that hangs it gets the guide instead.
    if (!xdgMime.waitForFinished(3000) || xdgMime.exitStatus() != QProcess::NormalExit
        || xdgMime.exitCode() != 0) {
        qCDebug(lcApp) << "xdg-mime names no program for help.chm:" << xdgMime.errorString();
        xdgMime.kill();
        xdgMime.waitForFinished(1000);
        return QString();
    }
    return QString::fromLocal8Bit(xdgMime.readAllStandardOutput()).trimmed();
}

QUrl helpDocument(const HelpPlaces& places, const std::function<QString()>& handlerOfChm)
{
    const QFileInfo chm(QDir(places.workingDir), QStringLiteral("help.chm"));
    if (chm.isFile() && !handlerOfChm().isEmpty())
        return QUrl::fromLocalFile(chm.absoluteFilePath());
    for (const QString& guide : { places.installedGuide, places.sourceGuide }) {
        if (!guide.isEmpty() && QFileInfo(guide).isFile())
            return QUrl::fromLocalFile(QFileInfo(guide).absoluteFilePath());
    }
    return QUrl();
}

} // namespace zarvo
