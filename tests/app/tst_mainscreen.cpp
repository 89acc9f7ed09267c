// The panel's views under Qt Quick Test (qml/tst_*.qml), over an in-memory history.
#include "panelfixture.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

class Setup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        tessary::preparePanelEngine(*engine, m_fixture.services());
        engine->rootContext()->setContextProperty(QStringLiteral("fixture"), &m_fixture);
    }

private:
    tessary::test::PanelFixture m_fixture;
};

QUICK_TEST_MAIN_WITH_SETUP(mainscreen, Setup)
#include "tst_mainscreen.moc"
