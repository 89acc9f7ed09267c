// Under a real window manager (openbox on a private Xvfb): another program taking the focus
// closes the panel, and the tray click that took it does not open the panel again; the previewer
// borrows the focus and gives it back; the global shortcut, pressed with xdotool while another
// program has the focus, opens the panel at the pointer with the focus and the newest entry
// marked, so that Enter copies it. Without a compositor the panel is square and framed, with one
// it has round corners.
#include "app/application.h"
#include "app/panelwindow.h"
#include "core/monitor.h"
#include "panelfixture.h"
#include "platform/clientprocess.h"
#include "platform/memory/memorypasteboard.h"
#include "platform/shortcuts/globalshortcut.h"
#include "platform/x11/xcbsupport.h"
#include "platform/x11testsupport.h"
#include "preview/previewwindow.h"
#include "support/countingsound.h"
#include "support/privatebus.h"

#include <QApplication>
#include <QProcess>
#include <QQuickView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;

namespace {

// A key or pointer action on the real devices: it goes to whichever window has the focus.
bool xdotool(const QStringList &arguments)
{
    return testing::runClient(QStringLiteral("xdotool"), arguments).has_value();
}

} // namespace

class PanelFocusTest : public QObject {
    Q_OBJECT
private slots:
    void theShortcutOpensAtThePointerReadyForEnter()
    {
        auto owned = std::make_unique<MemoryPasteboard>();
        MemoryPasteboard &clipboard = *owned;
        Application tessary(std::move(owned), std::make_unique<testing::CountingSound>(),
                            {ClipboardAccess::Direct, true});
        tessary.start();
        for (const char *text : {"older", "newest"})
            tessary.monitor().history()->prepend(Entry::create(Payload::text(text)));

        QProcess other;
        other.start(QStringLiteral("xmessage"), {QStringLiteral("another program")});
        QVERIFY(other.waitForStarted());
        QVERIFY(xdotool({"search", "--sync", "--onlyvisible", "--class", "xmessage"}));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint pointer(available.right() - 100, available.top() + 200);
        QVERIFY(xdotool({"mousemove", QString::number(pointer.x()), QString::number(pointer.y())}));
        // The keys are grabbed once the portal is known to be missing.
        QTRY_COMPARE(tessary.shortcut().method(), GlobalShortcut::Method::KeyGrab);
        QVERIFY(tessary.shortcut().problem().isEmpty());
        QVERIFY(xdotool({"key", "super+shift+v"}));
        QTRY_VERIFY(tessary.panel().isOpen());

        QQuickWindow *window = tessary.panel().window();
        QVERIFY(QTest::qWaitForWindowActive(window));
        // At the pointer, moved left to stay inside the screen.
        QCOMPARE(window->y(), pointer.y());
        QCOMPARE(window->geometry().right(), available.right());
        xdotool({"key", "Return"});
        QTRY_COMPARE(clipboard.content().text, std::optional<QString>(QStringLiteral("newest")));

        // Pressed again, it closes the panel.
        QVERIFY(xdotool({"key", "super+shift+v"}));
        QTRY_VERIFY(!tessary.panel().isOpen());
        other.kill();
        other.waitForFinished();
    }
    // However the previewer closes (Space, Escape, the window manager), the focus comes back to
    // the panel: its keys work at once. Another program taking the focus still closes it, and
    // the tray click that took the focus does not open it again.
    void focusComesBackFromEachPreview()
    {
        tessary::test::PanelFixture fixture;
        fixture.addTexts(3);
        QTemporaryDir staging;
        tessary::PreviewStager stager([&staging] { return std::optional(staging.path()); });
        tessary::PreviewWindow previewWindow(*fixture.thumbnails());
        tessary::PreviewController previewer(fixture.history(), fixture, stager, previewWindow);
        tessary::PanelWindow panel(fixture.services(&previewer));
        panel.open();
        QVERIFY(QTest::qWaitForWindowActive(panel.window()));
        QVERIFY(xdotool({"key", "Down"})); // marks the newest entry
        for (const char *closing : {"space", "Escape", "alt+F4"}) {
            QVERIFY(xdotool({"key", "space"})); // previews it
            QTRY_VERIFY2(previewWindow.isVisible() &&
                             QGuiApplication::focusWindow() == previewWindow.view(),
                         closing);
            QVERIFY(xdotool({"key", closing}));
            QTRY_VERIFY2(!previewWindow.isVisible(), closing);
            QTRY_VERIFY2(QGuiApplication::focusWindow() == panel.window(), closing);
        }
        QProcess other; // openbox gives a new window the focus
        other.start(QStringLiteral("xmessage"), {QStringLiteral("another program")});
        QTRY_VERIFY(!panel.isOpen());
        panel.toggle();
        QVERIFY(!panel.isOpen());
        other.kill();
        other.waitForFinished();
    }

    void roundCornersOnlyUnderACompositor()
    {
        tessary::test::PanelFixture fixture;
        tessary::PanelWindow panel(fixture.services());
        const auto corner = [&panel] {
            panel.open();
            const bool shown = QTest::qWaitForWindowExposed(panel.window());
            const QImage image = panel.window()->grabWindow();
            panel.close();
            return shown ? image.pixel(0, 0) : QRgb(0);
        };
        QCOMPARE(corner(), QGuiApplication::palette().color(QPalette::Mid).rgba()); // the frame
        // A compositing manager announces itself by owning the screen's _NET_WM_CM_S selection.
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t *connection = x11->connection();
        const xcb_window_t announcer = xcb_generate_id(connection);
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, announcer, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(connection, announcer,
                                tessary::x11::internAtom(connection, "_NET_WM_CM_S0"),
                                XCB_CURRENT_TIME);
        xcb_flush(connection);
        QCOMPARE(qAlpha(corner()), 0); // outside the rounded ground
        xcb_destroy_window(connection, announcer);
        xcb_flush(connection);
    }
};

int main(int argc, char **argv)
{
    // The session: no portal on the bus, no Wayland, settings under a temporary folder.
    QTemporaryDir config;
    testing::PrivateBus bus;
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qunsetenv("XDG_SESSION_TYPE");
    qunsetenv("WAYLAND_DISPLAY");
    testing::PrivateXServer server;
    QProcess wm; // openbox runs its startup command once it manages the screen
    wm.start(QStringLiteral("openbox"), {"--startup", "echo ready"});
    if (!bus.isRunning() || !server.isRunning() || !wm.waitForReadyRead(10000))
        qFatal("the bus, Xvfb or openbox did not start");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    PanelFocusTest test;
    const int failed = QTest::qExec(&test, argc, argv);
    wm.terminate();
    wm.waitForFinished();
    return failed;
}

#include "tst_panelfocus.moc"
