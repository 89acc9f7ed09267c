// The panel's views under Qt Quick Test (qml/tst_*.qml), over an in-memory history.
#include "panelfixture.h"

#include <QQmlEngine>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

class Setup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine) { m_fixture.install(*engine); }

private:
    tessary::test::PanelFixture m_fixture;
};

QUICK_TEST_MAIN_WITH_SETUP(mainscreen, Setup)
#include "tst_mainscreen.moc"
