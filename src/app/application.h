#pragma once

#include "core/services.h"

#include <QObject>
#include <QThreadPool>
#include <memory>

namespace tessary {

class ClipboardMonitor;
class FileThumbnails;
class GlobalShortcut;
class LaunchAtLogin;
class Pasteboard;
class PanelWindow;
class PreviewController;
class PreviewStager;
class PreviewWindow;
class RelativeTimeFormatter;
class SoundPlayer;
class SystemThumbnailer;
class TrayIcon;

// What the application is told of the desktop it runs on.
struct DesktopSession {
    ClipboardAccess clipboardAccess = ClipboardAccess::Direct;
    // An X11 session, where keys can be grabbed; a Wayland one's X server (XWayland) passes keys
    // on only while one of its windows has the focus.
    bool x11 = false;
};

// The running program and the one place its parts are made: the monitor over the clipboard, the
// services the views share (relative times, image decoding, file thumbnails, the previewer), the
// panel, and the tray icon and global shortcut that open it. Each part is handed what it needs;
// they go in the reverse order of their making, so nothing outlives what it refers to.
class Application : public QObject {
    Q_OBJECT
public:
    Application(std::unique_ptr<Pasteboard> pasteboard, std::unique_ptr<SoundPlayer> sound,
                DesktopSession session = {}, QObject *parent = nullptr);
    ~Application() override;

    // Shows the tray icon, starts watching the clipboard and registers the global shortcut.
    void start();
    // Opens the panel as a key would: a second launch, which is what a key bound to `tessary`
    // in the compositor runs. The launch's token lets the panel take the focus.
    void activate(const QString &activationToken);
    // Quit: the windows go at once, queued work is dropped and the event loop ends. Nothing is
    // kept across runs, so the process may end without waiting for its threads (see main).
    void quit();

    ClipboardMonitor &monitor() { return *m_monitor; }
    PanelWindow &panel() { return *m_panel; }
    GlobalShortcut &shortcut() { return *m_shortcut; }

private:
    void endForLostDisplay();

    std::unique_ptr<Pasteboard> m_pasteboard;
    std::unique_ptr<SoundPlayer> m_sound;
    std::unique_ptr<ClipboardMonitor> m_monitor;
    std::unique_ptr<RelativeTimeFormatter> m_formatter;
    // File thumbnails are read and decoded here. Idle threads end after the pool's expiry time,
    // so a closed panel leaves none waiting. (Entry tiles decode on the panel engine's own image
    // loader thread, which goes with the engine.)
    QThreadPool m_decodingPool;
    std::unique_ptr<SystemThumbnailer> m_thumbnailer;
    std::unique_ptr<FileThumbnails> m_thumbnails;
    std::unique_ptr<PreviewWindow> m_previewWindow;
    std::unique_ptr<PreviewStager> m_stager;
    std::unique_ptr<PreviewController> m_previewer;
    std::unique_ptr<GlobalShortcut> m_shortcut;
    std::unique_ptr<LaunchAtLogin> m_launchAtLogin;
    std::unique_ptr<PanelWindow> m_panel;
    std::unique_ptr<TrayIcon> m_tray;
};

} // namespace tessary
