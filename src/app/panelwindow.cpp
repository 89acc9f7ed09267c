#include "panelwindow.h"

#include "core/monitor.h"
#include "panelplacement.h"
#include "x11windowstate.h"

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
#include <malloc.h>

Q_LOGGING_CATEGORY(lcPanel, "tessary.panel", QtInfoMsg)

namespace tessary {
namespace {

// A click on the tray icon first takes focus from the panel (closing it), then activates the
// icon; within this time that activation must not open the panel again.
constexpr qint64 kReopenGuardMs = 400;

} // namespace

PanelWindow::PanelWindow(ClipboardMonitor &monitor, QObject *previewer,
                         std::function<void(QQmlEngine &)> setupEngine, QObject *parent)
    : QObject(parent), m_monitor(monitor), m_previewer(previewer),
      m_setupEngine(std::move(setupEngine))
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &PanelWindow::closeOnFocusLoss);
}

PanelWindow::~PanelWindow()
{
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
    if (!m_window && !createWindow())
        return;
    if (m_window->isVisible()) {
        m_window->requestActivate();
        return;
    }
    place();
    // Withdrawn windows lose their states; set them again before every map.
    skipTaskbarAndPager(*m_window);
    m_window->show();
    m_window->requestActivate();
    // The keys go to the screen on show: the list's marks, Space, Enter; Escape passes up.
    if (auto *screen = m_panel->property("current").value<QQuickItem *>())
        screen->forceActiveFocus();
    emit opened();
}

void PanelWindow::close()
{
    if (!isOpen())
        return;
    m_window->hide();
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

bool PanelWindow::createWindow()
{
    if (!m_engine) {
        m_engine = std::make_unique<QQmlEngine>();
        if (m_setupEngine)
            m_setupEngine(*m_engine);
    }

    QQmlComponent component(m_engine.get(), QUrl(QStringLiteral("qrc:/Tessary/Panel.qml")));
    if (!component.isReady()) {
        qCCritical(lcPanel) << "cannot load the panel:" << component.errorString();
        return false;
    }
    QObject *root = component.createWithInitialProperties(
        {{QStringLiteral("monitor"), QVariant::fromValue(static_cast<QObject *>(&m_monitor))},
         {QStringLiteral("previewer"),
          QVariant::fromValue(static_cast<QObject *>(m_previewer.data()))}});
    auto *panel = qobject_cast<QQuickItem *>(root);
    if (!panel) {
        qCCritical(lcPanel) << "cannot build the panel:" << component.errorString();
        delete root;
        return false;
    }

    m_window = new QQuickWindow;
    m_window->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    m_window->setTitle(QGuiApplication::applicationDisplayName());
    m_window->setColor(QGuiApplication::palette().color(QPalette::Window));
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
    connect(m_panel, SIGNAL(closeRequested()), this, SLOT(close()));
    connect(m_panel, SIGNAL(quitRequested()), this, SIGNAL(quitRequested()));
    m_panel->setHeight(m_panel->implicitHeight());
    return true;
}

void PanelWindow::place()
{
    const QSize size(qRound(m_panel->width()), qMax(1, qRound(m_panel->height())));
    const QPoint pointer = QCursor::pos();
    QScreen *screen = m_icon.isValid() ? QGuiApplication::screenAt(m_icon.center())
                                       : QGuiApplication::screenAt(pointer);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    m_window->setScreen(screen);
    m_window->setGeometry(
        QRect(panelPosition(size, m_icon, pointer, screen->geometry(), screen->availableGeometry()),
              size));
}

void PanelWindow::releaseMemory()
{
    if (m_window)
        return; // opened again meanwhile
    m_engine.reset();
    // The scene graph, the views and the decoded tiles leave many free pages inside the heap;
    // hand them back to the system rather than keep the peak for the rest of the session.
    malloc_trim(0);
}

void PanelWindow::closeOnFocusLoss()
{
    // Focus may pass to another window of ours (the previewer): the panel stays. Once it has
    // left the application, the panel closes, as a menu does. Focus passes through "no window"
    // on its way between two of ours, so look again once the events have settled.
    if (!isOpen() || QGuiApplication::focusWindow())
        return;
    QTimer::singleShot(0, this, [this] {
        if (!isOpen() || QGuiApplication::focusWindow())
            return;
        m_sinceFocusClose.start();
        close();
    });
}

} // namespace tessary
