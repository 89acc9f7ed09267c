// The panel on Wayland, against a headless sway: the real program, started as a Wayland client
// on a private session bus. Its tray icon is activated by a stand-in tray host, and it is
// launched again; each hands the panel its XDG activation token (read back from the program's
// Wayland protocol log). sway's IPC tells the window's app id, its shell and its focus.
#include "fakestatusnotifierwatcher.h"
#include "platform/clientprocess.h"
#include "platform/waylandtestsupport.h"
#include "support/privatebus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRasterWindow>
#include <QTemporaryDir>
#include <QTest>

using namespace tessary;
using namespace Qt::StringLiterals;

namespace {

// The node of sway's tree with this app id, or an empty object.
QJsonObject findApp(const QJsonObject &node, const QString &appId)
{
    if (node.value("app_id"_L1).toString() == appId)
        return node;
    for (const char *children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray()) {
            const QJsonObject found = findApp(child.toObject(), appId);
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace

class WaylandPanelTest : public QObject {
    Q_OBJECT
    testing::PrivateBus &m_bus;
    testing::PrivateCompositor &m_sway;

public:
    WaylandPanelTest(testing::PrivateBus &bus, testing::PrivateCompositor &sway)
        : m_bus(bus), m_sway(sway)
    {}

private:
    QTemporaryDir m_home;
    QProcess m_tessary;
    test::FakeStatusNotifierWatcher m_watcher;
    QDBusConnection m_trayBus{QString()};

    QProcessEnvironment tessaryEnvironment() const
    {
        QProcessEnvironment environment = m_sway.clientEnvironment();
        environment.remove(u"DISPLAY"_s);
        environment.insert(u"XDG_SESSION_TYPE"_s, u"wayland"_s);
        environment.insert(u"QT_QPA_PLATFORM"_s, u"wayland"_s);
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, m_bus.address());
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_home.filePath(u"runtime"_s));
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        return environment;
    }

    // sway's window for the app id, once it exists; an empty object when there is none.
    QJsonObject swayWindow() const
    {
        const QStringList ipc = QFileInfo(QFile::decodeName(m_sway.socket()))
                                    .dir()
                                    .entryList({u"sway-ipc.*"_s}, QDir::System);
        if (ipc.isEmpty())
            return {};
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"SWAYSOCK"_s,
                           QFileInfo(QFile::decodeName(m_sway.socket())).dir().filePath(ipc[0]));
        const auto tree =
            testing::runClient(u"swaymsg"_s, {u"-t"_s, u"get_tree"_s}, {}, 10000, environment);
        return tree ? findApp(QJsonDocument::fromJson(*tree).object(), u"org.tessary.Tessary"_s)
                    : QJsonObject();
    }

    QByteArray protocolLog() const
    {
        QFile log(m_home.filePath(u"wayland.log"_s));
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_bus.isRunning() && m_sway.isRunning());
        QVERIFY(QDir(m_home.path()).mkpath(u"runtime"_s));
        QFile::setPermissions(m_home.filePath(u"runtime"_s), QFileDevice::ReadOwner |
                                                                 QFileDevice::WriteOwner |
                                                                 QFileDevice::ExeOwner);
        m_trayBus = m_bus.connect();
        QVERIFY(m_watcher.registerOn(m_trayBus));

        QProcessEnvironment environment = tessaryEnvironment();
        environment.insert(u"WAYLAND_DEBUG"_s, u"client"_s);
        m_tessary.setProcessEnvironment(environment);
        m_tessary.setStandardErrorFile(m_home.filePath(u"wayland.log"_s));
        m_tessary.start(QStringLiteral(TESSARY_BINARY), {});
        QVERIFY(m_tessary.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!m_watcher.items().isEmpty(), 20000);
    }

    void cleanupTestCase()
    {
        m_tessary.terminate();
        m_tessary.waitForFinished(10000);
    }

    void theTrayOpensAWaylandWindowThatTakesTheFocus()
    {
        const QString item = m_watcher.items().first();
        const qsizetype slash = item.indexOf(u'/');
        const auto call = [&](const QString &method, const QVariantList &arguments) {
            QDBusMessage message = QDBusMessage::createMethodCall(
                item.left(slash), item.mid(slash), u"org.kde.StatusNotifierItem"_s, method);
            message.setArguments(arguments);
            return m_trayBus.call(message).type() != QDBusMessage::ErrorMessage;
        };
        // As a Wayland tray host does: the token of the click, then the activation.
        QVERIFY(call(u"ProvideXdgActivationToken"_s, {u"token-from-the-tray"_s}));
        QVERIFY(call(u"Activate"_s, {0, 0}));
        QTRY_VERIFY_WITH_TIMEOUT(swayWindow().value("focused"_L1).toBool(), 20000);
        const QJsonObject window = swayWindow();
        QCOMPARE(window.value("shell"_L1).toString(), u"xdg_shell"_s); // not through XWayland
        QTRY_VERIFY(protocolLog().contains(".activate(\"token-from-the-tray\""));
    }

    void focusLeavingClosesThePanel()
    {
        QTRY_VERIFY(!swayWindow().isEmpty());
        QRasterWindow other; // sway gives a new window the focus
        other.resize(200, 100);
        other.show();
        QTRY_VERIFY_WITH_TIMEOUT(swayWindow().isEmpty(), 20000);
    }

    void aSecondLaunchHandsOnItsToken()
    {
        QProcessEnvironment environment = tessaryEnvironment();
        environment.insert(u"XDG_ACTIVATION_TOKEN"_s, u"token-of-the-launch"_s);
        QVERIFY(testing::runClient(QStringLiteral(TESSARY_BINARY), {}, {}, 20000, environment));
        QTRY_VERIFY_WITH_TIMEOUT(swayWindow().value("focused"_L1).toBool(), 20000);
        QTRY_VERIFY(protocolLog().contains(".activate(\"token-of-the-launch\""));
    }
};

int main(int argc, char **argv)
{
    // The compositor first: this process shows a window on it too.
    testing::PrivateBus bus;
    testing::PrivateCompositor sway(testing::PrivateCompositor::Kind::Sway);
    if (!sway.isRunning())
        qFatal("sway did not start");
    qputenv("WAYLAND_DISPLAY", sway.socket());
    qputenv("QT_QPA_PLATFORM", "wayland");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QGuiApplication app(argc, argv);
    WaylandPanelTest test(bus, sway);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_waylandpanel.moc"
