#pragma once

#include "panelhost.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRect>
#include <memory>
#include <optional>

class QQmlEngine;

namespace tessary {

class CardSupport;
class ClipboardMonitor;
class FileThumbnails;
class GlobalShortcut;
class LaunchAtLogin;
class PreviewController;
class RelativeTimeFormatter;

// What the panel's views are handed. All of it outlives the panel.
struct PanelServices {
    ClipboardMonitor &monitor;
    PreviewController &previewer;
    const RelativeTimeFormatter &formatter;
    FileThumbnails &thumbnails;
    GlobalShortcut &shortcut;
    LaunchAtLogin &launchAtLogin;
};

// Makes the panel's views at home on an engine: the module's import path and the image
// providers they draw with ("symbol", "entry", "icon", "thumbnail").
void preparePanelEngine(QQmlEngine &engine, const PanelServices &services);

// The panel: a frameless, taskbar-less window beside the tray icon holding Panel.qml. On
// Wayland it is an ordinary toplevel with the desktop file's name as its app id, which the
// compositor places. Nothing
// of it exists until it first opens; on closing the window and its scene graph are released,
// with the QML engine and the cards' helper, so a closed panel costs next to nothing and wakes
// nothing.
class PanelWindow : public QObject {
    Q_OBJECT
public:
    explicit PanelWindow(PanelServices services, QObject *parent = nullptr);
    ~PanelWindow() override;

    bool isOpen() const;
    // `icon`: the tray icon's geometry, invalid when unknown.
    void open(const QRect &icon = {});
    // What activating the tray icon does: close an open panel, open a closed one. A panel that
    // closed a moment ago because the click on the icon took its focus stays closed.
    void toggle(const QRect &icon = {});
    // Opened by a key (the global shortcut, or a launch the compositor's key binding ran): at
    // the pointer, with the newest entry marked. The token proves the user asked for it, so
    // the panel may take the focus: a startup notification id with the time of the press on
    // X11, an XDG activation token on Wayland.
    void openByKey(const QString &activationToken = {});
    void toggleByKey(const QString &activationToken = {});
    // Brings the open panel to its settings screen.
    void showSettings();

    // The live window, its Panel item, its engine and the cards' helper, or null while closed.
    QQuickWindow *window() const { return m_window; }
    QQuickItem *panelItem() const { return m_panel; }
    QQmlEngine *engine() const { return m_engine.get(); }
    CardSupport *cards() const { return m_cards.get(); }

    // Keeps the window after closing (for tests and comparisons); released by default.
    void setReleaseOnClose(bool release) { m_releaseOnClose = release; }

public slots:
    void close();

signals:
    void opened();
    void closed();
    void quitRequested();

private:
    bool createWindow();
    void createEngine();
    bool show(const QString &activationToken = {});
    void place();
    void followFocus(QWindow *focus);
    void reclaimFocus();
    void releaseMemory();

    PanelServices m_services;
    PanelHost m_host;
    std::unique_ptr<CardSupport> m_cards;
    std::unique_ptr<QQmlEngine> m_engine;
    QPointer<QQuickWindow> m_window;
    QPointer<QQuickItem> m_panel;
    QRect m_icon;
    // Where the pointer was when a key opened the panel; the panel stays there as it grows.
    std::optional<QPoint> m_keyAnchor;
    // Another window of ours that holds the focus while the panel is open (the previewer).
    QPointer<QWindow> m_borrower;
    QElapsedTimer m_sinceFocusClose;
    bool m_releaseOnClose = true;
};

} // namespace tessary
