// The panel's rules without any view: the spring motion, when the bands fade long, where the
// panel goes, and the record of the marked entry.
#include "../../src/qml/spring.h"
#include "app/barvisibility.h"
#include "app/mainscreenstate.h"
#include "app/panelplacement.h"
#include "core/historymodel.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <numbers>

using namespace tessary;

class PanelRulesTest : public QObject {
    Q_OBJECT
private slots:
    void springIsCriticallyDamped();
    void springSettlesWithoutOvershoot_data();
    void springSettlesWithoutOvershoot();
    void easingCurveFollowsTheSpringAndEndsAtOne();
    void barVisibilityAtTheTolerances_data();
    void barVisibilityAtTheTolerances();
    void fadeStopsAndTheirBlend();
    void panelOpensBesideTheIconInsideTheScreen_data();
    void panelOpensBesideTheIconInsideTheScreen();
    void hoverRecordIsKeptUntilItsCardIsLeft();
    void staleRecordMarksNoRow();
    void keyboardMovesTheSameRecord();
    void scrollGeometryReportsOnlyChanges();
};

void PanelRulesTest::springIsCriticallyDamped()
{
    for (double response : {0.2, 0.22, 0.25}) {
        const double k = spring::stiffness(response);
        const double c = spring::damping(response);
        QCOMPARE(k, std::pow(2 * std::numbers::pi / response, 2));
        QCOMPARE(c, 4 * std::numbers::pi / response);
        // Critical damping for a unit mass: c^2 = 4 k.
        QVERIFY(std::abs(c * c - 4 * k) < 1e-9 * k);
    }
}

void PanelRulesTest::springSettlesWithoutOvershoot_data()
{
    QTest::addColumn<double>("response");
    QTest::newRow("screen switch") << 0.25;
    QTest::newRow("edge fade") << 0.22;
    QTest::newRow("expand") << 0.2;
}

void PanelRulesTest::springSettlesWithoutOvershoot()
{
    QFETCH(double, response);
    // Integrate x'' = k (1 - x) - c x' numerically and hold the closed form against it.
    const double k = spring::stiffness(response);
    const double c = spring::damping(response);
    double x = 0;
    double v = 0;
    const double dt = 1e-5;
    double previous = 0;
    const double settle = spring::settleDurationMs(response) / 1000.0;
    for (double t = dt; t <= 2 * settle; t += dt) {
        v += (k * (1 - x) - c * v) * dt;
        x += v * dt;
        const double closed = spring::position(t, response);
        QVERIFY2(std::abs(closed - x) < 1e-3, qPrintable(QString::number(t)));
        QVERIFY(closed >= previous); // monotone: never turns back
        QVERIFY(closed <= 1.0);      // never past the target
        previous = closed;
    }
    QVERIFY(spring::position(settle, response) >= 0.999);
    QVERIFY(spring::position(0.8 * settle, response) < 0.999);
    // About a quarter of a second for the screen switch's response, as a toolkit's would.
    QVERIFY(settle > response && settle < 2 * response);
}

void PanelRulesTest::easingCurveFollowsTheSpringAndEndsAtOne()
{
    const QEasingCurve curve = spring::easingCurve();
    QCOMPARE(curve.valueForProgress(0), 0.0);
    QCOMPARE(curve.valueForProgress(1), 1.0);
    const double response = 0.25;
    const double duration = spring::settleDurationMs(response) / 1000.0;
    for (double p = 0.05; p < 1; p += 0.05)
        QVERIFY(std::abs(curve.valueForProgress(p) - spring::position(p * duration, response)) <
                2e-3);
}

void PanelRulesTest::barVisibilityAtTheTolerances_data()
{
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("visible");
    QTest::addColumn<double>("content");
    QTest::addColumn<bool>("above");
    QTest::addColumn<bool>("below");
    // A 540-high viewport over 1000 of content: the end is at y = 460.
    QTest::newRow("at the top") << 0.0 << 540.0 << 1000.0 << false << true;
    QTest::newRow("2 down still the top") << 2.0 << 540.0 << 1000.0 << false << true;
    QTest::newRow("just past 2") << 2.001 << 540.0 << 1000.0 << true << true;
    QTest::newRow("3 down") << 3.0 << 540.0 << 1000.0 << true << true;
    QTest::newRow("over-scrolled past the top") << -30.0 << 540.0 << 1000.0 << false << true;
    QTest::newRow("3 before the end") << 457.0 << 540.0 << 1000.0 << true << true;
    QTest::newRow("2 before the end counts as the end")
        << 458.0 << 540.0 << 1000.0 << true << false;
    QTest::newRow("at the end") << 460.0 << 540.0 << 1000.0 << true << false;
    QTest::newRow("content shorter than the view") << 0.0 << 200.0 << 150.0 << false << false;
    QTest::newRow("content exactly the view") << 0.0 << 200.0 << 200.0 << false << false;
}

