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
        QDir::cleanPath(
            QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zarvo/help")),
        QStringLiteral(ZARVO_SOURCE_DIR "/doc/guide") };
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

QUrl helpDocument(
    const HelpPlaces& places, Language language, const std::function<QString()>& handlerOfChm)
{
    const QFileInfo chm(QDir(places.workingDir), QStringLiteral("help.chm"));
    if (chm.isFile() && !handlerOfChm().isEmpty())
        return QUrl::fromLocalFile(chm.absoluteFilePath());
    // The Chinese guide is the guide's top folder; a translated one lies in a folder named by
    // its language.
    QStringList pages;
    if (language == Language::English)
        pages << QStringLiteral("en/index.html");
    pages << QStringLiteral("index.html");
    for (const QString& guide : { places.installedGuide, places.sourceGuide }) {
        if (guide.isEmpty())
            continue;
        for (const QString& page : std::as_const(pages)) {
            const QFileInfo index(QDir(guide), page);
            if (index.isFile())
                return QUrl::fromLocalFile(index.absoluteFilePath());
        }
    }
    return QUrl();
}

} // namespace zarvo
