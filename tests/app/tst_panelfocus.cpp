// Under a real window manager (openbox on a private Xvfb), another program taking the focus
// closes the panel, and the tray click that took it does not open the panel again.
#include "app/panelwindow.h"
#include "panelfixture.h"
#include "platform/x11testsupport.h"

#include <QProcess>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

class PanelFocusTest : public QObject {
    Q_OBJECT
private slots:
    void closesWhenAnotherProgramTakesTheFocus()
    {
        tessary::test::PanelFixture fixture;
        tessary::PanelWindow panel(fixture.services());
        panel.open();
        QVERIFY(QTest::qWaitForWindowActive(panel.window()));
        QProcess other; // openbox gives a new window the focus
        other.start(QStringLiteral("xmessage"), {QStringLiteral("another program")});
        QTRY_VERIFY(!panel.isOpen());
        panel.toggle();
        QVERIFY(!panel.isOpen());
        other.kill();
        other.waitForFinished();
    }
};

int main(int argc, char **argv)
{
    tessary::testing::PrivateXServer server;
    QProcess wm; // openbox runs its startup command once it manages the screen
    wm.start(QStringLiteral("openbox"), {"--startup", "echo ready"});
    if (!server.isRunning() || !wm.waitForReadyRead(10000))
        qFatal("Xvfb or openbox did not start");
    QGuiApplication app(argc, argv);
    PanelFocusTest test;
    const int failed = QTest::qExec(&test, argc, argv);
    wm.terminate();
    wm.waitForFinished();
    return failed;
}

#include "tst_panelfocus.moc"
