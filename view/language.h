// SPDX-FileCopyrightText: 2026 Zarvo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace zarvo {

// The languages the program speaks. Its texts are written in Chinese; English comes from the
// translation embedded as ":/i18n/zarvo_en.qm".
enum class Language {
    Chinese,
    English,
};

// The language for a desktop whose languages, most preferred first, are `uiLanguages` (as
// QLocale::uiLanguages() gives them) and a ZARVO_LANGUAGE of `chosen` ("zh", "en" or any other
// language name, which goes before the desktop's; empty: none). The first of them that is
// Chinese or the plain C/POSIX locale gives Chinese, the first English gives English; languages
// without a translation of their own are passed over, and when none is left the answer is
// English. No language at all is the plain locale: Chinese.
Language languageFor(const QString& chosen, const QStringList& uiLanguages);

// Chooses the language from ZARVO_LANGUAGE and the desktop (QLocale::system(), which follows
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG) and installs its texts on the application, replacing
// what an earlier call installed. With `qtDialogs`, Qt's own dialogs (file dialogs, message box
// buttons) follow: Qt's Chinese translation for Chinese, Qt's own English otherwise. Call at
// start, once the application object exists and before any window or font is made.
Language installLanguage(bool qtDialogs);

// The language installed last; Chinese until installLanguage() runs.
Language currentLanguage();

// The resource path of the picture `name` ("about.png", "tad/1.png") in the program's language:
// ":/images/en/<name>" in English, ":/images/<name>" in Chinese. Only pictures with words in
// them have an English one.
QString languagePicture(const QString& name);

} // namespace zarvo
