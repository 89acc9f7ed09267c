#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace tessary {

// Where the installed catalogs of Tessary's texts are: found from the program's own directory,
// so an installation works under any prefix.
QString installedTranslationsDirectory();

// Installs into the application the catalog of Tessary's texts (from `directory`) and Qt's own
// for the first of `uiLanguages` (most preferred first, as QLocale::uiLanguages() gives them)
// that Tessary has texts for. English, the language the texts are written in, needs none.
// Returns the locale the texts are now shown in, in which times are to be told as well; when no
// language has a catalog, the first of `uiLanguages`.
QLocale installTranslations(const QStringList &uiLanguages, const QString &directory);

} // namespace tessary
