// The Background portal as the login item, against a fake portal on a private session bus.

#include "settings/backgroundportal.h"
#include "support/privatebus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTemporaryDir>
#include <QTest>

using namespace tessary;
using namespace std::chrono_literals;

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Answers like xdg-desktop-portal: a Request handle made from the caller's name and handle_token,
// and a Response signal on it, which may arrive before the reply.
class FakeBackgroundPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Background")

public:
    QDBusConnection bus{QString()};
    int response = 0; // below 0: never answers
    bool responseFirst = false;
    QVariantMap results, request;

public slots:
    QDBusObjectPath RequestBackground(const QString &, const QVariantMap &options,
                                      const QDBusMessage &message)
    {
        request = options;
        const QString handle = kPath + "/request/" + message.service().mid(1).replace('.', '_') +
                               '/' + options.value("handle_token").toString();
        QDBusMessage signal =
            QDBusMessage::createSignal(handle, "org.freedesktop.portal.Request", "Response");
        signal << uint(response) << results;
        if (response >= 0 && responseFirst)
            bus.send(signal);
        message.setDelayedReply(true);
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        if (response >= 0 && !responseFirst)
            bus.send(signal);
        return {};
    }
};

} // namespace

class TestBackgroundPortal : public QObject {
    Q_OBJECT

    testing::PrivateBus m_bus;
    std::unique_ptr<FakeBackgroundPortal> m_portal;
    QTemporaryDir m_home;

    QDBusConnection connect() { return m_bus.connect(); }

    BackgroundPortal makeItem(std::chrono::milliseconds timeout = 5s)
    {
        return BackgroundPortal(connect(), timeout, m_home.filePath("host/autostart/x.desktop"));
    }

private slots:
    void initTestCase() { QVERIFY(m_bus.isRunning()); }

    void init()
    {
        m_portal = std::make_unique<FakeBackgroundPortal>();
        m_portal->bus = connect();
        QVERIFY(
            m_portal->bus.registerObject(kPath, m_portal.get(), QDBusConnection::ExportAllSlots));
        QVERIFY(m_portal->bus.registerService(kService));
    }

    // Dropping the connection releases the portal's name for the next test.
    void cleanup() { QDBusConnection::disconnectFromBus(m_portal->bus.name()); }

    void enableAndDisableThroughThePortal_data()
    {
        QTest::addColumn<bool>("responseFirst");
        QTest::newRow("reply, then response") << false;
        QTest::newRow("response before reply") << true;
    }

    void enableAndDisableThroughThePortal()
    {
        QFETCH(bool, responseFirst);
        m_portal->responseFirst = responseFirst;
        BackgroundPortal item = makeItem();
        QCOMPARE(item.status(), LoginItemStatus::Unknown);

        m_portal->results = {{"background", true}, {"autostart", true}};
        const LoginItemResult enabled = item.enable();
        QVERIFY2(enabled.ok(), qPrintable(enabled.error()));
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QCOMPARE(m_portal->request.value("autostart"), QVariant(true));

        m_portal->results = {{"autostart", false}};
        QVERIFY(item.disable().ok());
        QCOMPARE(m_portal->request.value("autostart"), QVariant(false));
        QCOMPARE(item.status(), LoginItemStatus::NotRegistered);
    }

    void refusalsAreFailures_data()
    {
        QTest::addColumn<int>("response");
        QTest::addColumn<bool>("granted");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("not allowed") << 0 << false << "did not allow";
        QTest::newRow("cancelled") << 1 << true << "cancelled";
        QTest::newRow("no answer") << -1 << true << "no answer";
        QTest::newRow("no portal") << 0 << true << ".ServiceUnknown";
    }

    void refusalsAreFailures()
    {
        QFETCH(int, response);
        QFETCH(bool, granted);
        QFETCH(QString, mentions);
        if (mentions == ".ServiceUnknown")
            QVERIFY(m_portal->bus.unregisterService(kService));
        m_portal->response = response;
        m_portal->results = {{"autostart", granted}};
        BackgroundPortal item = makeItem(300ms);
        const QString error = item.enable().error();
        QVERIFY2(error.contains(mentions), qPrintable(error));
        QCOMPARE(item.status(), LoginItemStatus::Unknown);
    }
};

QTEST_GUILESS_MAIN(TestBackgroundPortal)
#include "tst_backgroundportal.moc"
