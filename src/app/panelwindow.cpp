#include "panelwindow.h"

#include "app/card/cardsupport.h"
#include "app/card/entryimageprovider.h"
#include "core/monitor.h"
#include "panelplacement.h"
#include "platform/shortcuts/globalshortcut.h"
#include "platform/x11/x11windowstate.h"
#include "preview/filethumbnails.h"
#include "preview/previewcontroller.h"
#include "settings/launchatlogin.h"
#include "symbolprovider.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPalette>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <malloc.h>

Q_LOGGING_CATEGORY(lcPanel, "tessary.panel", QtInfoMsg)

namespace tessary {
namespace {

// A click on the tray icon first takes focus from the panel (closing it), then activates the
// icon; within this time that activation must not open the panel again.
constexpr qint64 kReopenGuardMs = 400;
// How long the window manager may take to hand the focus back to the panel.
constexpr int kReclaimFocusMs = 1000;

// Whether a translucent window blends with what lies beneath: always on Wayland, on X11 only
// under a compositing manager.
bool compositing()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    char *host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        return false;
    std::free(host);
    return x11::hasCompositingManager(x11->connection(), screen);
}

// Keeps the window out of taskbars and pagers where the desktop is X11.
void skipTaskbarAndPager(QWindow &window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection())
        x11::skipTaskbarAndPager(x11->connection(), static_cast<xcb_window_t>(window.winId()));
}

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// Hands the token to the display server with the request for the focus, so that the panel gets
// it where focus stealing is prevented. On Wayland Qt presents an XDG activation token it finds
// in the environment when the window asks for the focus (as it does with the token a tray host
// provides); on X11 the window manager learns when the user asked.
void prepareActivation(const QString &activationToken)
{
    if (onWayland() && !activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
}

void activateForUser(QWindow &window, const QString &activationToken)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const xcb_timestamp_t time = x11::startupIdTime(activationToken);
    if (x11 && x11->connection() && time != 0)
        x11::activateForUserAction(x11->connection(), static_cast<xcb_window_t>(window.winId()),
                                   time);
}

} // namespace

PanelWindow::PanelWindow(PanelServices services, QObject *parent)
    : QObject(parent), m_services(services)
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &PanelWindow::followFocus);
    connect(&m_host, &PanelHost::closeRequested, this, &PanelWindow::close);
    connect(&m_host, &PanelHost::quitRequested, this, &PanelWindow::quitRequested);
}

PanelWindow::~PanelWindow()
{
    // The views go before the engine and the helpers their bindings read.
    delete m_window;
}

bool PanelWindow::isOpen() const
{
    return m_window && m_window->isVisible();
}

void PanelWindow::toggle(const QRect &icon)
{
    if (isOpen()) {
        close();
        return;
    }
    if (m_sinceFocusClose.isValid() && m_sinceFocusClose.elapsed() < kReopenGuardMs) {
        m_sinceFocusClose.invalidate();
        return;
    }
    open(icon);
}

void PanelWindow::open(const QRect &icon)
{
    m_icon = icon;
    m_keyAnchor.reset();
    show();
}

void PanelWindow::openByKey(const QString &activationToken)
{
    m_icon = {};
    m_keyAnchor = QCursor::pos();
    if (show(activationToken))
        emit m_host.openedByKey();
}

void PanelWindow::toggleByKey(const QString &activationToken)
{
    if (isOpen())
        close();
    else
        openByKey(activationToken);
}

bool PanelWindow::show(const QString &activationToken)
{
    if (!m_window && !createWindow())
        return false;
    prepareActivation(activationToken);
    if (m_window->isVisible()) {
        m_window->requestActivate();
        return true;
    }
    place();
    // Withdrawn windows lose their states; set them again before every map.
    skipTaskbarAndPager(*m_window);
    m_cards->setRunning(true);
    m_window->show();
    m_window->requestActivate();
    activateForUser(*m_window, activationToken);
    // The keys go to the screen on show (the panel passes its focus on to the screen): the
    // list's marks, Space, Enter; Escape passes up.
    m_panel->forceActiveFocus();
    emit opened();
    return true;
}

void PanelWindow::showSettings()
{
    if (isOpen() && m_panel->property("screen").toString() != QLatin1String("settings"))
        QMetaObject::invokeMethod(m_panel, "openSettings");
}

void PanelWindow::close()
{
    if (!isOpen())
        return;
    m_window->hide();
    m_cards->setRunning(false);
    if (m_releaseOnClose) {
        // The close may come from inside the window's own event handling: it goes once that
        // is over, and the engine with it. Reopening builds both again from compiled QML.
        connect(m_window, &QObject::destroyed, this, &PanelWindow::releaseMemory);
        m_window->deleteLater();
        m_window = nullptr;
        m_panel = nullptr;
    }
    emit closed();
}

void preparePanelEngine(QQmlEngine &engine, const PanelServices &services)
{
    engine.addImportPath(QStringLiteral("qrc:/"));
    engine.addImageProvider(QStringLiteral("symbol"), new SymbolProvider);
    engine.addImageProvider(QStringLiteral("entry"),
                            new EntryImageProvider(*services.monitor.history()));
    addFileImageProviders(engine, services.thumbnails);
}

void PanelWindow::createEngine()
{
    m_engine = std::make_unique<QQmlEngine>();
    preparePanelEngine(*m_engine, m_services);
    m_cards = std::make_unique<CardSupport>(*m_services.monitor.history(), m_services.formatter);
}

