// The tray icon as tray hosts see it, each in a process of its own (Qt picks the kind of tray
// once per process): "xembed", an XEmbed tray (trayer) on a private X server, and before it, no
// tray at all; "sni", a StatusNotifierItem host on a private session bus, whose part the test
// plays as a desktop's panel would, over D-Bus.
#include "app/trayicon.h"
#include "platform/x11testsupport.h"
#include "support/privatebus.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QIcon>
#include <QMutex>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QThread>
#include <xcb/xcb.h>

using namespace tessary;
using namespace Qt::StringLiterals;

namespace {

QStringList g_trayLines; // what the tray logs
QtMessageHandler g_testLog = nullptr;

void keepTrayLines(QtMsgType type, const QMessageLogContext &context, const QString &line)
{
    if (qstrcmp(context.category, "tessary.tray") == 0)
        g_trayLines << line;
    else if (g_testLog)
        g_testLog(type, context, line);
}

const QStringList kMenu = {u"Show Clipboard History"_s, u"Settings"_s, u"Quit"_s};

// The part of a desktop's panel that items register with.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_items;
    }

public slots:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message)
    {
        const QMutexLocker lock(&m_mutex);
        // Items name their bus service, or only their object path on the caller's connection.
        m_items << (service.startsWith(u'/') ? message.service() + service : service);
    }
    void RegisterStatusNotifierHost(const QString &) {}

private:
    mutable QMutex m_mutex;
    QStringList m_items;
};

// A D-Bus call answered while this thread's event loop runs (the item lives on this thread).
QDBusMessage callAndWait(QDBusConnection bus, const QDBusMessage &call)
{
    QDBusPendingCallWatcher watcher(bus.asyncCall(call));
    if (!QTest::qWaitFor([&watcher] { return watcher.isFinished(); }, 10000))
        return {};
    return watcher.reply();
}

// The labels and ids of a dbusmenu layout's children: (ia{sv}av).
QList<std::pair<int, QString>> menuRows(const QDBusArgument &layout)
{
    QList<std::pair<int, QString>> rows;
    int id = 0;
    QVariantMap properties;
    layout.beginStructure();
    layout >> id >> properties;
    layout.beginArray();
    while (!layout.atEnd()) {
        QDBusVariant child;
        layout >> child;
        const QDBusArgument row = child.variant().value<QDBusArgument>();
        int childId = 0;
        QVariantMap childProperties;
        row.beginStructure();
        row >> childId >> childProperties;
        row.endStructure();
        if (childProperties.value(u"type"_s).toString() != u"separator"_s)
            rows.append({childId, childProperties.value(u"label"_s).toString().remove(u'&')});
    }
    layout.endArray();
    layout.endStructure();
    return rows;
}

} // namespace

class TrayIconTest : public QObject {
    Q_OBJECT
public:
    QString host;
    QString busAddress;
    FakeWatcher *watcher = nullptr;

private slots:
    void init()
    {
        g_trayLines.clear();
        g_testLog = qInstallMessageHandler(keepTrayLines);
    }
    void cleanup() { qInstallMessageHandler(g_testLog); }

    // With no host of either kind, the icon cannot be seen: it says once how to open the panel.
    void saysHowToOpenThePanelWithoutATray()
    {
        if (host != u"xembed"_s)
            QSKIP("runs before the XEmbed tray starts");
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        TrayIcon tray;
        QCOMPARE(g_trayLines.size(), 1);
        QVERIFY2(g_trayLines[0].contains(u"No system tray"_s) &&
                     g_trayLines[0].contains(u"Run \"tessary\" again"_s),
                 qPrintable(g_trayLines[0]));
    }

    // An XEmbed tray: the icon sits in it; a click opens the panel, the right button the menu.
    void menuOnAnXEmbedTray()
    {
        if (host != u"xembed"_s)
            QSKIP("needs an XEmbed tray");
        QProcess trayer;
        trayer.start(u"trayer"_s, {u"--widthtype"_s, u"pixel"_s, u"--width"_s, u"200"_s});
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 10000);
        TrayIcon tray;
        QCOMPARE(g_trayLines.size(), 0);
        QRect icon;
        QTRY_VERIFY((icon = embeddedIconGeometry()).isValid());
        const QPoint centre = icon.center();
        QSignalSpy activated(&tray, &TrayIcon::activated);
        QVERIFY(click(centre, 1));
        QTRY_COMPARE(activated.size(), 1);
        // Where the panel goes: by the icon, wherever the tray has put it.
        QVERIFY(tray.geometry().contains(centre));

