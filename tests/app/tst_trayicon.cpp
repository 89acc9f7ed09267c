// The tray icon as tray hosts see it, each in a process of its own (Qt picks the kind of tray
// once per process): "xembed", an XEmbed tray (trayer) on a private X server, and before it, no
// tray at all; "sni", a StatusNotifierItem host on a private session bus, whose part gdbus
// plays as a desktop's panel would.
#include "app/trayicon.h"
#include "fakestatusnotifierwatcher.h"
#include "platform/clientprocess.h"
#include "platform/x11testsupport.h"
#include "support/privatebus.h"

#include <QApplication>
#include <QIcon>
#include <QProcess>
#include <QRegularExpression>
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

} // namespace

class TrayIconTest : public QObject {
    Q_OBJECT
public:
    QString host;
    test::FakeStatusNotifierWatcher *watcher = nullptr;

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
        const qsizetype slash = item.indexOf(u'/');
        // The desktop's panel, played by a GLib client: gdbus's text of each answer.
        const auto call = [&](const QString &path, const QString &method,
                              const QStringList &arguments) {
            QStringList command = {u"call"_s, u"--session"_s, u"--dest"_s, item.left(slash)};
            // After "--", "-1" is an argument, not an option.
            command << u"--object-path"_s << path << u"--method"_s << method << u"--"_s;
            const auto reply = testing::runClient(u"gdbus"_s, command + arguments);
            return QString::fromUtf8(reply.value_or(QByteArray()));
        };
        const auto property = [&](const QString &name) {
            return call(item.mid(slash), u"org.freedesktop.DBus.Properties.Get"_s,
                        {u"org.kde.StatusNotifierItem"_s, name});
        };
        QCOMPARE(property(u"IconName"_s),
                 u"(<'%1'>,)\n"_s.arg(QLatin1String(TrayIcon::kSymbolicIconName)));
        const QString menu =
            QRegularExpression(u"'(/.*)'"_s).match(property(u"Menu"_s)).captured(1);
        QVERIFY(!menu.isEmpty());

        // The rows' ids and labels, separators left out: <(id, {... 'label': <'text'> ...}, [])>
        const QString layout =
            call(menu, u"com.canonical.dbusmenu.GetLayout"_s, {u"0"_s, u"-1"_s, u"@as []"_s});
        QStringList ids, labels;
        for (const auto &row : QRegularExpression(u"<\\((\\d+), \\{[^}]*'label': <'([^']*)'>"_s)
                                   .globalMatch(layout)) {
            ids << row.captured(1);
            labels << row.captured(2).remove(u'&');
        }
        QCOMPARE(labels, kMenu);

        QSignalSpy settings(&tray, &TrayIcon::settingsRequested);
        QCOMPARE(call(menu, u"com.canonical.dbusmenu.Event"_s,
                      {ids[1], u"clicked"_s, u"<0>"_s, u"uint32 0"_s}),
                 u"()\n"_s);
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
    test::FakeStatusNotifierWatcher watcher;
    if (host == u"sni"_s) {
        watcher.moveToThread(&watcherThread);
        watcherThread.start();
        if (!watcher.registerOn(QDBusConnection::connectToBus(bus.address(), u"watcher"_s)))
            qFatal("cannot register the watcher");
    }
    QApplication app(argc, argv);
    // The symbolic icon as an installed theme would hold it.
    QIcon::setFallbackSearchPaths({QStringLiteral(TESSARY_ICON_DIR)});
    TrayIconTest test;
    test.host = host;
    test.watcher = &watcher;
    const int failed = QTest::qExec(&test, argc > 1 ? 1 : argc, argv);
    watcherThread.quit();
    watcherThread.wait();
    return failed;
}

#include "tst_trayicon.moc"
