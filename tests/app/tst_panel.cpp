// The panel's rules (spring, glass, placement) and its window as the tray opens it.
#include "../../src/qml/backdropblur.h"
#include "../../src/qml/spring.h"
#include "app/panelplacement.h"
#include "app/panelwindow.h"
#include "panelfixture.h"
#include "settings/backgroundportal.h"
#include "support/fakeportal.h"
#include "support/images.h"
#include "support/memory.h"
#include "support/privatebus.h"

#include <QImage>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>
#include <algorithm>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Registering a type tells how many were registered before it.
class FirstProbe : public QObject {
    Q_OBJECT
};
class SecondProbe : public QObject {
    Q_OBJECT
};

} // namespace

class PanelTest : public QObject {
    Q_OBJECT
    test::PanelFixture m_fixture;
    std::unique_ptr<PanelWindow> m_panel;

    QObject *current() const
    {
        return m_panel->panelItem()->property("current").value<QObject *>();
    }
    QString screen() const { return m_panel->panelItem()->property("screen").toString(); }

private slots:
    void init() { m_panel = std::make_unique<PanelWindow>(m_fixture.services()); }
    void cleanup()
    {
        m_panel.reset();
        m_fixture.clear();
    }

    // The panel's motion, the easing curve over the settle time, never overshoots and ends with
    // the spring at rest.
    void springSettlesWithoutOvershoot()
    {
        const double response = 0.25, settle = spring::settleDurationMs(response) / 1000.0;
        const QEasingCurve curve = spring::easingCurve();
        double previous = 0;
        for (int step = 1; step <= 1000; ++step) {
            const double x = curve.valueForProgress(step / 1000.0);
            QVERIFY2(x >= previous && x <= 1.0 &&
                         std::abs(x - spring::position(step * settle / 1000, response)) < 2e-3,
                     qPrintable(QString::number(step)));
            previous = x;
        }
        QVERIFY(spring::position(settle, response) >= 0.999);
        QCOMPARE(curve.valueForProgress(1), 1.0);
    }

