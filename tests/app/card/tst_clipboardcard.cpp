#include "cardfixture.h"

#include <QQmlEngine>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

class Setup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine) { m_fixture.install(*engine); }

private:
    tessary::test::CardFixture m_fixture;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_clipboardcard, Setup)

#include "tst_clipboardcard.moc"
