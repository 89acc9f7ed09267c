#include "application.h"

#include "appqml.h"
#include "core/monitor.h"
#include "panelwindow.h"
#include "preview/previewcontroller.h"
#include "trayicon.h"

#include <QCoreApplication>
#include <QQmlEngine>
#include <QSystemTrayIcon>
#include <QTimer>

namespace tessary {

Application::Application(std::unique_ptr<Pasteboard> pasteboard, std::unique_ptr<SoundPlayer> sound,
                         QObject *parent)
    : QObject(parent), m_pasteboard(std::move(pasteboard)), m_sound(std::move(sound)),
      m_monitor(std::make_unique<ClipboardMonitor>(*m_pasteboard, *m_sound))
{
    m_previewer = new PreviewController(*m_monitor->history(), *m_sound, this);
    m_panel = new PanelWindow(
        *m_monitor, m_previewer,
        [this](QQmlEngine &engine) { registerPanelQmlTypes(engine, *m_monitor->history()); }, this);
    // Opening the panel also starts the monitor, which has normally started already.
    connect(m_panel, &PanelWindow::opened, m_monitor.get(), &ClipboardMonitor::startMonitoring);
    connect(m_panel, &PanelWindow::quitRequested, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
}

Application::~Application()
{
    // The panel's views refer to the monitor: they go first.
    delete m_panel;
    m_panel = nullptr;
}

void Application::start()
{
    m_tray = new TrayIcon(this);
    connect(m_tray, &TrayIcon::activated, this, [this] { m_panel->toggle(m_tray->geometry()); });
    // Launching is over once the event loop runs: from then on every change is captured,
    // whether or not the panel was ever opened.
    QTimer::singleShot(0, m_monitor.get(), &ClipboardMonitor::startMonitoring);
}

void Application::activate()
{
    m_panel->open(m_tray ? m_tray->geometry() : QRect());
}

} // namespace tessary
