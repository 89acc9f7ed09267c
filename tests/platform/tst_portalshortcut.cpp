// The global shortcut through the GlobalShortcuts portal, against a fake portal on a private
// session bus: binding, presses, refusals, a changed binding, and no portal at all.
#include "platform/shortcuts/globalshortcut.h"
#include "platform/shortcuts/portalshortcut.h"
#include "support/fakeportal.h"
#include "support/privatebus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tessary;

namespace {

using testing::kPortalPath;
using testing::kPortalService;
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// Answers like xdg-desktop-portal, the Response signal right after the reply.
class FakeShortcutsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)

public:
    QDBusConnection bus{QString()};
    uint interfaceVersion = 2;
    uint sessionResponse = 0;
    uint bindResponse = 0;
    bool bindNothing = false; // answers success with no shortcut bound
    QString session;
    QList<PortalShortcutEntry> asked;
    QStringList configured; // activation tokens ConfigureShortcuts was given

    uint version() const { return interfaceVersion; }

    void activate(const QString &sessionHandle, const QString &token)
    {
        QDBusMessage signal = QDBusMessage::createSignal(kPortalPath, kInterface, "Activated");
        signal << QVariant::fromValue(QDBusObjectPath(sessionHandle)) << "open-panel"
               << qulonglong(42) << QVariantMap{{"activation_token", token}};
        bus.send(signal);
    }

    void changeTrigger(const QString &description)
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(kPortalPath, kInterface, "ShortcutsChanged");
        signal << QVariant::fromValue(QDBusObjectPath(session))
               << QVariant::fromValue(QList<PortalShortcutEntry>{
                      {"open-panel", {{"trigger_description", description}}}});
        bus.send(signal);
    }

public slots:
    QDBusObjectPath CreateSession(const QVariantMap &options, const QDBusMessage &message)
    {
        session = testing::portalHandle(message, "session",
                                        options.value("session_handle_token").toString());
        return testing::respondToPortalRequest(this, bus, message, options, sessionResponse,
                                               {{"session_handle", session}});
    }

    QDBusObjectPath BindShortcuts(const QDBusObjectPath &,
                                  const QList<tessary::PortalShortcutEntry> &shortcuts,
                                  const QString &, const QVariantMap &options,
                                  const QDBusMessage &message)
    {
        asked = shortcuts;
        QList<PortalShortcutEntry> bound;
        if (!bindNothing)
            bound.append({"open-panel",
                          {{"description", "Open"}, {"trigger_description", "Super+Shift+V"}}});
        return testing::respondToPortalRequest(this, bus, message, options, bindResponse,
                                               {{"shortcuts", QVariant::fromValue(bound)}});
    }

    void ConfigureShortcuts(const QDBusObjectPath &, const QString &, const QVariantMap &options)
    {
        configured.append(options.value("activation_token").toString());
    }
};

// A portal without the GlobalShortcuts interface (GNOME before 48, wlroots' portal).
class OtherPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
};

} // namespace

class PortalShortcutTest : public QObject {
    Q_OBJECT

    testing::PrivateBus m_bus;
    std::unique_ptr<FakeShortcutsPortal> m_portal;
    QTemporaryDir m_dir;

    QDBusConnection connect() { return m_bus.connect(); }