void PanelRulesTest::barVisibilityAtTheTolerances()
{
    QFETCH(double, y);
    QFETCH(double, visible);
    QFETCH(double, content);
    QFETCH(bool, above);
    QFETCH(bool, below);
    const BarVisibility bars = BarVisibility::fromGeometry(y, visible, content);
    QCOMPARE(bars.above, above);
    QCOMPARE(bars.below, below);
}

void PanelRulesTest::fadeStopsAndTheirBlend()
{
    const auto alphaAt = [](const QList<QPointF> &stops, double location) {
        for (qsizetype i = 1; i < stops.size(); ++i) {
            if (location <= stops[i].x() && stops[i].x() > stops[i - 1].x()) {
                const double t = (location - stops[i - 1].x()) / (stops[i].x() - stops[i - 1].x());
                return stops[i - 1].y() + t * (stops[i].y() - stops[i - 1].y());
            }
        }
        return stops.last().y();
    };
    // Steep header: gone by 0.68; soft header: still 0.25 at 0.9.
    QCOMPARE(alphaAt(edgefade::headerStops(false), 0.5), 1.0);
    QCOMPARE(alphaAt(edgefade::headerStops(false), 0.68), 0.0);
    QCOMPARE(alphaAt(edgefade::headerStops(true), 0.9), 0.25);
    QCOMPARE(alphaAt(edgefade::headerStops(true), 1.0), 0.0);
    // Steep footer: clear up to 0.18, opaque from 0.35; soft footer: 0.25 at 0.1, opaque at 0.5.
    QCOMPARE(alphaAt(edgefade::footerStops(false), 0.18), 0.0);
    QCOMPARE(alphaAt(edgefade::footerStops(false), 0.35), 1.0);
    QCOMPARE(alphaAt(edgefade::footerStops(true), 0.1), 0.25);
    QCOMPARE(alphaAt(edgefade::footerStops(true), 0.5), 1.0);

    for (bool header : {true, false}) {
        const auto steep = header ? edgefade::headerStops(false) : edgefade::footerStops(false);
        const auto soft = header ? edgefade::headerStops(true) : edgefade::footerStops(true);
        QCOMPARE(steep.size(), soft.size());
        QCOMPARE(edgefade::blend(steep, soft, 0), steep);
        QCOMPARE(edgefade::blend(steep, soft, 1), soft);
        const auto half = edgefade::blend(steep, soft, 0.5);
        for (qsizetype i = 1; i < half.size(); ++i)
            QVERIFY(half[i].x() >= half[i - 1].x()); // stops stay in order mid-way
    }
}

void PanelRulesTest::panelOpensBesideTheIconInsideTheScreen_data()
{
    QTest::addColumn<QRect>("icon");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("expected");
    const QRect topBar(0, 28, 1920, 1052);
    const QRect bottomBar(0, 0, 1920, 1040);
    const QRect leftBar(48, 0, 1872, 1080);
    // The panel is 320 x 400 on a 1920 x 1080 screen.
    QTest::newRow("top bar, icon in the middle")
        << QRect(1000, 2, 24, 24) << QPoint(1010, 10) << topBar << QPoint(851, 30);
    QTest::newRow("top bar, icon at the right end")
        << QRect(1890, 2, 24, 24) << QPoint(1900, 10) << topBar << QPoint(1600, 30);
    QTest::newRow("bottom bar, icon at the right end")
        << QRect(1880, 1048, 24, 24) << QPoint(1890, 1060) << bottomBar << QPoint(1600, 640);
    QTest::newRow("bottom bar, icon at the left end")
        << QRect(10, 1048, 24, 24) << QPoint(20, 1060) << bottomBar << QPoint(0, 640);
    QTest::newRow("left bar") << QRect(12, 500, 24, 24) << QPoint(20, 510) << leftBar
                              << QPoint(48, 311);
    QTest::newRow("unknown icon, pointer near the top right")
        << QRect() << QPoint(1850, 12) << topBar << QPoint(1600, 28);
    QTest::newRow("unknown icon, pointer near the bottom left")
        << QRect() << QPoint(30, 1070) << bottomBar << QPoint(0, 640);
}

