#pragma once

#include "app/IniFile.h"

#include <QString>
#include <QStringList>

#include <optional>

// The language of the window: German, the language the texts are written in,
// or English when the desktop speaks English. Korvane.ini's section
// "Sprache", key "Sprache" ("Deutsch" or "English") may force either.
namespace korvane {

enum class Language { German, English };

inline const QString kLanguageSection = QStringLiteral("Sprache");
inline const QString kLanguageKey = QStringLiteral("Sprache");

// The language forced by the settings file; nothing when it leaves the
// choice to the desktop (no key, or a value it does not know).
std::optional<Language> languageSetting(const IniContents& stored);
// The value that forces `language`, as written into the settings file.
QString languageSettingValue(Language language);
// English when the desktop's first language is English, else German.
// `uiLanguages`: the desktop's languages in order (QLocale::uiLanguages()).
Language desktopLanguage(const QStringList& uiLanguages);
Language chosenLanguage(const IniContents& stored, const QStringList& uiLanguages);
// The language for this desktop and settings file, installed.
void installChosenLanguage();

// Installs the texts of `language` for everything shown from now on, in
// place of those installed before. German loads only the toolkit's German
// texts (its own are those of the program); English loads Korvane's English
// texts. False when the English texts cannot be loaded (the window then
// stays German).
bool installLanguage(Language language);
// The language installed last (German until one is).
Language installedLanguage();

} // namespace korvane
