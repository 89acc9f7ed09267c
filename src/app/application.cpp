#include "application.h"

#include "app/card/relativetime.h"
#include "core/monitor.h"
#include "panelwindow.h"
#include "platform/shortcuts/globalshortcut.h"
#include "preview/filethumbnails.h"
#include "preview/previewcontroller.h"
#include "preview/previewwindow.h"
#include "preview/stager.h"
#include "preview/thumbnailer.h"
#include "settings/launchatlogin.h"
#include "trayicon.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QLocale>
#include <QTimer>
#include <cstdlib>

namespace tessary {
namespace {

// Decoding is memory-heavy: two pictures at a time keep a long list from swamping memory.
constexpr int kDecodingThreads = 2;

} // namespace

Application::Application(std::unique_ptr<Pasteboard> pasteboard, std::unique_ptr<SoundPlayer> sound,
                         DesktopSession session, QObject *parent)
    : QObject(parent), m_pasteboard(std::move(pasteboard)), m_sound(std::move(sound)),
      m_monitor(std::make_unique<ClipboardMonitor>(*m_pasteboard, *m_sound)),
      // The default locale is the language the texts are shown in.
      m_formatter(std::make_unique<RelativeTimeFormatter>(QLocale()))
{
    m_monitor->setAccess(session.clipboardAccess);
    m_decodingPool.setMaxThreadCount(kDecodingThreads);
    m_thumbnailer =
        std::make_unique<SystemThumbnailer>(QDBusConnection::sessionBus(), m_decodingPool);
    m_thumbnails = std::make_unique<FileThumbnails>(*m_thumbnailer);
    m_previewWindow = std::make_unique<PreviewWindow>(*m_thumbnails);
    m_stager = std::make_unique<PreviewStager>();
    m_previewer = std::make_unique<PreviewController>(*m_monitor->history(), *m_sound, *m_stager,
                                                      *m_previewWindow);
    m_shortcut = std::make_unique<GlobalShortcut>(
        GlobalShortcut::Options{QDBusConnection::sessionBus(), session.x11, {}, {}});
    // A request to start at login may outlast the panel that made it (the desktop may ask).
    m_launchAtLogin = std::make_unique<LaunchAtLogin>(createLoginItem(), writeToSystemLog);
    m_panel = std::make_unique<PanelWindow>(PanelServices{
        *m_monitor, *m_previewer, *m_formatter, *m_thumbnails, *m_shortcut, *m_launchAtLogin});
    connect(m_shortcut.get(), &GlobalShortcut::activated, m_panel.get(), &PanelWindow::toggleByKey);
    // Opening the panel also starts the monitor, which has normally started already.
    connect(m_panel.get(), &PanelWindow::opened, m_monitor.get(),
            &ClipboardMonitor::startMonitoring);
    connect(m_panel.get(), &PanelWindow::quitRequested, this, &Application::quit,
            Qt::QueuedConnection);
    // Handled where it is announced, before the event loop turns again: see endForLostDisplay().
    connect(m_pasteboard.get(), &Pasteboard::displayLost, this, &Application::endForLostDisplay,
            Qt::DirectConnection);
}

Application::~Application()
{
    // Decoding jobs still queued are of no use now; those running finish before the pool goes.
    m_decodingPool.clear();
}

void Application::endForLostDisplay()
{
    // The display server took the clipboard and every window with it. Qt's own connection to an
    // X server learns of it too, and then ends the process at its next turn, with a message of
    // its own and status 1. Whichever learns first, the process ends the same way: the backend
    // has said what happened, once; staged previews go (main() removes them at exit otherwise);
    // the history lived in memory only.
    m_stager->removeStagedFiles();
    std::_Exit(1);
}

void Application::start()
{
    m_tray = std::make_unique<TrayIcon>();
    connect(m_tray.get(), &TrayIcon::activated, this,
            [this] { m_panel->toggle(m_tray->geometry()); });
    connect(m_tray.get(), &TrayIcon::showRequested, this,
            [this] { m_panel->open(m_tray->geometry()); });
    connect(m_tray.get(), &TrayIcon::settingsRequested, this, [this] {
        m_panel->open(m_tray->geometry());
        m_panel->showSettings();
    });
    connect(m_tray.get(), &TrayIcon::quitRequested, this, &Application::quit, Qt::QueuedConnection);
    // Launching is over once the event loop runs: from then on every change is captured,
    // whether or not the panel was ever opened.
    QTimer::singleShot(0, m_monitor.get(), &ClipboardMonitor::startMonitoring);
    m_shortcut->start();
}

void Application::quit()
{
    m_panel->close();
    m_previewWindow->close();
    m_tray.reset();
    m_decodingPool.clear();
    QCoreApplication::quit();
}

void Application::activate(const QString &activationToken)
{
    m_panel->openByKey(activationToken);
}

} // namespace tessary
