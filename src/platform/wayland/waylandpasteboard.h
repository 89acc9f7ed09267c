#pragma once

#include "core/services.h"

#include <QThread>
#include <atomic>
#include <chrono>
#include <memory>

namespace tessary {

namespace wayland {
class DataControlSession;
struct DataControlProtocol;
} // namespace wayland

// The clipboard of a Wayland seat through data-control (the standard ext protocol, or the
// wlroots one: the same code speaks both), over a connection of our own, never the toolkit's:
// it works whether Qt draws on Wayland or through XWayland, and without keyboard focus.
//
// - One worker thread serves the connection: it counts selection changes, reads captures, and
//   answers other clients' requests for our copy backs. The GUI thread never waits on it.
// - Our own offers carry a private MIME type: they are neither counted nor read.
// - Primary-selection offers are dropped unread.
class WaylandPasteboard : public Pasteboard {
    Q_OBJECT
public:
    enum class Protocol { Ext, Wlr };
    struct Options {
        QByteArray displayName; // empty: $WAYLAND_DISPLAY
        Protocol protocol = Protocol::Ext;
        std::chrono::milliseconds stallTimeout{2000};
        qint64 maxPayloadBytes = qint64(256) << 20;
    };

    // Nothing when the compositor cannot be reached or lacks the protocol or a seat.
    static std::unique_ptr<WaylandPasteboard> create(const Options &options,
                                                     QObject *parent = nullptr);
    ~WaylandPasteboard() override;

    qint64 changeCount() const override;
    QFuture<std::optional<Payload>> capture() override;
    void write(const Payload &payload) override;
    bool restore(const Payload &payload) override;

    // Whether a payload written by write() is still the selection.
    bool ownsClipboard() const;
    // False once the compositor has gone; the worker has ended then.
    bool isConnected() const;

private:
    explicit WaylandPasteboard(std::unique_ptr<wayland::DataControlSession> session,
                               QObject *parent);

    std::unique_ptr<wayland::DataControlSession> m_session;
    QThread *m_worker = nullptr;
    // A changeNoticed() is on its way to the GUI thread: later moves share it.
    std::atomic<bool> m_noticePending{false};
};

} // namespace tessary
