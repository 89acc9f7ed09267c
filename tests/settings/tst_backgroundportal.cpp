// The Background portal as the login item, against a fake portal on a private session bus.

#include "settings/backgroundportal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tessary;
using namespace std::chrono_literals;

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Answers RequestBackground like xdg-desktop-portal: a Request handle made from the caller's
// name and handle_token, then a Response signal on it.
class FakeBackgroundPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Background")

public:
    explicit FakeBackgroundPortal(QDBusConnection bus) : m_bus(std::move(bus)) {}

    enum class Order { ResponseFirst, ReplyFirst };
    std::optional<uint> response = 0; // nothing: never answers
    QVariantMap results;
    Order order = Order::ReplyFirst;
    QList<QVariantMap> requests;

public slots:
    QDBusObjectPath RequestBackground(const QString &parentWindow, const QVariantMap &options,
                                      const QDBusMessage &message)
    {
        Q_UNUSED(parentWindow);
        requests.append(options);
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString handle = kPath + QLatin1String("/request/") + sender + QLatin1Char('/') +
                               options.value(QStringLiteral("handle_token")).toString();
        QDBusMessage signal = QDBusMessage::createSignal(
            handle, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        signal << response.value_or(0) << results;
        if (response && order == Order::ResponseFirst)
            m_bus.send(signal);
        message.setDelayedReply(true);
        m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        if (response && order == Order::ReplyFirst)
            m_bus.send(signal);
        return {};
    }

private:
    QDBusConnection m_bus;
};

} // namespace

class TestBackgroundPortal : public QObject {
    Q_OBJECT

    QProcess m_daemon;
    QString m_address;
    std::unique_ptr<FakeBackgroundPortal> m_portal;
    std::unique_ptr<QTemporaryDir> m_home;
    int m_connections = 0;
    QString m_portalConnection;

    QDBusConnection connect(const QString &role)
    {
        return QDBusConnection::connectToBus(m_address, role + QString::number(++m_connections));
    }

    BackgroundPortal makeItem(std::chrono::milliseconds timeout = 5s)
    {
        return BackgroundPortal(connect(QStringLiteral("client")), timeout,
                                m_home->filePath(QStringLiteral("hidden/autostart/x.desktop")));
    }

private slots:
    void initTestCase()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        QVERIFY(m_daemon.waitForStarted());
        while (!m_daemon.canReadLine())
            QVERIFY(m_daemon.waitForReadyRead(5000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY(!m_address.isEmpty());
    }

    void cleanupTestCase()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }

    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QDBusConnection bus = connect(QStringLiteral("portal"));
        QVERIFY(bus.isConnected());
        m_portalConnection = bus.name();
        m_portal = std::make_unique<FakeBackgroundPortal>(bus);
        QVERIFY(bus.registerObject(kPath, m_portal.get(), QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(kService));
    }

    void cleanup()
    {
        // Dropping the connection releases the portal's name for the next test.
        QDBusConnection::disconnectFromBus(m_portalConnection);
        m_portal.reset();
    }

    void enableAndDisableThroughThePortal_data()
    {
        QTest::addColumn<FakeBackgroundPortal::Order>("order");
        QTest::newRow("reply, then response") << FakeBackgroundPortal::Order::ReplyFirst;
        QTest::newRow("response before reply") << FakeBackgroundPortal::Order::ResponseFirst;
    }

    void enableAndDisableThroughThePortal()
    {
        QFETCH(FakeBackgroundPortal::Order, order);
        m_portal->order = order;
        BackgroundPortal item = makeItem();
        QCOMPARE(item.status(), LoginItemStatus::Unknown);

        m_portal->results = {{QStringLiteral("background"), true},
                             {QStringLiteral("autostart"), true}};
        const LoginItemResult enabled = item.enable();
        QVERIFY2(enabled.ok(), qPrintable(enabled.error()));
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QCOMPARE(m_portal->requests.size(), 1);
        const QVariantMap request = m_portal->requests.first();
        QCOMPARE(request.value("autostart"), QVariant(true));
        QVERIFY(!request.value("handle_token").toString().isEmpty());
        QVERIFY(!request.value("reason").toString().isEmpty());

        m_portal->results = {{QStringLiteral("autostart"), false}};
        QVERIFY(item.disable().ok());
        QCOMPARE(m_portal->requests.last().value("autostart"), QVariant(false));
        QCOMPARE(item.status(), LoginItemStatus::NotRegistered);
    }

    void refusalsAreFailures_data()
    {
        QTest::addColumn<std::optional<uint>>("response");
        QTest::addColumn<bool>("granted");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("not allowed") << std::optional<uint>(0) << false << "did not allow";
        QTest::newRow("cancelled") << std::optional<uint>(1) << true << "cancelled";
        QTest::newRow("ended") << std::optional<uint>(2) << true << "response 2";
        QTest::newRow("no answer") << std::optional<uint>() << true << "no answer";
    }

    void refusalsAreFailures()
    {
        QFETCH(std::optional<uint>, response);
        QFETCH(bool, granted);
        QFETCH(QString, mentions);
        m_portal->response = response;
        m_portal->results = {{QStringLiteral("autostart"), granted}};
        BackgroundPortal item = makeItem(300ms);
        const LoginItemResult result = item.enable();
        QVERIFY(!result.ok());
        QVERIFY2(result.error().contains(mentions), qPrintable(result.error()));
        QCOMPARE(item.status(), LoginItemStatus::Unknown);
    }

    void missingPortalIsAFailure()
    {
        QVERIFY(QDBusConnection(m_portalConnection).unregisterService(kService));
        BackgroundPortal item = makeItem();
        const LoginItemResult result = item.enable();
        QVERIFY(!result.ok());
        QVERIFY2(result.error().contains("org.freedesktop.DBus.Error.ServiceUnknown"),
                 qPrintable(result.error()));
    }

    // When the sandbox may read the host's autostart folder, the portal's entry is the record.
    void hostEntryIsReadWhenVisible()
    {
        const QString entry = m_home->filePath(QStringLiteral("hidden/autostart/x.desktop"));
        QVERIFY(QDir().mkpath(QFileInfo(entry).path()));
        BackgroundPortal item = makeItem();
        QCOMPARE(item.status(), LoginItemStatus::NotRegistered);
        QFile file(entry);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nName=Tessary\n"
                   "Exec=flatpak run org.tessary.Tessary\nX-Flatpak=org.tessary.Tessary\n");
        file.close();
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
    }
};

QTEST_GUILESS_MAIN(TestBackgroundPortal)
#include "tst_backgroundportal.moc"
