// The panel in a German session, under Qt Quick Test (translated/tst_*.qml): the catalogs are
// chosen as a start chooses them, and times are told in the language they chose.
#include "app/translations.h"
#include "panelfixture.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>
#include <optional>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

class Setup : public QObject {
    Q_OBJECT
public slots:
    void applicationAvailable()
    {
        QLocale::setDefault(tessary::installTranslations({QStringLiteral("de-DE")},
                                                         QStringLiteral(TESSARY_TRANSLATIONS)));
    }

    void qmlEngineAvailable(QQmlEngine *engine)
    {
        m_fixture.emplace(nullptr, QLocale());
        tessary::preparePanelEngine(*engine, m_fixture->services());
        engine->rootContext()->setContextProperty(QStringLiteral("fixture"), &*m_fixture);
    }

private:
    std::optional<tessary::test::PanelFixture> m_fixture;
};

QUICK_TEST_MAIN_WITH_SETUP(translatedpanel, Setup)
#include "tst_translatedpanel.moc"
