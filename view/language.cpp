// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#include "view/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zarvo {

namespace {

Language g_language = Language::Chinese;

} // namespace

Language languageFor(const QString& chosen, const QStringList& uiLanguages)
{
    QStringList languages = uiLanguages;
    if (!chosen.isEmpty())
        languages.prepend(chosen);
    if (languages.isEmpty())
        return Language::Chinese;
    for (const QString& name : std::as_const(languages)) {
        if (name == QLatin1String("C") || name == QLatin1String("POSIX"))
            return Language::Chinese;
        // "zh-Hant-TW", "zh_CN", "en-GB": the language is the part before the first separator.
        const QString language
            = name.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        if (language == QLatin1String("zh"))
            return Language::Chinese;
        if (language == QLatin1String("en"))
            return Language::English;
    }
    return Language::English;
}

Language installLanguage(bool qtDialogs)
{
    static QTranslator program;
    static QTranslator qt;
    QCoreApplication::removeTranslator(&program);
    QCoreApplication::removeTranslator(&qt);
    g_language
        = languageFor(qEnvironmentVariable("ZARVO_LANGUAGE"), QLocale::system().uiLanguages());
    if (g_language == Language::English) {
        // Compiled into the program; should it ever be missing, the texts stay Chinese and
        // so does everything that goes with them.
        if (program.load(QStringLiteral(":/i18n/zarvo_en.qm")))
            QCoreApplication::installTranslator(&program);
        else
            g_language = Language::Chinese;
    }
    if (g_language == Language::Chinese && qtDialogs
        && qt.load(
            QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt);
    return g_language;
}

Language currentLanguage()
{
    return g_language;
}

QString languagePicture(const QString& name)
{
    return (currentLanguage() == Language::English ? QStringLiteral(":/images/en/")
                                                   : QStringLiteral(":/images/"))
        + name;
}

} // namespace zarvo
