#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRect>
#include <functional>
#include <memory>

class QQmlEngine;

namespace tessary {

class ClipboardMonitor;

// The panel: a frameless, taskbar-less window beside the tray icon holding Panel.qml. Nothing
// of it exists until it first opens; on closing the window and its scene graph are released,
// with the QML engine, so a closed panel costs next to nothing.
class PanelWindow : public QObject {
    Q_OBJECT
public:
    // `setupEngine` registers native types and image providers on the engine when it is made.
    PanelWindow(ClipboardMonitor &monitor, QObject *previewer,
                std::function<void(QQmlEngine &)> setupEngine, QObject *parent = nullptr);
    ~PanelWindow() override;

    bool isOpen() const;
    // `icon`: the tray icon's geometry, invalid when unknown.
    void open(const QRect &icon = {});
    // What activating the tray icon does: close an open panel, open a closed one. A panel that
    // closed a moment ago because the click on the icon took its focus stays closed.
    void toggle(const QRect &icon = {});

    // The live window and its Panel item, or null while closed.
    QQuickWindow *window() const { return m_window; }
    QQuickItem *panelItem() const { return m_panel; }
    QQmlEngine *engine() const { return m_engine.get(); }

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
    void place();
    void closeOnFocusLoss();
    void releaseMemory();

    ClipboardMonitor &m_monitor;
    QPointer<QObject> m_previewer;
    std::function<void(QQmlEngine &)> m_setupEngine;
    std::unique_ptr<QQmlEngine> m_engine;
    QPointer<QQuickWindow> m_window;
    QPointer<QQuickItem> m_panel;
    QRect m_icon;
    QElapsedTimer m_sinceFocusClose;
    bool m_releaseOnClose = true;
};

} // namespace tessary
