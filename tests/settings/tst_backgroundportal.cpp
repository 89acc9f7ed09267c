// The Background portal as the login item, against a fake portal on a private session bus.

#include "settings/backgroundportal.h"
#include "support/fakeportal.h"
#include "support/privatebus.h"

#include <QDBusConnection>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

using namespace tessary;
using namespace std::chrono_literals;

class TestBackgroundPortal : public QObject {
    Q_OBJECT

    testing::PrivateBus m_bus;
    std::unique_ptr<testing::FakeBackgroundPortal> m_portal;
    QTemporaryDir m_home;

    QDBusConnection connect() { return m_bus.connect(); }

    std::unique_ptr<BackgroundPortal> makeItem(std::chrono::milliseconds timeout = 5s)
    {
        return std::make_unique<BackgroundPortal>(connect(), timeout,
                                                  m_home.filePath("host/autostart/x.desktop"));
    }

    // Asks and waits for the answer, which never comes before the call returns.
    static LoginItemResult ask(BackgroundPortal &item, bool autostart)
    {
        std::optional<LoginItemResult> answer;
        const auto connection =
            QObject::connect(&item, &LoginItem::finished,
                             [&answer](const LoginItemResult &result) { answer = result; });
        item.request(autostart);
        const bool waited = !answer && QTest::qWaitFor([&answer] { return answer.has_value(); });
        QObject::disconnect(connection);
        return waited ? *answer : LoginItemResult::failure("answered before the request returned");
    }

private slots:
    void initTestCase() { QVERIFY(m_bus.isRunning()); }

    void init()
    {
        m_portal = std::make_unique<testing::FakeBackgroundPortal>(connect());
        QVERIFY(m_portal->isRegistered());
    }

    void cleanup() { m_portal.reset(); }

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
        const auto item = makeItem();
        QCOMPARE(item->status(), LoginItemStatus::Unknown);

        m_portal->results = {{"background", true}, {"autostart", true}};
        const LoginItemResult enabled = ask(*item, true);
        QVERIFY2(enabled.ok(), qPrintable(enabled.error()));
        QCOMPARE(item->status(), LoginItemStatus::Enabled);
        QCOMPARE(m_portal->request.value("autostart"), QVariant(true));

        m_portal->results = {{"autostart", false}};
        QVERIFY(ask(*item, false).ok());
        QCOMPARE(m_portal->request.value("autostart"), QVariant(false));
        QCOMPARE(item->status(), LoginItemStatus::NotRegistered);
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
            m_portal->unregister();
        m_portal->response = response;
        m_portal->results = {{"autostart", granted}};
        const auto item = makeItem(300ms);
        const QString error = ask(*item, true).error();
        QVERIFY2(error.contains(mentions), qPrintable(error));
        QCOMPARE(item->status(), LoginItemStatus::Unknown);
    }
};

QTEST_GUILESS_MAIN(TestBackgroundPortal)
#include "tst_backgroundportal.moc"
