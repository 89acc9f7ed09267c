// Which catalog a start loads for the user's languages, most preferred first, and which locale
// the times are then told in: always the language of the texts when Tessary has them.
#include "app/translations.h"

#include <QTest>
#include <QTranslator>

using namespace Qt::StringLiterals;

class TranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        for (QTranslator *catalog : qApp->findChildren<QTranslator *>()) {
            QCoreApplication::removeTranslator(catalog);
            delete catalog;
        }
    }

    void firstLanguageWithTexts_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<QString>("locale"); // what times are told in
        QTest::addColumn<QString>("quit");   // the footer's "Quit" as then shown

        QTest::newRow("German") << QStringList{u"de-DE"_s, u"de"_s} << u"de_DE"_s << u"Beenden"_s;
        QTest::newRow("Austrian German, by its language")
            << QStringList{u"de-AT"_s} << u"de_AT"_s << u"Beenden"_s;
        QTest::newRow("Canadian French") << QStringList{u"fr-CA"_s} << u"fr_CA"_s << u"Quitter"_s;
        QTest::newRow("Spanish") << QStringList{u"es-ES"_s} << u"es_ES"_s << u"Salir"_s;
        // The first language Tessary has texts in, and times in that one too.
        QTest::newRow("Italian, then German")
            << QStringList{u"it-IT"_s, u"de-DE"_s} << u"de_DE"_s << u"Beenden"_s;
        // English is what the texts are written in: a later language must not win over it.
        QTest::newRow("English, then German")
            << QStringList{u"en-GB"_s, u"de-DE"_s} << u"en_GB"_s << u"Quit"_s;
        // No texts in the language: English texts, and times still in the user's language.
        QTest::newRow("Italian only") << QStringList{u"it-IT"_s} << u"it_IT"_s << u"Quit"_s;
        QTest::newRow("no language") << QStringList{} << u"C"_s << u"Quit"_s;
    }

    void firstLanguageWithTexts()
    {
        QFETCH(QStringList, uiLanguages);
        QFETCH(QString, locale);
        QFETCH(QString, quit);
        const QLocale chosen =
            tessary::installTranslations(uiLanguages, QStringLiteral(TESSARY_TRANSLATIONS));
        QCOMPARE(chosen.name(), locale);
        QCOMPARE(QCoreApplication::translate("FooterBand", "Quit"), quit);
    }

    // French counts zero as one; German and Spanish do not.
    void pluralForms_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("files");

        QTest::newRow("German, one") << u"de-DE"_s << 1 << u"1 Datei"_s;
        QTest::newRow("German, none") << u"de-DE"_s << 0 << u"0 Dateien"_s;
        QTest::newRow("French, none") << u"fr-FR"_s << 0 << u"0 fichier"_s;
        QTest::newRow("French, two") << u"fr-FR"_s << 2 << u"2 fichiers"_s;
        QTest::newRow("Spanish, one") << u"es-ES"_s << 1 << u"1 archivo"_s;
        QTest::newRow("Spanish, many") << u"es-ES"_s << 12 << u"12 archivos"_s;
    }

    void pluralForms()
    {
        QFETCH(QString, language);
        QFETCH(int, count);
        QFETCH(QString, files);
        tessary::installTranslations({language}, QStringLiteral(TESSARY_TRANSLATIONS));
        QCOMPARE(QCoreApplication::translate("ClipboardCard", "%n file(s)", nullptr, count), files);
    }
};

QTEST_GUILESS_MAIN(TranslationsTest)
#include "tst_translations.moc"
