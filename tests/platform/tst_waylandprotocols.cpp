#include "clipboardcontract.h"
#include "platform/systemservices.h"
#include "platform/wayland/waylandpasteboard.h"
#include "waylandtestsupport.h"

#include <QTest>

using namespace tessary;
using namespace tessary::testing;
using Compositor = PrivateCompositor::Kind;

Q_DECLARE_METATYPE(tessary::ClipboardBackend)
Q_DECLARE_METATYPE(tessary::ClipboardAccess)

// Which clipboard backend a desktop gets, and the standard ext data-control protocol at work:
// no compositor Debian 12 ships offers it, so a small one built with the tests does.
class WaylandProtocols : public QObject {
    Q_OBJECT

private slots:
    void backendFollowsTheDesktop_data()
    {
        QTest::addColumn<bool>("wayland");
        QTest::addColumn<QByteArrayList>("globals");
        QTest::addColumn<bool>("display");
        QTest::addColumn<ClipboardBackend>("backend");
        QTest::addColumn<ClipboardAccess>("access");
        const QByteArray ext = "ext_data_control_manager_v1", wlr = "zwlr_data_control_manager_v1";

        QTest::newRow("Plasma 6: ext, preferred over wlr and XWayland")
            << true << QByteArrayList{"wl_seat", wlr, ext} << true << ClipboardBackend::WaylandExt
            << ClipboardAccess::Direct;
        QTest::newRow("sway, Hyprland: wlr only")
            << true << QByteArrayList{"wl_seat", wlr} << true << ClipboardBackend::WaylandWlr
            << ClipboardAccess::Direct;
        QTest::newRow("GNOME: X11 through XWayland")
            << true << QByteArrayList{"wl_seat", "wl_compositor"} << true
            << ClipboardBackend::X11ThroughXWayland << ClipboardAccess::ThroughX11Compatibility;
        QTest::newRow("data-control without a seat: XWayland")
            << true << QByteArrayList{ext} << true << ClipboardBackend::X11ThroughXWayland
            << ClipboardAccess::ThroughX11Compatibility;
        QTest::newRow("Wayland without data-control or XWayland")
            << true << QByteArrayList{"wl_seat"} << false << ClipboardBackend::None
            << ClipboardAccess::None;
        QTest::newRow("compositor unreachable, no XWayland")
            << true << QByteArrayList{} << false << ClipboardBackend::None << ClipboardAccess::None;
        QTest::newRow("X11") << false << QByteArrayList{} << true << ClipboardBackend::X11
                             << ClipboardAccess::Direct;
        QTest::newRow("no display at all") << false << QByteArrayList{} << false
                                           << ClipboardBackend::None << ClipboardAccess::None;
    }

    void backendFollowsTheDesktop()
    {
        QFETCH(bool, wayland);
        QFETCH(QByteArrayList, globals);
        QFETCH(bool, display);
        QFETCH(ClipboardBackend, backend);
        QFETCH(ClipboardAccess, access);
        SessionFacts facts{wayland, {}, display};
        for (const QByteArray &global : globals)
            facts.waylandGlobals.insert(global, 1);
        QCOMPARE(chooseClipboardBackend(facts), backend);
        QCOMPARE(accessThrough(backend), access);
    }

    void backendFollowsWhatARealCompositorOffers_data()
    {
        QTest::addColumn<Compositor>("compositor");
        QTest::addColumn<QStringList>("globals");
        QTest::addColumn<ClipboardBackend>("backend");
        QTest::newRow("sway 1.7") << Compositor::Sway << QStringList()
                                  << ClipboardBackend::WaylandWlr;
        QTest::newRow("both") << Compositor::DataControlOnly << QStringList{"wlr", "ext"}
                              << ClipboardBackend::WaylandExt;
        QTest::newRow("ext only") << Compositor::DataControlOnly << QStringList{"ext"}
                                  << ClipboardBackend::WaylandExt;
    }

    void backendFollowsWhatARealCompositorOffers()
    {
        QFETCH(Compositor, compositor);
        QFETCH(QStringList, globals);
        QFETCH(ClipboardBackend, backend);
        PrivateCompositor running(compositor, globals);
        QVERIFY(running.isRunning());
        QCOMPARE(chooseClipboardBackend(SessionFacts::probe(running.clientEnvironment())), backend);
    }

    void extCapturesCopiesBackAndKeepsTheClipboardAlive()
    {
        // wl-copy and wl-paste speak the wlroots protocol to the same seat.
        PrivateCompositor compositor(Compositor::DataControlOnly, {"ext", "wlr"});
        QVERIFY(compositor.isRunning());
        auto pasteboard =
            WaylandPasteboard::create({compositor.socket(), WaylandPasteboard::Protocol::Ext});
        QVERIFY(pasteboard);
        WlClipboardPeer peer(compositor);
        contract::copyBackIsNotCapturedAgain(*pasteboard, peer);
        contract::clipboardOutlivesItsOwner(*pasteboard, peer);
    }
};

QTEST_GUILESS_MAIN(WaylandProtocols)
#include "tst_waylandprotocols.moc"
