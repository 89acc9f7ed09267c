#include "translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace tessary {
namespace {

// Loads `name`_<language>.qm from `directory` and installs it for the application's lifetime.
bool installCatalog(const QLocale &locale, const QString &name, const QString &directory)
{
    auto catalog = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!catalog->load(locale, name, QStringLiteral("_"), directory))
        return false;
    return QCoreApplication::installTranslator(catalog.release());
}

} // namespace

QString installedTranslationsDirectory()
{
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral(TESSARY_TRANSLATIONS_FROM_BINDIR));
}

QLocale installTranslations(const QStringList &uiLanguages, const QString &directory)
{
    for (const QString &language : uiLanguages) {
        const QLocale locale(language);
        if (locale.language() == QLocale::English)
            return locale;
        if (!installCatalog(locale, QStringLiteral("tessary"), directory))
            continue;
        // Qt's own texts (the command line's headings and errors) are there when Debian's
        // qt6-translations-l10n is installed.
        installCatalog(locale, QStringLiteral("qt"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        return locale;
    }
    return QLocale(uiLanguages.value(0, QStringLiteral("C")));
}

} // namespace tessary