    // The bands' glass blurs what lies beneath by the strength of their fade: an edge softens
    // where a band is opaque and stays sharp where it is clear; a rounded window's clear corner
    // stays clear.
    void glassBlursByTheFade()
    {
        QImage image(40, 20, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                image.setPixel(x, y, qRgb(0, 0, 0));
        image.setPixel(39, 0, qRgba(0, 0, 0, 0));
        blurInPlace(image, image.rect(), 4, {{0, 1}, {0.5, 1}, {0.5, 0}, {1, 0}});
        const int softBlack = qRed(image.pixel(19, 2)), softWhite = qRed(image.pixel(20, 2));
        QVERIFY2(softBlack > 20 && softBlack < softWhite && softWhite < 235,
                 qPrintable(QStringLiteral("%1 %2").arg(softBlack).arg(softWhite)));
        QCOMPARE(image.pixel(19, 17), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(20, 17), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(39, 0), qRgba(0, 0, 0, 0));
    }

    void placementBesideTheIconInsideTheScreen()
    {
        const QRect top(0, 28, 1920, 1052), bottom(0, 0, 1920, 1040), left(48, 0, 1872, 1080);
        // A 320 x 400 panel on a 1920 x 1080 screen; with no icon, the pointer's corner counts.
        const struct {
            QRect icon;
            QPoint pointer;
            QRect available;
            QPoint expected;
        } cases[] = {
            {{1000, 2, 24, 24}, {}, top, {851, 30}},    {{1890, 2, 24, 24}, {}, top, {1600, 30}},
            {{10, 1048, 24, 24}, {}, bottom, {0, 640}}, {{12, 500, 24, 24}, {}, left, {48, 311}},
            {{}, {1850, 12}, top, {1600, 28}},          {{}, {30, 1070}, bottom, {0, 640}}};
        for (const auto &c : cases) {
            const QPoint pos =
                panelPosition({320, 400}, c.icon, c.pointer, {0, 0, 1920, 1080}, c.available);
            QCOMPARE(pos, c.expected);
            QVERIFY(c.available.contains(QRect(pos, QSize(320, 400))));
        }
    }

    void windowOpensInsideTheScreenAndIsReleasedOnClose()
    {
        m_fixture.addTexts(30);
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        // An icon in the bottom right corner: the panel opens above it, inside the screen.
        const QRect icon(available.right() - 30, available.bottom() - 20, 24, 24);
        m_panel->open(icon);
        QPointer<QQuickWindow> window = m_panel->window();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->width(), 320);
        QVERIFY(available.contains(window->geometry()) && window->geometry().bottom() < icon.top());
        // The screen on show has the keys from the start: Down marks the first entry.
        QTest::keyClick(window, Qt::Key_Down);
        QCOMPARE(current()->property("rules").value<QObject *>()->property("hoveredId").toString(),
                 m_fixture.history().entries().at(0).id.toString(QUuid::WithoutBraces));
        // Escape drops the window with its scene graph; the next open starts on the main screen.
        QMetaObject::invokeMethod(m_panel->panelItem(), "openSettings");
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!m_panel->isOpen());
        QTRY_VERIFY(window.isNull());
        m_panel->toggle();
        QCOMPARE(screen(), u"main"_s);
        // Focus passing to another window of ours (the previewer, say) keeps the panel open.
        QWindow other;
        other.show();
        other.requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!QTest::qWaitFor([&] { return !m_panel->isOpen(); }, 50));
    }

    // However often the panel opens and closes, nothing is left behind: no helper hangs on the
    // history, no type is registered again, no memory is kept, and no clock ticks while closed.
    void reopeningAccumulatesNothing()
    {
        m_fixture.addTexts(20);
        for (const QColor colour : {QColor(Qt::red), QColor(Qt::blue)})
            m_fixture.add(Payload::image(testing::encodedImage({800, 600}, "PNG", colour)));
        const auto openAndClose = [this] {
            m_panel->open();
            QVERIFY(QTest::qWaitForWindowExposed(m_panel->window()));
            // Every picture on show decoded, so that no decoding outlasts the panel.
            QTRY_VERIFY(std::ranges::all_of(
                m_panel->panelItem()->findChildren<QQuickItem *>(u"entryImage"_s),
                [](QQuickItem *image) { return image->property("status").toInt() == 1; }));
            QPointer<QQuickWindow> window = m_panel->window();
            m_panel->close();
            QTRY_VERIFY(window.isNull() && !m_panel->engine());
        };
        openAndClose();
        const qsizetype helpers = m_fixture.history().children().size();
        const int typeId = qmlRegisterType<FirstProbe>("Tessary.Probe", 1, 0, "FirstProbe");
        // The most private memory after each close of the first five and of the last five of
        // 20 further cycles: the allocator hands pages back at its own pace, a leak grows.
        QList<qint64> memory;
        for (int cycle = 0; cycle < 20; ++cycle) {
            openAndClose();
            memory.append(testing::privateKilobytes());
        }
        const qint64 first = std::ranges::max(memory.first(5));
        const qint64 growth = std::ranges::max(memory.last(5)) - first;
        qInfo("private memory after the first closes %lld kB, after the last %+lld kB", first,
              growth);
        QCOMPARE(m_fixture.history().children().size(), helpers);
        QCOMPARE(qmlRegisterType<SecondProbe>("Tessary.Probe", 1, 0, "SecondProbe"), typeId + 1);
        // The allocator's arenas settle over the first cycles at about a megabyte more; a leak
        // of what a panel holds (its views, tiles, engine) passes this within a few cycles.
        QVERIFY2(growth < 3072, qPrintable(QString::number(growth)));

        // Kept open in memory, the closed panel's clock stands still.
        m_panel->setReleaseOnClose(false);
        m_panel->open();
        QVERIFY(m_panel->cards()->nextTickMs() > 0);
        m_panel->close();
        QCOMPARE(m_panel->cards()->nextTickMs(), -1);
        m_fixture.add(u"captured while closed"_s);
        QCOMPARE(m_panel->cards()->nextTickMs(), -1);
    }

    // Flipping "Open on launch" asks the desktop's portal, whose dialog takes the focus and so
    // closes the panel while the request waits. The switch shows the request as busy; the answer,
    // or its absence, counts once it comes, with no panel left to show it.
    void panelClosesWhileALoginRequestWaits_data()
    {
        QTest::addColumn<int>("response");
        QTest::newRow("answered late") << 0;
        QTest::newRow("never answered") << testing::FakeBackgroundPortal::kNever;
    }

    void panelClosesWhileALoginRequestWaits()
    {
        QFETCH(int, response);
        testing::PrivateBus bus;
        QTemporaryDir home;
        testing::FakeBackgroundPortal portal(bus.connect());
        QVERIFY(portal.isRegistered());
        portal.response = response;
        portal.answerAfterMs = 300;
        portal.results = {{u"autostart"_s, true}};
        test::PanelFixture fixture(std::make_unique<BackgroundPortal>(
            bus.connect(), 1s, home.filePath(u"autostart/org.tessary.Tessary.desktop"_s)));
        LaunchAtLogin &model = *fixture.launchAtLogin();
        PanelWindow panel(fixture.services());
        const auto openSwitch = [&panel]() -> QQuickItem * {
            panel.open();
            QMetaObject::invokeMethod(panel.panelItem(), "openSettings");
            auto *screen = panel.panelItem()->property("current").value<QQuickItem *>();
            const bool settled = QTest::qWaitForWindowExposed(panel.window()) &&
                                 QTest::qWaitFor([screen] { return screen->x() == 0; });
            return settled ? screen->findChild<QQuickItem *>(u"openOnLaunch"_s) : nullptr;
        };
        QQuickItem *toggle = openSwitch();
        QVERIFY(toggle);
        QPointer<QQuickWindow> window = panel.window();
        QTimer::singleShot(50, &panel, &PanelWindow::close); // the dialog takes the focus
        QTest::mouseClick(window, Qt::LeftButton, {},
                          toggle->mapToScene(toggle->boundingRect().center()).toPoint());
        QVERIFY(model.isBusy());
        QVERIFY(toggle->property("checked").toBool() && !toggle->isEnabled());
        QTRY_VERIFY(window.isNull() && !panel.engine());
        QTRY_VERIFY_WITH_TIMEOUT(!model.isBusy(), 5000);
        const bool answered = response != testing::FakeBackgroundPortal::kNever;
        QCOMPARE(model.isEnabled(), answered);
        QCOMPARE(fixture.loginLog().size(), answered ? 0 : 1);
        // Opened again, the switch shows what came of the request.
        QCOMPARE(openSwitch()->property("checked").toBool(), answered);
    }
};

QTEST_MAIN(PanelTest)
#include "tst_panel.moc"