void PanelRulesTest::panelOpensBesideTheIconInsideTheScreen()
{
    QFETCH(QRect, icon);
    QFETCH(QPoint, pointer);
    QFETCH(QRect, available);
    QFETCH(QPoint, expected);
    const QSize panel(320, 400);
    const QRect screen(0, 0, 1920, 1080);
    const QPoint pos = panelPosition(panel, icon, pointer, screen, available);
    QCOMPARE(pos, expected);
    QVERIFY(available.contains(QRect(pos, panel)));
}

void PanelRulesTest::hoverRecordIsKeptUntilItsCardIsLeft()
{
    HistoryModel history;
    history.prepend(Entry::create(Payload::text(QStringLiteral("a"))));
    history.prepend(Entry::create(Payload::text(QStringLiteral("b"))));
    const QString b = history.entries().at(0).id.toString(QUuid::WithoutBraces);
    const QString a = history.entries().at(1).id.toString(QUuid::WithoutBraces);
    MainScreenState state;
    state.setHistory(&history);
    QSignalSpy changes(&state, &MainScreenState::hoveredIdChanged);

    QCOMPARE(state.hoveredRow(), -1);
    state.setPointerOver(b, true);
    QCOMPARE(state.hoveredId(), b);
    QCOMPARE(state.hoveredRow(), 0);
    // The pointer reaches the next card before the first one reports it left.
    state.setPointerOver(a, true);
    state.setPointerOver(b, false);
    QCOMPARE(state.hoveredId(), a);
    QCOMPARE(state.hoveredRow(), 1);
    state.setPointerOver(a, false);
    QVERIFY(state.hoveredId().isEmpty());
    QCOMPARE(changes.count(), 3);
}

void PanelRulesTest::staleRecordMarksNoRow()
{
    HistoryModel history;
    history.prepend(Entry::create(Payload::text(QStringLiteral("a"))));
    const QString a = history.entries().at(0).id.toString(QUuid::WithoutBraces);
    MainScreenState state;
    state.setHistory(&history);
    state.setPointerOver(a, true);
    // The same text copied again: a new entry replaces the hovered one.
    history.removeAt(0);
    history.prepend(Entry::create(Payload::text(QStringLiteral("a"))));
    QCOMPARE(state.hoveredId(), a); // kept, not cleared by the history
    QCOMPARE(state.hoveredRow(), -1);
}

void PanelRulesTest::keyboardMovesTheSameRecord()
{
    HistoryModel history;
    MainScreenState state;
    state.setHistory(&history);
    QCOMPARE(state.moveHighlight(1), -1); // nothing to mark
    for (const char *text : {"c", "b", "a"})
        history.prepend(Entry::create(Payload::text(QString::fromLatin1(text))));

    QCOMPARE(state.moveHighlight(1), 0); // from no mark: the top
    QCOMPARE(state.moveHighlight(1), 1);
    QCOMPARE(state.moveHighlight(1), 2);
    QCOMPARE(state.moveHighlight(1), 2); // clamped at the end
    QCOMPARE(state.moveHighlight(-1), 1);
    QCOMPARE(state.hoveredId(), history.entries().at(1).id.toString(QUuid::WithoutBraces));
    // Hover and keys share the record: a hovered card is where the keys go on from.
    state.setPointerOver(history.entries().at(2).id.toString(QUuid::WithoutBraces), true);
    QCOMPARE(state.moveHighlight(-1), 1);
    QCOMPARE(state.moveHighlight(-5), 0);
}

void PanelRulesTest::scrollGeometryReportsOnlyChanges()
{
    MainScreenState state;
    QSignalSpy changes(&state, &MainScreenState::barVisibilityChanged);
    state.updateScrollGeometry(0, 540, 540);
    QCOMPARE(changes.count(), 0); // both false, as they start
    state.updateScrollGeometry(0, 540, 1000);
    QCOMPARE(changes.count(), 1);
    QVERIFY(!state.hasContentAbove());
    QVERIFY(state.hasContentBelow());
    state.updateScrollGeometry(1, 540, 1000);
    QCOMPARE(changes.count(), 1);
    state.updateScrollGeometry(3, 540, 1000);
    QCOMPARE(changes.count(), 2);
    QVERIFY(state.hasContentAbove());
}

QTEST_GUILESS_MAIN(PanelRulesTest)
#include "tst_panelrules.moc"