    std::unique_ptr<GlobalShortcut> startShortcut(bool x11Session = false)
    {
        auto shortcut = std::make_unique<GlobalShortcut>(GlobalShortcut::Options{
            connect(), x11Session, "no display", m_dir.filePath("tessary.conf")});
        shortcut->start();
        return shortcut;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_bus.isRunning());
        qDBusRegisterMetaType<PortalShortcutEntry>();
        qDBusRegisterMetaType<QList<PortalShortcutEntry>>();
    }

    void init()
    {
        m_portal = std::make_unique<FakeShortcutsPortal>();
        m_portal->bus = connect();
        QVERIFY(m_portal->bus.registerObject(kPortalPath, m_portal.get(),
                                             QDBusConnection::ExportAllSlots |
                                                 QDBusConnection::ExportAllProperties));
        QVERIFY(m_portal->bus.registerService(kPortalService));
    }

    // Dropping the connection releases the portal's name for the next test.
    void cleanup() { QDBusConnection::disconnectFromBus(m_portal->bus.name()); }

    void bindsAtStartAndOpensOnActivation()
    {
        auto shortcut = startShortcut();
        QTRY_COMPARE(shortcut->keys(), QStringLiteral("Super+Shift+V"));
        QCOMPARE(shortcut->method(), GlobalShortcut::Method::Portal);
        QVERIFY(shortcut->problem().isEmpty() && !shortcut->isRecordable());
        QCOMPARE(m_portal->asked.size(), 1);
        QCOMPARE(m_portal->asked[0].id, QStringLiteral("open-panel"));
        QCOMPARE(m_portal->asked[0].properties.value("preferred_trigger"),
                 QVariant(QStringLiteral("SHIFT+LOGO+v")));
        QVERIFY(!m_portal->asked[0].properties.value("description").toString().isEmpty());

        QSignalSpy activated(shortcut.get(), &GlobalShortcut::activated);
        m_portal->activate(kPortalPath + "/session/other/x", "not ours"); // another session's
        m_portal->activate(m_portal->session, "token-1");
        QTRY_COMPARE(activated.size(), 1);
        QCOMPARE(activated.at(0).at(0).toString(), QStringLiteral("token-1"));

        // Changed in the desktop's settings: the row follows.
        m_portal->changeTrigger("Ctrl+Alt+V");
        QTRY_COMPARE(shortcut->keys(), QStringLiteral("Ctrl+Alt+V"));
    }

    void changedInThePortalsDialogWhereItHasOne_data()
    {
        QTest::addColumn<uint>("version");
        QTest::newRow("version 1: no dialog") << 1u;
        QTest::newRow("version 2: ConfigureShortcuts") << 2u;
    }

    void changedInThePortalsDialogWhereItHasOne()
    {
        QFETCH(uint, version);
        m_portal->interfaceVersion = version;
        auto shortcut = startShortcut();
        QTRY_VERIFY(!shortcut->keys().isEmpty());
        QCOMPARE(shortcut->isConfigurable(), version >= 2);
        shortcut->configure();
        if (version >= 2)
            QTRY_COMPARE(m_portal->configured.size(), 1);
        else
            QCOMPARE(m_portal->configured.size(), 0);
    }

    void refusalsSayWhyAndChangeNothingElse_data()
    {
        QTest::addColumn<uint>("sessionResponse");
        QTest::addColumn<uint>("bindResponse");
        QTest::addColumn<bool>("bindNothing");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("session declined") << 2u << 0u << false << "session";
        QTest::newRow("cancelled in the dialog") << 0u << 1u << false << "declined";
        QTest::newRow("ended by the desktop") << 0u << 2u << false << "did not bind";
        QTest::newRow("nothing bound") << 0u << 0u << true << "did not bind";
    }

    void refusalsSayWhyAndChangeNothingElse()
    {
        QFETCH(uint, sessionResponse);
        QFETCH(uint, bindResponse);
        QFETCH(bool, bindNothing);
        QFETCH(QString, mentions);
        m_portal->sessionResponse = sessionResponse;
        m_portal->bindResponse = bindResponse;
        m_portal->bindNothing = bindNothing;
        auto shortcut = startShortcut(true);
        QTRY_VERIFY(!shortcut->problem().isEmpty());
        QVERIFY2(shortcut->problem().contains(mentions), qPrintable(shortcut->problem()));
        // Refused by the portal is not a reason to grab keys behind the desktop's back.
        QCOMPARE(shortcut->method(), GlobalShortcut::Method::Portal);
        QVERIFY(shortcut->keys().isEmpty());
    }

    void withoutThePortalTheSessionDecides_data()
    {
        QTest::addColumn<bool>("portalRuns");
        QTest::addColumn<bool>("x11Session");
        QTest::addColumn<GlobalShortcut::Method>("method");
        QTest::newRow("no portal, Wayland") << false << false << GlobalShortcut::Method::Compositor;
        QTest::newRow("no portal, X11") << false << true << GlobalShortcut::Method::KeyGrab;
        QTest::newRow("a portal without shortcuts, Wayland")
            << true << false << GlobalShortcut::Method::Compositor;
    }

    void withoutThePortalTheSessionDecides()
    {
        QFETCH(bool, portalRuns);
        QFETCH(bool, x11Session);
        QFETCH(GlobalShortcut::Method, method);
        QVERIFY(m_portal->bus.unregisterService(kPortalService));
        OtherPortal other;
        QDBusConnection otherBus = connect();
        if (portalRuns) {
            QVERIFY(otherBus.registerObject(kPortalPath, &other, QDBusConnection::ExportAllSlots));
            QVERIFY(otherBus.registerService(kPortalService));
        }
        auto shortcut = startShortcut(x11Session);
        QTRY_COMPARE(shortcut->method(), method);
        if (method == GlobalShortcut::Method::Compositor)
            QVERIFY(shortcut->keys().isEmpty() && shortcut->problem().isEmpty());
        else // there is no X display in this test: the grab says so
            QVERIFY2(shortcut->problem().contains("display"), qPrintable(shortcut->problem()));
        QDBusConnection::disconnectFromBus(otherBus.name());
    }
};

QTEST_GUILESS_MAIN(PortalShortcutTest)
#include "tst_portalshortcut.moc"