bool PanelWindow::createWindow()
{
    // Where an open's time goes, for the benchmark (tessary.panel.debug=true).
    QElapsedTimer phase;
    phase.start();
    if (!m_engine)
        createEngine();
    const qint64 engineMs = phase.restart();

    QQmlComponent component(m_engine.get(), QUrl(QStringLiteral("qrc:/Tessary/Panel.qml")));
    if (!component.isReady()) {
        qCCritical(lcPanel) << "cannot load the panel:" << component.errorString();
        return false;
    }
    const qint64 loadMs = phase.restart();
    const bool composited = compositing();
    QObject *root = component.createWithInitialProperties(
        {{QStringLiteral("monitor"), QVariant::fromValue(&m_services.monitor)},
         {QStringLiteral("previewer"), QVariant::fromValue(&m_services.previewer)},
         {QStringLiteral("cards"), QVariant::fromValue(m_cards.get())},
         {QStringLiteral("thumbnails"), QVariant::fromValue(&m_services.thumbnails)},
         {QStringLiteral("shortcut"), QVariant::fromValue(&m_services.shortcut)},
         {QStringLiteral("host"), QVariant::fromValue(&m_host)},
         {QStringLiteral("launchAtLogin"), QVariant::fromValue(&m_services.launchAtLogin)},
         {QStringLiteral("composited"), composited}});
    auto *panel = qobject_cast<QQuickItem *>(root);
    if (!panel) {
        qCCritical(lcPanel) << "cannot build the panel:" << component.errorString();
        delete root;
        return false;
    }

    m_window = new QQuickWindow;
    m_window->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    m_window->setTitle(QGuiApplication::applicationDisplayName());
    if (composited) {
        // The panel draws its rounded ground on a clear window.
        QSurfaceFormat format = m_window->format();
        format.setAlphaBufferSize(8);
        m_window->setFormat(format);
        m_window->setColor(Qt::transparent);
    } else {
        m_window->setColor(QGuiApplication::palette().color(QPalette::Window));
    }
    m_panel = panel;
    m_panel->setParentItem(m_window->contentItem());
    m_panel->setParent(m_window);

    const auto fitHeight = [this] {
        if (!m_window || !m_panel)
            return;
        m_panel->setHeight(m_panel->implicitHeight());
        place();
    };
    connect(m_panel, &QQuickItem::implicitHeightChanged, this, fitHeight);
    m_panel->setHeight(m_panel->implicitHeight());
    qCDebug(lcPanel, "built: engine %lld ms, loading the views %lld ms, making them %lld ms",
            engineMs, loadMs, phase.elapsed());
    return true;
}

void PanelWindow::place()
{
    const QSize size(qRound(m_panel->width()), qMax(1, qRound(m_panel->height())));
    // A Wayland client neither knows where the tray icon or the pointer is nor places its
    // windows: the compositor does (users may give it a rule for the app id).
    if (onWayland()) {
        m_window->resize(size);
        return;
    }
    const QPoint pointer = m_keyAnchor.value_or(QCursor::pos());
    QScreen *screen = m_icon.isValid() ? QGuiApplication::screenAt(m_icon.center())
                                       : QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    m_window->setScreen(screen);
    const QPoint position =
        m_keyAnchor
            ? panelPositionAtPointer(size, pointer, screen->availableGeometry())
            : panelPosition(size, m_icon, pointer, screen->geometry(), screen->availableGeometry());
    m_window->setGeometry(QRect(position, size));
}

void PanelWindow::releaseMemory()
{
    if (m_window)
        return; // opened again meanwhile
    m_engine.reset();
    m_cards.reset();
    // The scene graph, the views and the decoded tiles leave many free pages inside the heap;
    // hand them back to the system rather than keep the peak for the rest of the session.
    malloc_trim(0);
}

void PanelWindow::followFocus(QWindow *focus)
{
    if (!isOpen())
        return;
    // Focus may pass to another window of ours (the previewer): the panel stays, and takes the
    // focus back when that window goes, which Qt does not announce as a change of focus.
    if (focus && focus != m_window && focus != m_borrower) {
        if (m_borrower)
            disconnect(m_borrower, nullptr, this, nullptr);
        m_borrower = focus;
        connect(focus, &QWindow::visibleChanged, this, [this](bool visible) {
            if (!visible)
                reclaimFocus();
        });
    }
    // Once the focus has left the application, the panel closes, as a menu does. It passes
    // through "no window" on its way between two of ours, so look again once events settle.
    if (focus)
        return;
    QTimer::singleShot(0, this, [this] {
        if (!isOpen() || QGuiApplication::focusWindow())
            return;
        m_sinceFocusClose.start();
        close();
    });
}

void PanelWindow::reclaimFocus()
{
    disconnect(m_borrower, nullptr, this, nullptr);
    m_borrower = nullptr;
    if (!isOpen())
        return;
    m_window->requestActivate();
    // A window manager may refuse, or the user may have gone to another program meanwhile: then
    // the focus is elsewhere and the panel goes, as on any loss of focus.
    QTimer::singleShot(kReclaimFocusMs, this, [this] {
        if (isOpen() && !QGuiApplication::focusWindow()) {
            m_sinceFocusClose.start();
            close();
        }
    });
}

} // namespace tessary
