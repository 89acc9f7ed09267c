// The panel window as the tray opens it: size and place, release on close, accessibility,
// and screenshots of its looks (written under the build tree).
#include "app/appqml.h"
#include "app/panelwindow.h"
#include "app/trayicon.h"
#include "panelfixture.h"

#include <QAccessible>
#include <QDir>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;

namespace {

QAccessibleInterface *findNamed(QAccessibleInterface *node, const QString &name,
                                QAccessible::Role role)
{
    if (!node)
        return nullptr;
    if (node->text(QAccessible::Name) == name && node->role() == role)
        return node;
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface *found = findNamed(node->child(i), name, role))
            return found;
    }
    return nullptr;
}

QString currentScreen(const PanelWindow &panel)
{
    return panel.panelItem()->property("screen").toString();
}

} // namespace

class PanelWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensBesideTheIconInsideTheScreen();
    void closingReleasesTheWindow();
    void controlsArePressableThroughAccessibility();
    void focusPassingToOurOwnWindowKeepsThePanel();
    void trayIconFollowsThePalette();
    void screenshots();

private:
    std::unique_ptr<test::PanelFixture> m_fixture;
    std::unique_ptr<PanelWindow> m_panel;
};

void PanelWindowTest::init()
{
    m_fixture = std::make_unique<test::PanelFixture>();
    m_panel = std::make_unique<PanelWindow>(
        m_fixture->monitor(), &m_fixture->previewer(),
        [this](QQmlEngine &engine) { registerPanelQmlTypes(engine, m_fixture->history()); });
}

void PanelWindowTest::cleanup()
{
    m_panel.reset();
    m_fixture.reset();
}

void PanelWindowTest::opensBesideTheIconInsideTheScreen()
{
    m_fixture->addTexts(30);
    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    // An icon in the bottom right corner: the panel opens above it, inside the screen.
    const QRect icon(available.right() - 30, available.bottom() - 20, 24, 24);
    QSignalSpy opened(m_panel.get(), &PanelWindow::opened);
    m_panel->open(icon);
    QVERIFY(m_panel->isOpen());
    QCOMPARE(opened.count(), 1);
    QQuickWindow *window = m_panel->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->width(), 320);
    QVERIFY(window->height() > 100);
    QVERIFY2(available.contains(window->geometry()),
             qPrintable(QStringLiteral("%1 outside").arg(window->x())));
    QVERIFY(window->geometry().bottom() < icon.top());
    QVERIFY(window->flags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window->flags().testFlag(Qt::Tool));
    // The panel follows the screen on show in height, and stays in place.
    const int tall = window->height();
    QMetaObject::invokeMethod(m_panel->panelItem(), "openSettings");
    QTRY_VERIFY(window->height() != tall);
    QVERIFY(available.contains(window->geometry()));
}

void PanelWindowTest::closingReleasesTheWindow()
{
    QSignalSpy closed(m_panel.get(), &PanelWindow::closed);
    m_panel->toggle();
    QVERIFY(m_panel->isOpen());
    QPointer<QQuickWindow> window = m_panel->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // The screen has the keys from the start: Down marks the first entry.
    m_fixture->addTexts(3);
    QTest::keyClick(window, Qt::Key_Down);
    auto *screen = m_panel->panelItem()->property("current").value<QObject *>();
    auto *rules = screen->property("rules").value<QObject *>();
    QCOMPARE(rules->property("hoveredId").toString(),
             m_fixture->history().entries().at(0).id.toString(QUuid::WithoutBraces));
    // Escape closes, as the icon does.
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!m_panel->isOpen());
    QCOMPARE(closed.count(), 1);
    QVERIFY(!m_panel->window());
    QTRY_VERIFY(window.isNull()); // gone with its scene graph
    m_panel->toggle();
    QVERIFY(m_panel->isOpen());
    QCOMPARE(currentScreen(*m_panel), QStringLiteral("main"));
    m_panel->toggle();
    QVERIFY(!m_panel->isOpen());
}

void PanelWindowTest::controlsArePressableThroughAccessibility()
{
    m_fixture->addMixed();
    m_panel->open();
    QQuickWindow *window = m_panel->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window);
    QVERIFY(root);

    QVERIFY(findNamed(root, QStringLiteral("Clipboard history"), QAccessible::List));
    QAccessibleInterface *quit = findNamed(root, QStringLiteral("Quit"), QAccessible::Button);
    QAccessibleInterface *settings =
        findNamed(root, QStringLiteral("Settings"), QAccessible::Button);
    QVERIFY(quit && settings);
    QVERIFY(quit->actionInterface());

    QSignalSpy quitRequested(m_panel.get(), &PanelWindow::quitRequested);
    quit->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(quitRequested.count(), 1);

    settings->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(currentScreen(*m_panel), QStringLiteral("settings"));
}

void PanelWindowTest::focusPassingToOurOwnWindowKeepsThePanel()
{
    m_panel->open();
    QVERIFY(QTest::qWaitForWindowActive(m_panel->window()));
    // The previewer, say: the panel stays open beside it.
    QWindow other;
    other.resize(200, 200);
    other.show();
    other.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTest::qWait(50);
    QVERIFY(m_panel->isOpen());
}

void PanelWindowTest::trayIconFollowsThePalette()
{
    const QPalette original = QGuiApplication::palette();
    TrayIcon tray;
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(0x2a, 0x2e, 0x32));
    QGuiApplication::setPalette(dark);
    QCOMPARE(tray.variant(), QStringLiteral("dark"));
    QPalette light = original;
    light.setColor(QPalette::Window, QColor(0xef, 0xf0, 0xf1));
    QGuiApplication::setPalette(light);
    QCOMPARE(tray.variant(), QStringLiteral("light"));
    QGuiApplication::setPalette(original);
}

void PanelWindowTest::screenshots()
{
    const QString directory =
        qEnvironmentVariable("TESSARY_SCREENSHOT_DIR", QDir::current().filePath("screenshots"));
    QVERIFY(QDir().mkpath(directory));
    const auto shoot = [&](const QString &name) {
        QQuickWindow *window = m_panel->window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::qWait(500); // springs settled, images decoded
        const QImage image = window->grabWindow();
        QVERIFY(!image.isNull());
        QCOMPARE(image.width(), qRound(320 * window->devicePixelRatio()));
        const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
        QVERIFY(image.save(path));
        qInfo("screenshot: %s", qPrintable(path));
    };

    m_panel->open();
    shoot(QStringLiteral("panel-empty"));
    m_panel->close();

    m_fixture->addTexts(6);
    m_fixture->addMixed();
    m_panel->open();
    shoot(QStringLiteral("panel-entries"));

    QObject *screen = m_panel->panelItem()->property("current").value<QObject *>();
    auto *list = screen->property("list").value<QQuickItem *>();
    QVERIFY(list);
    list->setProperty("contentY", list->property("contentY").toReal() + 260);
    shoot(QStringLiteral("panel-scrolled"));
}

QTEST_MAIN(PanelWindowTest)
#include "tst_panelwindow.moc"
