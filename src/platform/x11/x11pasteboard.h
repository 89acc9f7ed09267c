#pragma once

#include "core/services.h"

#include <QThread>
#include <atomic>
#include <deque>
#include <memory>
#include <xcb/xcb.h>

class QSocketNotifier;

namespace tessary::x11 {
struct Atoms;
class SelectionOwner;
class SelectionReader;
} // namespace tessary::x11

namespace tessary {

// The CLIPBOARD selection of an X server, over connections of our own (never the toolkit's,
// whose clipboard getters block the GUI thread while a foreign owner is slow).
//
// - The change count follows XFixes ownership notifications; the server is never polled.
// - Captures run on a reader thread with its own connection.
// - Copy back owns the selection from a window on the GUI thread's connection; requests are
//   served as their events arrive, without waiting for any other client.
class X11Pasteboard : public Pasteboard {
    Q_OBJECT
public:
    struct Options {
        QByteArray displayName; // empty: $DISPLAY
        std::chrono::milliseconds stallTimeout{2000};
        qint64 maxPayloadBytes = qint64(256) << 20;
    };

    // Nothing when the display cannot be opened or lacks XFixes.
    static std::unique_ptr<X11Pasteboard> create(const Options &options, QObject *parent = nullptr);
    static std::unique_ptr<X11Pasteboard> create() { return create(Options{}); }
    ~X11Pasteboard() override;

    qint64 changeCount() const override { return m_changeCount.load(); }
    QFuture<std::optional<Payload>> capture() override;
    void write(const Payload &payload) override;
    bool restore(const Payload &payload) override;

    // Whether a payload written by write() is still ours on the clipboard.
    bool ownsClipboard() const;

private:
    X11Pasteboard(const Options &options, QObject *parent);
    bool isUsable() const;
    void processEvents();
    void handleEvent(const xcb_generic_event_t *event);
    void handleOwnerChange(const xcb_generic_event_t *event);
    xcb_timestamp_t serverTime();
    bool takeClipboard(const Payload &payload, xcb_timestamp_t time);
    bool isForeignOwnerChange(const xcb_generic_event_t *event) const;

    static constexpr int kEventsPerTurn = 64;
    static constexpr qint64 kBytesPerTurn = qint64(4) << 20;

    xcb_connection_t *m_connection = nullptr;
    std::unique_ptr<x11::Atoms> m_atoms;
    xcb_window_t m_window = XCB_NONE;
    int m_xfixesEvent = -1;
    QSocketNotifier *m_notifier = nullptr;
    std::unique_ptr<x11::SelectionOwner> m_owner;
    // Events read while waiting for the server time, handled next.
    std::deque<xcb_generic_event_t *> m_pending;
    bool m_continuationQueued = false; // the rest of a turn's events waits for the next turn

    std::atomic<qint64> m_changeCount{0};
    // Ownerships taken by write() and already counted whose notification has yet to arrive.
    QList<xcb_timestamp_t> m_ownOwnerships;
    xcb_window_t m_knownOwner = XCB_NONE;
    xcb_timestamp_t m_ownedSince = 0;

    QThread m_readerThread;
    QObject *m_readerContext = nullptr; // lives on the reader thread
    std::unique_ptr<x11::SelectionReader> m_reader;
    std::atomic<quint64> m_newestCapture{0};
};

} // namespace tessary
