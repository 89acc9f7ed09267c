#pragma once

#include <QObject>
#include <memory>

namespace tessary {

class ClipboardMonitor;
class Pasteboard;
class PanelWindow;
class SingleInstance;
class SoundPlayer;
class TrayIcon;

// The running program: the one monitor, the tray icon and the panel it opens.
class Application : public QObject {
    Q_OBJECT
public:
    Application(std::unique_ptr<Pasteboard> pasteboard, std::unique_ptr<SoundPlayer> sound,
                QObject *parent = nullptr);
    ~Application() override;

    // Shows the tray icon and starts watching the clipboard.
    void start();
    // Opens the panel (a second launch, or no tray to click).
    void activate();

    ClipboardMonitor &monitor() { return *m_monitor; }
    PanelWindow &panel() { return *m_panel; }

private:
    std::unique_ptr<Pasteboard> m_pasteboard;
    std::unique_ptr<SoundPlayer> m_sound;
    std::unique_ptr<ClipboardMonitor> m_monitor;
    QObject *m_previewer = nullptr;
    PanelWindow *m_panel = nullptr;
    TrayIcon *m_tray = nullptr;
};

} // namespace tessary