        QVERIFY(click(centre, 3));
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QStringList labels;
        for (QAction *action : menu->actions())
            if (!action->isSeparator())
                labels << action->text();
        QCOMPARE(labels, kMenu);
        QSignalSpy quit(&tray, &TrayIcon::quitRequested);
        QAction *quitAction = menu->actions().last();
        QVERIFY(click(menu->mapToGlobal(menu->actionGeometry(quitAction).center()), 1));
        QTRY_COMPARE(quit.size(), 1);
        trayer.terminate();
        trayer.waitForFinished();
    }

    // A StatusNotifierItem host: the item registers, names the symbolic icon (which hosts
    // recolour) and exports its menu, whose rows the host can click.
    void menuThroughAStatusNotifierHost()
    {
        if (host != u"sni"_s)
            QSKIP("needs a StatusNotifierItem host");
        TrayIcon tray;
        QCOMPARE(g_trayLines.size(), 0);
        QTRY_COMPARE(watcher->items().size(), 1);
        const QString item = watcher->items().first();
        QDBusConnection panel = QDBusConnection::connectToBus(busAddress, u"panel"_s);
        const auto property = [&](const QString &name) {
            QDBusMessage get = QDBusMessage::createMethodCall(
                item, u"/StatusNotifierItem"_s, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
            get << u"org.kde.StatusNotifierItem"_s << name;
            const QDBusMessage reply = callAndWait(panel, get);
            return reply.arguments().value(0).value<QDBusVariant>().variant();
        };
        QCOMPARE(property(u"IconName"_s).toString(),
                 QString::fromLatin1(TrayIcon::kSymbolicIconName));
        const QString menuPath = property(u"Menu"_s).value<QDBusObjectPath>().path();
        QVERIFY(!menuPath.isEmpty());

        QDBusMessage getLayout = QDBusMessage::createMethodCall(
            item, menuPath, u"com.canonical.dbusmenu"_s, u"GetLayout"_s);
        getLayout << 0 << -1 << QStringList();
        const QDBusMessage layout = callAndWait(panel, getLayout);
        QCOMPARE(layout.type(), QDBusMessage::ReplyMessage);
        const QList<std::pair<int, QString>> rows =
            menuRows(layout.arguments().value(1).value<QDBusArgument>());
        QStringList labels;
        for (const auto &row : rows)
            labels << row.second;
        QCOMPARE(labels, kMenu);

        QSignalSpy settings(&tray, &TrayIcon::settingsRequested);
        QDBusMessage clicked =
            QDBusMessage::createMethodCall(item, menuPath, u"com.canonical.dbusmenu"_s, u"Event"_s);
        clicked << rows[1].first << u"clicked"_s << QVariant::fromValue(QDBusVariant(0)) << 0u;
        callAndWait(panel, clicked);
        QTRY_COMPARE(settings.size(), 1);
    }

private:
    // Where the tray has put our icon's window, as the X server knows it.
    static QRect embeddedIconGeometry()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qstrcmp(widget->metaObject()->className(), "QSystemTrayIconSys") != 0 ||
                !widget->windowHandle())
                continue;
            auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
            xcb_connection_t *connection = x11->connection();
            const xcb_window_t window = widget->windowHandle()->winId();
            const xcb_window_t root =
                xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
            std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> origin(
                xcb_translate_coordinates_reply(
                    connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr),
                &std::free);
            if (origin && (origin->dst_x != 0 || origin->dst_y != 0))
                return QRect(origin->dst_x, origin->dst_y, widget->width(), widget->height());
        }
        return {};
    }

    // A click of the real pointer, where the tray host receives it.
    static bool click(QPoint at, int button)
    {
        return QProcess::execute(u"xdotool"_s,
                                 {u"mousemove"_s, QString::number(at.x()), QString::number(at.y()),
                                  u"click"_s, QString::number(button)}) == 0;
    }
};

int main(int argc, char **argv)
{
    // The first argument names the host: "xembed" or "sni".
    const QString host = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    testing::PrivateXServer server;
    testing::PrivateBus bus;
    if (!server.isRunning() || !bus.isRunning())
        qFatal("Xvfb or the session bus did not start");
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    QThread watcherThread;
    FakeWatcher watcher;
    if (host == u"sni"_s) {
        watcher.moveToThread(&watcherThread);
        watcherThread.start();
        QDBusConnection connection = QDBusConnection::connectToBus(bus.address(), u"watcher"_s);
        if (!connection.registerObject(u"/StatusNotifierWatcher"_s, &watcher,
                                       QDBusConnection::ExportAllSlots |
                                           QDBusConnection::ExportAllProperties) ||
            !connection.registerService(u"org.kde.StatusNotifierWatcher"_s))
            qFatal("cannot register the watcher");
    }
    QApplication app(argc, argv);
    // The symbolic icon as an installed theme would hold it.
    QIcon::setFallbackSearchPaths({QStringLiteral(TESSARY_ICON_DIR)});
    TrayIconTest test;
    test.host = host;
    test.busAddress = bus.address();
    test.watcher = &watcher;
    const int failed = QTest::qExec(&test, argc > 1 ? 1 : argc, argv);
    watcherThread.quit();
    watcherThread.wait();
    return failed;
}

#include "tst_trayicon.moc"
