#include "app/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace korvane {

namespace {

Language g_installed = Language::German;
QTranslator* g_translator = nullptr;

// The toolkit's own texts (message box buttons, the file chooser) in German
// when Debian's translations are installed; its English is its own.
std::unique_ptr<QTranslator> translatorFor(Language language)
{
    auto translator = std::make_unique<QTranslator>();
    const bool loaded = language == Language::English
                            ? translator->load(QStringLiteral(":/i18n/korvane_en.qm"))
                            : translator->load(QStringLiteral("qtbase_de"),
                                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return loaded ? std::move(translator) : nullptr;
}

} // namespace

std::optional<Language> languageSetting(const IniContents& stored)
{
    const QString value = stored.value(kLanguageSection, kLanguageKey).trimmed();
    if (value.compare(QLatin1String("Deutsch"), Qt::CaseInsensitive) == 0 ||
        value.compare(QLatin1String("de"), Qt::CaseInsensitive) == 0)
        return Language::German;
    if (value.compare(QLatin1String("English"), Qt::CaseInsensitive) == 0 ||
        value.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
        return Language::English;
    return std::nullopt;
}

QString languageSettingValue(Language language)
{
    return language == Language::English ? QStringLiteral("English") : QStringLiteral("Deutsch");
}

Language desktopLanguage(const QStringList& uiLanguages)
{
    if (uiLanguages.isEmpty())
        return Language::German;
    // "en", "en-GB", "en_US": English of any country.
    const QString first = uiLanguages.front();
    const bool english = first.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 ||
                         first.startsWith(QLatin1String("en-"), Qt::CaseInsensitive) ||
                         first.startsWith(QLatin1String("en_"), Qt::CaseInsensitive);
    return english ? Language::English : Language::German;
}

Language chosenLanguage(const IniContents& stored, const QStringList& uiLanguages)
{
    return languageSetting(stored).value_or(desktopLanguage(uiLanguages));
}

bool installLanguage(Language language)
{
    if (g_translator) {
        QCoreApplication::removeTranslator(g_translator);
        delete g_translator;
        g_translator = nullptr;
    }
    g_installed = Language::German;
    std::unique_ptr<QTranslator> translator = translatorFor(language);
    if (!translator || !QCoreApplication::installTranslator(translator.get()))
        return language == Language::German;
    g_translator = translator.release();
    g_installed = language;
    return true;
}

void installChosenLanguage()
{
    QString contents;
    iniReadContents(settingsFilePath(), contents);
    installLanguage(chosenLanguage(IniContents(contents), QLocale::system().uiLanguages()));
}

Language installedLanguage()
{
    return g_installed;
}

} // namespace korvane
